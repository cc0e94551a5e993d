#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace melovantis {

// An audio input as the user picks it: its number in the list and its name.
struct AudioDevice {
  int id = 0;
  std::string name;
};

// Why capture could not start.
enum class CaptureFailure {
  None,
  NoDevice,    // no input at all
  CannotOpen,  // the input exists but cannot be opened with the format asked for
  CannotStart  // opened, but it would not start recording
};

// Where live samples come from: a sound card, or a file played at real speed.
// A backend delivers 44100 Hz mono 16-bit samples to its handler, on a thread
// of its own, in pieces of any size; it never blocks in the handler's caller.
class AudioCaptureBackend {
 public:
  using SampleHandler = std::function<void(const std::int16_t* samples, int count)>;

  virtual ~AudioCaptureBackend() = default;

  // The inputs there are, in the order of their ids.
  virtual std::vector<AudioDevice> inputDevices() = 0;

  // Starts delivering samples from input `deviceId` (-1: the system's default)
  // in pieces of about `framesPerPiece` samples.
  virtual CaptureFailure start(int deviceId, int framesPerPiece, SampleHandler handler) = 0;

  // Stops delivering; once it returns the handler is not called again.
  virtual void stop() = 0;

  // Samples the backend holds before the handler sees them (device buffering).
  virtual int bufferedSamples() const { return 0; }

  // Why the input last failed to list, open or start, or why it stopped, in
  // the program's words and naming the sound system; empty when nothing is
  // known to be wrong.
  virtual std::string problem() const { return {}; }
};

}  // namespace melovantis
