#pragma once

#include "midi/MidiSink.h"

namespace melovantis {

class AnalysisEngine;
class Notifier;

// Turns frames of the engine's frame table into the channel messages of one
// monophonic voice: note-on/note-off, 14-bit pitch bend for the tuning inside
// a note, and control changes for volume and brightness. It never looks
// ahead: each frame's messages follow from that frame and the state the
// previous frame left, so frames must be given strictly in table order.
//
// The same code feeds a MIDI file's track and a live device; which one is the
// sink's business. Every message passes through emitMidiEvent, which keeps
// each byte inside MIDI's ranges whatever the settings say.
class MidiEventGenerator {
 public:
  static constexpr int kNoProgram = 128;     // the "[ NONE ]" voice
  static constexpr int kNoBendSent = -1000;  // nothing sent yet
  static constexpr int kBendCentre = 8192;
  static constexpr int kNoteOnVelocity = 100;
  static constexpr int kMinBendRange = 1;   // semitones
  static constexpr int kMaxBendRange = 12;

  // Channel message types, without the channel.
  static constexpr int kNoteOff = 0x80;
  static constexpr int kNoteOn = 0x90;
  static constexpr int kControlChange = 0xB0;
  static constexpr int kProgramChange = 0xC0;
  static constexpr int kPitchBend = 0xE0;

  struct State {
    double previousPitch = -1.0;
    double currentPitch = 0.0;
    double soundingNote = 0.0;  // a whole note number
    double bendUnitUp = 0.0;    // semitones per bend step above the centre
    double bendUnitDown = 0.0;  // and below it
    int lastBendSent = kNoBendSent;
    int lastVolumeSent = -1;
    int lastBrightnessSent = -1;
    bool bendOutOfRange = false;
  };

  MidiEventGenerator(AnalysisEngine& engine, Notifier& notifier);

  // Resets the state, opens the sink and sends the opening messages (program
  // change, pitch-bend sensitivity). When the sink cannot be opened the user
  // is told to pick another device, nothing is sent and the result is false.
  bool beginMidiStream(MidiSink& sink);

  // The messages of one frame of the frame table. A frame outside the table
  // produces nothing and leaves the state as it was.
  void emitFrameEvents(int frameIndex);

  // Note-off for the note last started; closes the sink when asked. The
  // stream is over afterwards: later messages go nowhere.
  void endMidiStream(bool closeDevice);

  // The single output primitive. `status` is the message type without the
  // channel; `length` is 3, or 2 for a program change (data2 then ignored).
  // The channel is clamped to 0..15 and data bytes to 0..127.
  void emitMidiEvent(int status, int data1, int data2, int length);

  // A control change through the volume and brightness switches and caches.
  void sendController(int number, int value);

  // The 14-bit bend for a deviation in semitones; sets or clears the
  // out-of-range flag.
  int bendValueFor(double deviation);

  // A pitch-bend message, unless the (clamped) value was the last one sent.
  void sendBendIfChanged(int value);

  // While quiet the generator follows the frames but sends only note-offs: the
  // frames of a note that the early start of the next note has overtaken.
  // Bends, controllers and note-ons are dropped and leave the caches as they were.
  void setQuiet(bool quiet) { quiet_ = quiet; }

  // The bend range in use: the configured range limited to 1..12 semitones.
  int bendRange() const { return bendRange_; }

  const State& state() const { return state_; }

 private:
  void resetState();
  // The key a note of this pitch starts on (engine's noteKeys).
  double keyFor(double pitch) const;
  void startNote(double pitch, int volume, int brightness);
  void stopNote();

  AnalysisEngine& engine_;
  Notifier& notifier_;
  MidiSink* sink_ = nullptr;  // set between a successful begin and the end
  State state_;
  int bendRange_ = kMinBendRange;
  bool quiet_ = false;
};

}  // namespace melovantis
