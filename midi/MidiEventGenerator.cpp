#include "midi/MidiEventGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

constexpr int kMaxBend = 16383;

// Out-of-range settings are clamped rather than masked: a controller number
// of 200 masked to 7 bits would silently drive controller 72; clamped it
// stays at the top of the range.
int dataByte(int value) { return std::clamp(value, 0, 127); }

// The note number a message carries for a (whole) note held as a double.
int noteByte(double note) {
  if (std::isnan(note)) {
    return 0;
  }
  return static_cast<int>(std::clamp(note, 0.0, 127.0));
}

// A frame sounds when it has a pitch; a non-finite value is not a pitch.
bool isVoiced(double pitch) { return pitch >= 0.0 && std::isfinite(pitch); }

}  // namespace

MidiEventGenerator::MidiEventGenerator(AnalysisEngine& engine, Notifier& notifier)
    : engine_(engine), notifier_(notifier) {
  resetState();
}

void MidiEventGenerator::resetState() {
  // A range of 0 would divide by zero below, and no synthesizer bends further than an octave
  // through this generator.
  bendRange_ = std::clamp(engine_.midi.pitchBendRange, kMinBendRange, kMaxBendRange);
  state_ = State{};
  state_.bendUnitUp = bendRange_ / 8191.0;
  state_.bendUnitDown = bendRange_ / 8192.0;
}

bool MidiEventGenerator::beginMidiStream(MidiSink& sink) {
  sink_ = nullptr;
  quiet_ = false;
  resetState();
  if (!sink.open()) {
    notifier_.message("Cannot use this MIDI device, please select another one.", "Error",
                      MessageIcon::Error);
    return false;
  }
  sink_ = &sink;

  if (engine_.midi.program != kNoProgram) {
    emitMidiEvent(kProgramChange, engine_.midi.program, 0, 2);
  }
  // Registered parameter 0, pitch-bend sensitivity: the range in semitones, 0 cents.
  sendController(101, 0);
  sendController(100, 0);
  sendController(6, bendRange_);
  sendController(38, 0);
  // Non-registered parameter 1/9 (vibrato depth on GS/XG synthesizers) to its neutral 64.
  sendController(99, 1);
  sendController(98, 9);
  sendController(6, 64);
  sendController(38, 0);
  return true;
}

void MidiEventGenerator::emitFrameEvents(int frameIndex) {
  if (frameIndex < 0 || static_cast<std::size_t>(frameIndex) >= engine_.frames.size()) {
    return;
  }
  const FrameRecord& frame = engine_.frames[static_cast<std::size_t>(frameIndex)];
  const double pitch = frame.pitch;
  const int volume = frame.volume;
  const int brightness = frame.brightness;
  const bool attack = engine_.attackDetectorOn && frame.attack != 0;
  state_.currentPitch = pitch;

  const bool voiced = isVoiced(pitch);
  const bool wasVoiced = isVoiced(state_.previousPitch);
  if (voiced && wasVoiced && !attack) {
    // The note goes on: bend follows the pitch until it slides past the range.
    const int bend = bendValueFor(pitch - state_.soundingNote);
    if (!state_.bendOutOfRange) {
      sendBendIfChanged(bend);
      sendController(engine_.midi.volumeController, volume);
      sendController(engine_.midi.brightnessController, brightness);
    } else {
      stopNote();
      startNote(pitch, volume, brightness);
    }
  } else if (voiced && attack) {
    // Also after silence, so the first attack of a stream turns off note 0.
    stopNote();
    startNote(pitch, volume, brightness);
  } else if (voiced) {
    startNote(pitch, volume, brightness);
  } else if (wasVoiced) {
    stopNote();
  }
  state_.previousPitch = state_.currentPitch;
}

void MidiEventGenerator::endMidiStream(bool closeDevice) {
  if (sink_ == nullptr) {
    return;
  }
  stopNote();
  if (closeDevice) {
    sink_->close();
  }
  sink_ = nullptr;
}

void MidiEventGenerator::emitMidiEvent(int status, int data1, int data2, int length) {
  if (sink_ == nullptr) {
    return;
  }
  const int channel = std::clamp(engine_.midi.channel, 0, 15);
  const auto statusByte = static_cast<std::uint8_t>((status & 0xF0) | channel);
  const bool shortMessage = length == 2;
  sink_->send(statusByte, static_cast<std::uint8_t>(dataByte(data1)),
              shortMessage ? std::uint8_t{0} : static_cast<std::uint8_t>(dataByte(data2)),
              shortMessage ? 2 : 3);
}

void MidiEventGenerator::sendController(int number, int value) {
  // The switches and caches compare what goes out, so two settings that clamp to the same
  // controller number share one stream instead of fighting over it.
  if (quiet_) {
    return;
  }
  const int controller = dataByte(number);
  const int sentValue = dataByte(value);
  const MidiOutputSettings& midi = engine_.midi;
  if (controller == dataByte(midi.volumeController)) {
    if (sentValue == state_.lastVolumeSent || !midi.sendVolume) {
      return;
    }
    state_.lastVolumeSent = sentValue;
  } else if (controller == dataByte(midi.brightnessController)) {
    if (sentValue == state_.lastBrightnessSent || !midi.sendBrightness) {
      return;
    }
    state_.lastBrightnessSent = sentValue;
  }
  emitMidiEvent(kControlChange, controller, sentValue, 3);
}

int MidiEventGenerator::bendValueFor(double deviation) {
  const double range = bendRange_;
  // Written so that a NaN deviation counts as out of range too.
  state_.bendOutOfRange = !(deviation >= -range && deviation <= range);
  if (std::isnan(deviation)) {
    return kBendCentre;
  }
  const double unit = deviation > 0.0 ? state_.bendUnitUp : state_.bendUnitDown;
  const double steps = std::floor(deviation / unit + 0.5);
  // Far out of range the value is never sent; keep it an int all the same.
  return static_cast<int>(std::clamp(steps, -1.0e9, 1.0e9)) + kBendCentre;
}

void MidiEventGenerator::sendBendIfChanged(int value) {
  // Outside 0..16383 the two 7-bit halves would wrap round to a far-off bend.
  const int bend = std::clamp(value, 0, kMaxBend);
  if (quiet_ || bend == state_.lastBendSent) {
    return;
  }
  state_.lastBendSent = bend;
  emitMidiEvent(kPitchBend, bend & 0x7F, (bend >> 7) & 0x7F, 3);
}

double MidiEventGenerator::keyFor(double pitch) const {
  if (engine_.noteKeys == NoteKeys::kFloor) {
    return std::floor(pitch);  // bent up by the rest
  }
  // The nearest semitone, bent by at most half a semitone either way; a key
  // beyond MIDI's range would be clamped and the bend measured from the wrong note.
  return std::clamp(std::floor(pitch + 0.5), 0.0, 127.0);
}

void MidiEventGenerator::startNote(double pitch, int volume, int brightness) {
  state_.soundingNote = keyFor(pitch);
  sendBendIfChanged(bendValueFor(pitch - state_.soundingNote));
  sendController(engine_.midi.volumeController, volume);
  sendController(engine_.midi.brightnessController, brightness);
  if (!quiet_) {
    emitMidiEvent(kNoteOn, noteByte(state_.soundingNote), kNoteOnVelocity, 3);
  }
}

void MidiEventGenerator::stopNote() {
  emitMidiEvent(kNoteOff, noteByte(state_.soundingNote), 0, 3);
}

}  // namespace melovantis
