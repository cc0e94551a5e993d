#pragma once

#include "ui/PreviewPlayer.h"

namespace melovantis {

// A player without a sound output: it follows its buttons and reports its
// state, so everything around it works before a sound device is attached.
class SilentPlayer : public PreviewPlayer {
 public:
  void setFile(const std::filesystem::path& file) override;
  const std::filesystem::path& file() const override { return file_; }
  void play() override;
  void pause() override;
  void stop() override;
  PlayState state() const override { return state_; }
  std::string silentReason() const override;

 private:
  std::filesystem::path file_;
  PlayState state_ = PlayState::Stopped;
};

}  // namespace melovantis
