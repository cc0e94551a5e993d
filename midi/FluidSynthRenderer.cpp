#include "midi/FluidSynthRenderer.h"

#include <fluidsynth.h>

#include <algorithm>

#include "midi/MidiFileTiming.h"

namespace melovantis {

namespace {

bool isFile(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec);
}

}  // namespace

FluidSynthRenderer::FluidSynthRenderer() = default;

FluidSynthRenderer::~FluidSynthRenderer() { release(); }

std::vector<std::filesystem::path> FluidSynthRenderer::soundFontCandidates() {
  return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf3/MuseScore_General.sf3",
          "/usr/share/sounds/sf2/MuseScore_General.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
          "/usr/share/sounds/sf2/default-GM.sf2"};
}

std::filesystem::path FluidSynthRenderer::findSoundFont() {
  for (const auto& candidate : soundFontCandidates()) {
    if (isFile(candidate)) {
      return candidate;
    }
  }
  return {};
}

void FluidSynthRenderer::release() {
  if (player_ != nullptr) {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
  }
  if (synth_ != nullptr) {
    delete_fluid_synth(synth_);
    synth_ = nullptr;
  }
  if (settings_ != nullptr) {
    delete_fluid_settings(settings_);
    settings_ = nullptr;
  }
}

bool FluidSynthRenderer::load(const std::filesystem::path& file) {
  release();
  file_ = file;
  const std::filesystem::path soundFont = findSoundFont();
  if (soundFont.empty()) {
    problem_ = "No General MIDI sound set installed (timgm6mb-soundfont)";
    return false;
  }
  settings_ = new_fluid_settings();
  // The player follows the samples rendered, not a clock of its own.
  fluid_settings_setstr(settings_, "player.timing-source", "sample");
  fluid_settings_setnum(settings_, "synth.sample-rate", 44100.0);
  fluid_settings_setint(settings_, "synth.reverb.active", 0);
  synth_ = new_fluid_synth(settings_);
  if (synth_ == nullptr || fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
    release();
    problem_ = "Cannot load the sound set " + soundFont.string();
    return false;
  }
  player_ = new_fluid_player(synth_);
  if (player_ == nullptr || fluid_player_add(player_, file.c_str()) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK) {
    release();
    problem_ = "Cannot play " + file.string();
    return false;
  }
  lengthSeconds_ = MidiFileTiming::read(file).lengthSeconds();
  problem_.clear();
  return true;
}

void FluidSynthRenderer::seek(double seconds) {
  if (player_ == nullptr) {
    return;
  }
  fluid_synth_all_notes_off(synth_, -1);
  fluid_player_seek(player_, static_cast<int>(MidiFileTiming::read(file_).tickAt(seconds)));
}

bool FluidSynthRenderer::render(std::int16_t* interleavedStereo, int frames) {
  if (synth_ == nullptr || player_ == nullptr) {
    std::fill(interleavedStereo, interleavedStereo + 2 * frames, std::int16_t{0});
    return false;
  }
  fluid_synth_write_s16(synth_, frames, interleavedStereo, 0, 2, interleavedStereo, 1, 2);
  return fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING;
}

}  // namespace melovantis
