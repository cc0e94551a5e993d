#include "ui/SilentPlayer.h"

namespace melovantis {

void SilentPlayer::setFile(const std::filesystem::path& file) {
  file_ = file;
  state_ = PlayState::Stopped;
}

void SilentPlayer::play() {
  // Nothing to play without a file, as with any player.
  if (!file_.empty()) {
    state_ = PlayState::Playing;
  }
}

void SilentPlayer::pause() {
  if (state_ == PlayState::Playing) {
    state_ = PlayState::Paused;
  }
}

void SilentPlayer::stop() { state_ = PlayState::Stopped; }

std::string SilentPlayer::silentReason() const { return "No sound output is attached yet"; }

}  // namespace melovantis
