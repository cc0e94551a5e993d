#pragma once

#include <chrono>
#include <memory>

#include "audio/LiveCapture.h"
#include "midi/MidiEventGenerator.h"

namespace melovantis {

class AnalysisEngine;
class AudioCaptureBackend;
class MidiOutputPorts;
class MidiSink;
class Notifier;

// One live run: MIDI output opened first (with its opening messages), then
// the capture, whose every block is analysed and sent at once; stopped in the
// reverse order, so the last note-off goes out before the device is closed.
class LiveSession : private FrameListener {
 public:
  static constexpr std::chrono::milliseconds kFirstBlockTimeout{3000};

  LiveSession(AnalysisEngine& engine, Notifier& notifier, AudioCaptureBackend& capture,
              MidiOutputPorts& ports);
  ~LiveSession() override;

  // Opens MIDI device `midiDevice`; when that works, starts capture from
  // `audioDevice` and waits for its first block. False, with the user told
  // why, when any step fails; whatever was started is stopped again.
  bool start(int midiDevice, int audioDevice = -1,
             std::chrono::milliseconds firstBlockTimeout = kFirstBlockTimeout);

  // The frame count to 0, capture stopped, the last note-off sent and the
  // device closed. Does nothing when not running.
  void stop();

  // For the owner's display loop: when the input has delivered nothing for a
  // second (its sound server stopped or froze, the device was unplugged), the
  // run is stopped as above and the user told. False when the run is not, or
  // no longer, running.
  bool checkInput();

  // Blocks of sound left out since the start because the analysis fell behind.
  long long droppedBlocks() const { return capture_.droppedBlocks(); }

  bool running() const { return running_; }
  LiveCapture& capture() { return capture_; }
  const LiveCapture& capture() const { return capture_; }

 private:
  void frameAnalysed(AnalysisEngine& engine) override;

  AnalysisEngine& engine_;
  Notifier& notifier_;
  MidiOutputPorts& ports_;
  LiveCapture capture_;
  MidiEventGenerator generator_;
  std::unique_ptr<MidiSink> sink_;
  bool running_ = false;
};

}  // namespace melovantis
