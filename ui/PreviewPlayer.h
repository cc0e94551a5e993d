#pragma once

#include <filesystem>
#include <string>

namespace melovantis {

enum class PlayState { Stopped, Paused, Playing };

// What the user does with the player's buttons.
enum class PlayerAction { Play, Pause, Stop };

// The preview player beside the Save MIDI button: plays the saved MIDI file or
// the WAVE file. The window only hands it a file and passes on the user's
// buttons; how it makes sound is the backend's business.
class PreviewPlayer {
 public:
  virtual ~PreviewPlayer() = default;

  // The file to preview; an empty path releases the file. A new file stops
  // whatever was playing.
  virtual void setFile(const std::filesystem::path& file) = 0;
  virtual const std::filesystem::path& file() const = 0;

  virtual void play() = 0;
  virtual void pause() = 0;
  virtual void stop() = 0;
  virtual PlayState state() const = 0;

  // Called now and then on the window's thread: a piece that has played to
  // its end is stopped there, its output too, and the next play starts again.
  virtual void noticeEnd() {}

  // Where playback stands and how long the file lasts, 0 when unknown.
  virtual double positionSeconds() const { return 0.0; }
  virtual double lengthSeconds() const { return 0.0; }
  virtual void seek(double /*seconds*/) {}

  // Empty while the player can make sound; otherwise why it is silent, in
  // words the window shows beside the controls.
  virtual std::string silentReason() const { return {}; }
};

}  // namespace melovantis
