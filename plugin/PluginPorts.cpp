#include "plugin/PluginPorts.h"

#include <algorithm>
#include <cmath>

namespace melovantis::plugin {

namespace {

// Record fields by their place in a settings file.
constexpr int kFieldTimeResolution = 0;
constexpr int kFieldHarmonicThreshold = 1;
constexpr int kFieldSendBrightness = 2;
constexpr int kFieldSendVolume = 3;
constexpr int kFieldMidiChannel = 5;
constexpr int kFieldLowestNote = 6;
constexpr int kFieldHighestNote = 7;
constexpr int kFieldGmVoice = 10;
constexpr int kFieldPitchBendRange = 11;
constexpr int kFieldBrightnessController = 12;
constexpr int kFieldBrightnessGain = 15;
constexpr int kFieldAttackDetection = 16;
constexpr int kFieldAttackSensitivity = 17;
constexpr int kFieldVolumeController = 18;
constexpr int kFieldPitchResolution = 19;

}  // namespace

const std::array<ControlPort, kControlCount> kControlPorts = {{
    {kInputGain, "input_gain", "Input gain", 1.0f, 5.0f, 1.0f, ControlKind::Real, "coef",
     ControlList::None, -1, false,
     "Multiplies the input before the analysis (1 to 5 times), for a quiet microphone."},
    {kSoftQuantization, "soft_quantization", "Soft quantization", 0.0f, 100.0f, 0.0f,
     ControlKind::Real, "pc", ControlList::None, -1, false,
     "How far every pitch is pulled towards the nearest semitone: 0 % leaves it as sung, "
     "100 % puts it on the semitone."},
    {kTranspose, "transpose", "Transpose", -48.0f, 48.0f, 0.0f, ControlKind::Integer,
     "semitone12TET", ControlList::None, -1, false,
     "Semitones added to every pitch found; a note pushed outside the MIDI range is not sent."},
    {kAttackDetector, "attack_detector", "Smart attack detector", 0.0f, 1.0f, 1.0f,
     ControlKind::Toggle, nullptr, ControlList::None, kFieldAttackDetection, false,
     "On: a new attack on a held pitch starts a new note. Off: repeated notes without a pause "
     "between them merge into one."},
    {kAttackSensitivity, "attack_sensitivity", "Attack sensitivity", 1.0f, 100.0f, 80.0f,
     ControlKind::Integer, nullptr, ControlList::None, kFieldAttackSensitivity, false,
     "The attack detector's sensitivity: higher values find more note starts."},
    {kTimeResolution, "time_resolution", "Time resolution", 20.0f, 90.0f, 32.0f,
     ControlKind::Integer, "ms", ControlList::None, kFieldTimeResolution, true,
     "The length of one analysis block, which is also the delay the analysis adds. Shorter "
     "blocks answer sooner; longer blocks find low notes more surely."},
    {kPitchResolution, "pitch_resolution", "Increase pitch resolution", 0.0f, 1.0f, 1.0f,
     ControlKind::Toggle, nullptr, ControlList::None, kFieldPitchResolution, true,
     "Doubles the resolution of the pitch search."},
    {kLowestNote, "lowest_note", "Lowest note", 0.0f, 127.0f, 28.0f, ControlKind::Integer,
     "midiNote", ControlList::None, kFieldLowestNote, false,
     "The lowest note searched for (MIDI note number, 60 = middle C). With the highest note "
     "it bounds the range, in either order."},
    {kHighestNote, "highest_note", "Highest note", 0.0f, 127.0f, 96.0f, ControlKind::Integer,
     "midiNote", ControlList::None, kFieldHighestNote, false,
     "The highest note searched for (MIDI note number)."},
    {kHarmonicThreshold, "harmonic_threshold", "Harmonic threshold", 0.0f, 150.0f, 0.0f,
     ControlKind::Integer, nullptr, ControlList::None, kFieldHarmonicThreshold, false,
     "0 recognises everything; higher values accept only clearly harmonic sounds."},
    {kBrightnessGain, "brightness_gain", "Brightness gain", 1.0f, 50.0f, 15.0f,
     ControlKind::Integer, nullptr, ControlList::None, kFieldBrightnessGain, false,
     "Scales the brightness sent on the brightness controller."},
    {kMidiChannel, "midi_channel", "MIDI channel", 1.0f, 16.0f, 1.0f, ControlKind::Integer,
     nullptr, ControlList::None, kFieldMidiChannel, false,
     "The channel of every message. A change ends the note sounding on the old channel."},
    {kPitchBendRange, "pitch_bend_range", "Pitch-bend range", 1.0f, 12.0f, 2.0f,
     ControlKind::Integer, "semitone12TET", ControlList::None, kFieldPitchBendRange, false,
     "Semitones either way that the pitch bend covers; sent to the synthesizer as its "
     "pitch-bend sensitivity at the start. A slide further than this strikes a new note."},
    {kGmVoice, "gm_voice", "General MIDI voice", 0.0f, 128.0f, 73.0f, ControlKind::Integer,
     nullptr, ControlList::GmVoices, kFieldGmVoice, false,
     "The program change sent at the start; [ NONE ] sends none, for a synthesizer whose "
     "sound is chosen in the synthesizer itself."},
    {kSendVolume, "send_volume", "Send volume", 0.0f, 1.0f, 1.0f, ControlKind::Toggle, nullptr,
     ControlList::None, kFieldSendVolume, false, "Sends the loudness on the volume controller."},
    {kVolumeController, "volume_controller", "Volume controller", 0.0f, 127.0f, 7.0f,
     ControlKind::Integer, nullptr, ControlList::Controllers, kFieldVolumeController, false,
     "The controller number that carries the loudness."},
    {kSendBrightness, "send_brightness", "Send brightness", 0.0f, 1.0f, 1.0f, ControlKind::Toggle,
     nullptr, ControlList::None, kFieldSendBrightness, false,
     "Sends the brightness on the brightness controller."},
    {kBrightnessController, "brightness_controller", "Brightness controller", 0.0f, 127.0f,
     74.0f, ControlKind::Integer, nullptr, ControlList::Controllers, kFieldBrightnessController,
     false,
     "The controller number that carries the brightness."},
}};

float controlValue(const ControlPort& port, float value) {
  if (std::isnan(value)) {
    return port.defaultValue;
  }
  value = std::clamp(value, port.minimum, port.maximum);
  if (port.kind == ControlKind::Toggle) {
    return value >= 0.5f ? 1.0f : 0.0f;
  }
  if (port.kind == ControlKind::Integer) {
    return std::floor(value + 0.5f);
  }
  return value;
}

SettingsRecord settingsFromControls(const std::array<float, kControlCount>& values) {
  // The factory real-time record (Private/default_realtime.set) under the ports.
  SettingsRecord record;
  record.timeResolutionBoost = 0;
  record.lowestNoteMarkX = 320;
  record.highestNoteMarkX = 1120;
  for (std::size_t i = 0; i < kControlCount; ++i) {
    const ControlPort& port = kControlPorts[i];
    if (port.settingsField >= 0) {
      record.field(port.settingsField) = static_cast<std::int32_t>(controlValue(port, values[i]));
    }
  }
  if (record.lowestNote > record.highestNote) {
    std::swap(record.lowestNote, record.highestNote);
  }
  return record;
}

LiveAdjustments adjustmentsFromControls(const std::array<float, kControlCount>& values) {
  const auto value = [&values](Port port) {
    const std::size_t i = port - kFirstControl;
    return controlValue(kControlPorts[i], values[i]);
  };
  LiveAdjustments adjustments;
  adjustments.inputGain = value(kInputGain);
  adjustments.quantizeAmount = value(kSoftQuantization) * 0.01;
  adjustments.transpose = static_cast<int>(value(kTranspose));
  adjustments.attackDetectorOn = value(kAttackDetector) != 0.0f;
  adjustments.attackSensitivity = static_cast<int>(value(kAttackSensitivity));
  return adjustments;
}

std::array<float, kControlCount> factoryControls() {
  std::array<float, kControlCount> values{};
  for (std::size_t i = 0; i < kControlCount; ++i) {
    values[i] = kControlPorts[i].defaultValue;
  }
  return values;
}

}  // namespace melovantis::plugin
