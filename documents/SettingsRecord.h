#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>

namespace melovantis {

// Every user setting of the analysis and the MIDI output: twenty integers whose
// order is also the line order of a settings file. Values are kept exactly as
// loaded; ranges are the controls' business, and applySettingsToEngine guards
// only against values that would break the arithmetic.
//
// The initial values are those of the factory Private/default.set, so a
// program that finds no settings file at all still analyses sensibly.
struct SettingsRecord {
  static constexpr int kFieldCount = 20;

  std::int32_t timeResolutionMs = 90;      // 20..90
  std::int32_t harmonicThreshold = 0;      // 0..150, minimum cepstral peak height
  std::int32_t sendBrightness = 1;         // 0, 1
  std::int32_t sendVolume = 1;             // 0, 1
  std::int32_t timeResolutionBoost = 1;    // 0 none, 1 double, 2 hop of 300 samples
  std::int32_t midiChannel = 1;            // 1..16
  std::int32_t lowestNote = 28;            // MIDI note number
  std::int32_t highestNote = 108;          // MIDI note number
  std::int32_t lowestNoteMarkX = 320;      // keyboard mark of lowestNote
  std::int32_t highestNoteMarkX = 1260;    // keyboard mark of highestNote
  std::int32_t gmVoice = 73;               // General MIDI program, 128 = none
  std::int32_t pitchBendRange = 2;         // semitones either way
  std::int32_t brightnessController = 74;  // controller number
  std::int32_t sendTempo = 1;              // 0, 1
  std::int32_t bpmChoice = 101;            // 0 = SMPTE, else BPM - 19
  std::int32_t brightnessGain = 15;        // 1..50
  std::int32_t attackDetection = 1;        // 0, 1
  std::int32_t attackSensitivity = 90;     // 1..100
  std::int32_t volumeController = 7;       // controller number
  std::int32_t pitchResolutionBoost = 1;   // 0, 1

  // Field k (0..19) in file order.
  std::int32_t& field(int k) {
    assert(k >= 0 && k < kFieldCount);
    return this->*kFields[static_cast<std::size_t>(k)];
  }
  std::int32_t field(int k) const {
    assert(k >= 0 && k < kFieldCount);
    return this->*kFields[static_cast<std::size_t>(k)];
  }

  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;

 private:
  using Field = std::int32_t SettingsRecord::*;
  static constexpr std::array<Field, kFieldCount> kFields = {
      &SettingsRecord::timeResolutionMs,    &SettingsRecord::harmonicThreshold,
      &SettingsRecord::sendBrightness,      &SettingsRecord::sendVolume,
      &SettingsRecord::timeResolutionBoost, &SettingsRecord::midiChannel,
      &SettingsRecord::lowestNote,          &SettingsRecord::highestNote,
      &SettingsRecord::lowestNoteMarkX,     &SettingsRecord::highestNoteMarkX,
      &SettingsRecord::gmVoice,             &SettingsRecord::pitchBendRange,
      &SettingsRecord::brightnessController, &SettingsRecord::sendTempo,
      &SettingsRecord::bpmChoice,           &SettingsRecord::brightnessGain,
      &SettingsRecord::attackDetection,     &SettingsRecord::attackSensitivity,
      &SettingsRecord::volumeController,    &SettingsRecord::pitchResolutionBoost,
  };
};

}  // namespace melovantis
