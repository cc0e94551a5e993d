#pragma once

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>

#include "midi/MidiSink.h"

namespace melovantis::plugin {

// The event generator's messages as MIDI events of the plugin's output
// sequence, each at the frame of the block it belongs to. Writes into the
// host's buffer only: nothing is allocated, and a message that no longer fits
// is dropped (and counted) rather than overrunning it.
class AtomMidiSink : public MidiSink {
 public:
  AtomMidiSink(LV2_URID sequenceType, LV2_URID midiEventType);

  // Starts this run's (empty) sequence in `sequence`, whose size the host set
  // to the room it has. A null port is allowed: messages then go nowhere.
  void begin(LV2_Atom_Sequence* sequence, std::uint32_t frames);

  // The frame, within this run, of the messages that follow. Frames never go
  // back within a run.
  void setFrame(std::uint32_t frame);

  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override;

  // Messages dropped since made because the sequence was full.
  long dropped() const { return dropped_; }

 private:
  LV2_URID sequenceType_;
  LV2_URID midiEventType_;
  LV2_Atom_Sequence* sequence_ = nullptr;
  std::uint32_t capacity_ = 0;
  std::uint32_t frames_ = 0;
  std::uint32_t frame_ = 0;
  long dropped_ = 0;
};

}  // namespace melovantis::plugin
