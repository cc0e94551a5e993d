#pragma once

#include <cstdint>

namespace melovantis {

// Where the event generator's channel messages go: the track of a MIDI file,
// an output device, or a recorder in the tests. The generator knows no more
// than this; a sink that needs timing (the file track) keeps its own clock.
class MidiSink {
 public:
  virtual ~MidiSink() = default;

  // Makes the destination ready for a stream of messages; false when it
  // cannot be used (a device that is busy or gone). Sinks with nothing to
  // open keep the default.
  virtual bool open() { return true; }

  // One complete channel message. `status` already carries the channel;
  // `length` is 3, or 2 for a program change (then `data2` is 0 and unused).
  virtual void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) = 0;

  // Ends the stream and releases the destination; nothing to do by default.
  virtual void close() {}
};

}  // namespace melovantis
