#include "conversion/LiveSession.h"

#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"
#include "midi/MidiOutputPorts.h"

namespace melovantis {

LiveSession::LiveSession(AnalysisEngine& engine, Notifier& notifier, AudioCaptureBackend& capture,
                         MidiOutputPorts& ports)
    : engine_(engine),
      notifier_(notifier),
      ports_(ports),
      capture_(engine, notifier, capture),
      generator_(engine, notifier) {
  capture_.setListener(this);
}

LiveSession::~LiveSession() { stop(); }

bool LiveSession::start(int midiDevice, int audioDevice,
                        std::chrono::milliseconds firstBlockTimeout) {
  stop();
  sink_ = ports_.sink(midiDevice);
  if (sink_ == nullptr) {
    notifier_.message("Cannot use this MIDI device, please select another one.", "Error",
                      MessageIcon::Error);
    return false;
  }
  if (!generator_.beginMidiStream(*sink_)) {
    sink_.reset();
    return false;  // the generator has told the user
  }
  if (!capture_.startCapture(audioDevice)) {
    generator_.endMidiStream(true);
    sink_.reset();
    return false;
  }
  running_ = true;
  // A device that opened but never delivers would leave the window waiting
  // for ever; after a while the user is told, and the run is given up.
  if (!capture_.waitForFirstBlock(firstBlockTimeout)) {
    stop();
    notifier_.message("No sound arrives from the audio input. Check that it is connected and not "
                      "in use by another program.",
                      "Error", MessageIcon::Error);
    return false;
  }
  return true;
}

void LiveSession::stop() {
  if (!running_) {
    return;
  }
  running_ = false;
  capture_.stopCapture();
  engine_.frameCount = 0;
  generator_.endMidiStream(true);
  sink_.reset();
}

bool LiveSession::checkInput() {
  if (!running_) {
    return false;
  }
  if (!capture_.inputLost()) {
    return true;
  }
  // The note that sounds is ended first: the message may wait for the user.
  stop();
  notifier_.message("No sound has come from the audio input for a second: it was disconnected, "
                    "or its sound system stopped. The live run has ended.",
                    "Error", MessageIcon::Error);
  return false;
}

void LiveSession::frameAnalysed(AnalysisEngine& /*engine*/) { generator_.emitFrameEvents(0); }

}  // namespace melovantis
