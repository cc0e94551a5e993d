#pragma once

namespace melovantis {

// The identities of the main window's menu commands and controls. Buttons that
// have a menu twin send the menu command, so both paths behave alike.
namespace command {
inline constexpr int kOpenAudioFile = 32788;
inline constexpr int kOpenProject = 32773;
inline constexpr int kSaveProject = 32775;
inline constexpr int kSaveProjectAs = 32776;
inline constexpr int kSaveMidi = 32777;
inline constexpr int kSaveMidiAs = 32778;
inline constexpr int kExit = 32779;
inline constexpr int kUndo = 32817;
inline constexpr int kEraseCurrentNote = 32813;
inline constexpr int kRepeatPreviousNote = 32812;
inline constexpr int kViewPitch = 32792;
inline constexpr int kViewVolume = 32793;
inline constexpr int kViewBrightness = 32794;
inline constexpr int kViewNoteAttack = 32802;
inline constexpr int kZoom100 = 32822;
inline constexpr int kZoom200 = 32823;
inline constexpr int kZoom400 = 32824;
inline constexpr int kStart = 32786;
inline constexpr int kStartRealTime = 32828;
inline constexpr int kStartRealTimeButton = 32818;  // carried by no menu item
// Checkable choices of the conversions (held for the run, like the View toggles).
inline constexpr int kNotesAtAttacks = 32841;
inline constexpr int kNearestKeys = 32842;
inline constexpr int kSettingsOpen = 32780;
inline constexpr int kSettingsSave = 32781;
inline constexpr int kSettingsSaveAs = 32782;
inline constexpr int kCustomize = 32783;
inline constexpr int kAutoSettings = 32803;
inline constexpr int kMidiOutputDevice = 32798;
inline constexpr int kLoadDefaults = 32787;
inline constexpr int kAutoCorrect = 32795;
inline constexpr int kPitchQuantize = 32796;
inline constexpr int kModifyPitchTempo = 32829;
inline constexpr int kInTuneWizard = 32797;
inline constexpr int kAreaCorrectorTool = 32830;
inline constexpr int kShowUsersGuide = 32799;
inline constexpr int kWebsite = 32800;
inline constexpr int kCheckForUpdates = 32801;
inline constexpr int kAbout = 32784;
}  // namespace command

namespace control {
inline constexpr int kStatusLine = 1032;
inline constexpr int kRepeatPrevious = 1078;
inline constexpr int kErase = 1079;
inline constexpr int kOctaveSlider = 1009;
inline constexpr int kCentsSlider = 1010;
inline constexpr int kVolumeSlider = 1013;
inline constexpr int kBrightnessSlider = 1014;
inline constexpr int kVerticalScroll = 1002;
inline constexpr int kCursorLeft = 1048;
inline constexpr int kCursorRight = 1045;
inline constexpr int kHorizontalScroll = 1000;
inline constexpr int kZoomIn = 1049;
inline constexpr int kZoomOut = 1051;
inline constexpr int kProgressBar = 1099;
inline constexpr int kStart = 1151;
inline constexpr int kRealTimeStart = 1074;
inline constexpr int kSettings = 1149;
inline constexpr int kSettingsWizard = 1080;
inline constexpr int kQuickSettings = 1043;
inline constexpr int kUndo = 1077;
inline constexpr int kInTune = 1069;
inline constexpr int kPitchQuantize = 1150;
inline constexpr int kAutoCorrect = 1072;
inline constexpr int kAreaCorrect = 1153;
inline constexpr int kPitchTempo = 1073;
inline constexpr int kAttackDetector = 1017;
inline constexpr int kAttackSensitivity = 1015;
inline constexpr int kMidiOut = 1075;
inline constexpr int kSaveMidi = 1076;
inline constexpr int kPlayerType = 1109;
inline constexpr int kMediaPlayer = 1093;
inline constexpr int kDefaultButton = 1008;  // Enter
}  // namespace control

}  // namespace melovantis
