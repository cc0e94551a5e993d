#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "midi/MidiRenderer.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

namespace melovantis {

// MIDI files rendered by FluidSynth with a General MIDI SoundFont from the
// system: TimGM6mb, else MuseScore General, else the system's default GM set.
class FluidSynthRenderer : public MidiRenderer {
 public:
  FluidSynthRenderer();
  ~FluidSynthRenderer() override;
  FluidSynthRenderer(const FluidSynthRenderer&) = delete;
  FluidSynthRenderer& operator=(const FluidSynthRenderer&) = delete;

  bool load(const std::filesystem::path& file) override;
  void seek(double seconds) override;
  bool render(std::int16_t* interleavedStereo, int frames) override;
  std::string problem() const override { return problem_; }

  // The SoundFonts looked for, in order of preference.
  static std::vector<std::filesystem::path> soundFontCandidates();
  static std::filesystem::path findSoundFont();

 private:
  void release();

  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  _fluid_player_t* player_ = nullptr;
  std::filesystem::path file_;
  std::string problem_;
  double lengthSeconds_ = 0.0;
};

}  // namespace melovantis
