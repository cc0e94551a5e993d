#include "plugin/AtomMidiSink.h"

#include <lv2/atom/util.h>

#include <algorithm>

namespace melovantis::plugin {

AtomMidiSink::AtomMidiSink(LV2_URID sequenceType, LV2_URID midiEventType)
    : sequenceType_(sequenceType), midiEventType_(midiEventType) {}

void AtomMidiSink::begin(LV2_Atom_Sequence* sequence, std::uint32_t frames) {
  sequence_ = sequence;
  frames_ = frames;
  frame_ = 0;
  if (sequence_ == nullptr) {
    capacity_ = 0;
    return;
  }
  capacity_ = sequence_->atom.size;
  sequence_->atom.type = sequenceType_;
  sequence_->body.unit = 0;  // times in audio frames
  sequence_->body.pad = 0;
  lv2_atom_sequence_clear(sequence_);
  if (capacity_ < sizeof(LV2_Atom_Sequence_Body)) {
    sequence_ = nullptr;  // no room even for the empty sequence's header
  }
}

void AtomMidiSink::setFrame(std::uint32_t frame) {
  frame_ = frames_ == 0 ? 0 : std::min(frame, frames_ - 1);
}

void AtomMidiSink::send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) {
  if (sequence_ == nullptr) {
    ++dropped_;
    return;
  }
  struct {
    LV2_Atom_Event header;
    std::uint8_t bytes[3];
  } event{};
  event.header.time.frames = frame_;
  event.header.body.type = midiEventType_;
  event.header.body.size = length == 2 ? 2 : 3;
  event.bytes[0] = status;
  event.bytes[1] = data1;
  event.bytes[2] = data2;
  // The padded size: the append itself checks only the unpadded one.
  const std::uint32_t size = lv2_atom_pad_size(sizeof event.header + event.header.body.size);
  if (capacity_ - sequence_->atom.size < size ||
      lv2_atom_sequence_append_event(sequence_, capacity_, &event.header) == nullptr) {
    ++dropped_;
  }
}

}  // namespace melovantis::plugin
