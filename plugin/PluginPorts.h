#pragma once

#include <array>
#include <cstdint>

#include "documents/SettingsRecord.h"
#include "engine/LiveBlockAnalyser.h"

namespace melovantis::plugin {

// The plugin's identity: the URI hosts know it by, and its presets' prefix.
inline constexpr const char* kPluginUri = "urn:melovantis:lv2";
inline constexpr const char* kPresetUriPrefix = "urn:melovantis:lv2:preset:";

// Port indices, in the order of the plugin's Turtle description.
enum Port : std::uint32_t {
  kAudioIn = 0,
  kMidiOut = 1,
  kInputGain = 2,
  kSoftQuantization = 3,
  kTranspose = 4,
  kAttackDetector = 5,
  kAttackSensitivity = 6,
  kTimeResolution = 7,
  kPitchResolution = 8,
  kLowestNote = 9,
  kHighestNote = 10,
  kHarmonicThreshold = 11,
  kBrightnessGain = 12,
  kMidiChannel = 13,
  kPitchBendRange = 14,
  kGmVoice = 15,
  kSendVolume = 16,
  kVolumeController = 17,
  kSendBrightness = 18,
  kBrightnessController = 19,
  kLatency = 20,
  kPortCount = 21,
};

inline constexpr std::uint32_t kFirstControl = kInputGain;
inline constexpr std::uint32_t kControlCount = kLatency - kInputGain;

enum class ControlKind { Real, Integer, Toggle };

// What the host's list of a port shows: a value with its name.
enum class ControlList { None, GmVoices, Controllers };

// One control input: its range, its factory value and, for the settings
// that a settings file holds, the record field it stands for.
struct ControlPort {
  Port index;
  const char* symbol;
  const char* name;
  float minimum;
  float maximum;
  float defaultValue;
  ControlKind kind;
  const char* unit;  // the LV2 unit's local name ("ms", "pc", ...), or nullptr
  ControlList list;
  int settingsField;  // index into SettingsRecord's fields; -1 for a live control
  bool replans;       // a change needs new FFT plans (made off the audio thread)
  const char* comment;
};

extern const std::array<ControlPort, kControlCount> kControlPorts;

// The largest delay the latency port can report, in frames.
inline constexpr float kMaxLatencyFrames = 32768.0f;

// The port's value brought into its range, whole for whole-numbered ports; the
// factory value when the value is no number.
float controlValue(const ControlPort& port, float value);

// The record the control values stand for. Fields no port shows take the
// factory real-time values (one frame per block, so no time-resolution boost).
// `values` holds one value per control port, in port order.
SettingsRecord settingsFromControls(const std::array<float, kControlCount>& values);

// The Real-time window's live controls from the same values.
LiveAdjustments adjustmentsFromControls(const std::array<float, kControlCount>& values);

// The factory value of every control, as kControlPorts gives them.
std::array<float, kControlCount> factoryControls();

}  // namespace melovantis::plugin
