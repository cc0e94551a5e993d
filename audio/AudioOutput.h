#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace melovantis {

// The sound output the preview player plays through: 44100 Hz, stereo,
// 16-bit, pulled by the device in pieces from a render function that runs
// on the device's thread.
class AudioOutput {
 public:
  using Render = std::function<void(std::int16_t* interleavedStereo, int frames)>;

  virtual ~AudioOutput() = default;

  // Starts pulling samples; false, with problem() saying why, when there is
  // no output to play through.
  virtual bool start(Render render) = 0;

  // Stops pulling; once it returns the render function is not called again.
  virtual void stop() = 0;

  // Why the output cannot play, in the user's words; empty while it can.
  virtual std::string problem() const = 0;
};

}  // namespace melovantis
