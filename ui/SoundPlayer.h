#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/PreviewPlayer.h"

namespace melovantis {

class AudioOutput;
class MidiRenderer;

// The preview player with sound: a WAVE file straight to the sound output, a
// MIDI file through the synthesizer to the same output. Every change (play,
// pause, stop, seek, a new file) is made with the output stopped, so the
// output's thread only ever reads what the window's thread has finished
// setting up. Without an output it says so and plays nothing.
class SoundPlayer : public PreviewPlayer {
 public:
  SoundPlayer(AudioOutput& output, MidiRenderer& renderer);
  ~SoundPlayer() override;

  void setFile(const std::filesystem::path& file) override;
  const std::filesystem::path& file() const override { return file_; }
  void play() override;
  void pause() override;
  void stop() override;
  PlayState state() const override;
  void noticeEnd() override;
  double positionSeconds() const override;
  double lengthSeconds() const override { return lengthSeconds_; }
  void seek(double seconds) override;
  std::string silentReason() const override { return problem_; }

 private:
  enum class Source { None, Wave, Midi };

  bool prepare();  // loads the file for playing; false (problem_ set) when it cannot play
  void render(std::int16_t* out, int frames);
  void halt();     // the output stopped, the position kept

  AudioOutput& output_;
  MidiRenderer& renderer_;
  std::filesystem::path file_;
  Source source_ = Source::None;
  bool prepared_ = false;
  std::vector<std::int16_t> wave_;  // mono samples of a WAVE file
  double lengthSeconds_ = 0.0;
  std::string problem_;
  PlayState state_ = PlayState::Stopped;
  std::atomic<long long> frame_{0};  // the next frame to play
  std::atomic<bool> ended_{false};
};

}  // namespace melovantis
