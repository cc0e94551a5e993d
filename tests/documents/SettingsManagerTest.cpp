#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "documents/FileDialogs.h"
#include "documents/FrameLengthTable.h"
#include "documents/NoteMarks.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsManager.h"
#include "engine/AnalysisEngine.h"
#include "engine/EngineTestSupport.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TestSignals.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

namespace fs = std::filesystem;
using test::ScriptedDialogs;
using test::RecordingNotifier;
using test::readText;
using test::TempFolder;
using test::writeText;

constexpr const char* kFoundQuestion =
    "A settings file with the same name was found.\nDo you want to load these settings? "
    "(recommended)";
constexpr const char* kWizardQuestion =
    "Do you want Settings Wizard automatically find\nthe right settings for you? (recommened)";
constexpr const char* kNotFoundQuestion =
    "No settings were found for this file.\n\nDo you want Settings Wizard automatically find\n"
    "the right settings for you? (recommened)";

// Records told apart by their first two fields.
SettingsRecord recordWith(int timeResolutionMs, int harmonicThreshold) {
  SettingsRecord record;
  record.timeResolutionMs = timeResolutionMs;
  record.harmonicThreshold = harmonicThreshold;
  return record;
}

const SettingsRecord kDefaultFile = recordWith(40, 11);
const SettingsRecord kStartupFile = recordWith(30, 22);
const SettingsRecord kSongFile = recordWith(50, 33);
const SettingsRecord kVoiceFile = recordWith(82, 44);
const SettingsRecord kBeforehand = recordWith(70, 55);

std::string recordText(const SettingsRecord& record) {
  std::string text;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    text += std::to_string(record.field(k)) + "\n";
  }
  return text;
}

class RecordingHooks : public SettingsManagerHooks {
 public:
  void updateStatusLine() override { ++statusLines; }
  void setProcessed() override { ++processed; }
  void runSettingsWizard(const fs::path& wavePath) override { wizardRuns.push_back(wavePath); }
  void settingsDisplayChanged() override { ++displays; }

  int statusLines = 0;
  int processed = 0;
  int displays = 0;
  std::vector<fs::path> wizardRuns;
};

void expectEntry(const RecordingNotifier::Entry& entry, const std::string& text,
                 const std::string& caption, MessageIcon icon, bool question) {
  EXPECT_EQ(entry.text, text);
  EXPECT_EQ(entry.caption, caption);
  EXPECT_EQ(entry.icon, icon);
  EXPECT_EQ(entry.question, question);
}

// A program folder with its own default.set and one quick setting.
class SettingsManagement : public ::testing::Test {
 protected:
  SettingsManagement() {
    writeText(program / "Private" / "default.set", recordText(kDefaultFile));
    writeText(program / "QuickSettings" / "voice.set", recordText(kVoiceFile));
    fs::create_directories(program / "Settings");
  }

  fs::path settingsFolder() const { return program / "Settings"; }

  // The record is in force: the engine holds it and the window was told.
  void expectApplied(const SettingsRecord& record) {
    EXPECT_EQ(engine.frameSize, frameLengthForMs(record.timeResolutionMs));
    EXPECT_EQ(engine.harmonicThreshold, record.harmonicThreshold);
    EXPECT_GT(hooks.displays, 0);
  }

  // A record as if loaded earlier and applied, with a current file.
  void loadBeforehand() {
    settings = kBeforehand;
    applySettingsToEngine(settings, engine);
    manager.setSettingsPath(settingsFolder() / "earlier.set");
  }

  TempFolder program;
  RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  SettingsRecord settings;
  ScriptedDialogs dialogs;
  RecordingHooks hooks;
  SettingsManager manager{settings, engine, notifier, dialogs, hooks, program.path()};
};

// ---------------------------------------------------------------------------
// Start-up

TEST_F(SettingsManagement, StartUpReadsStartupSetWhenThereIsOne) {
  writeText(settingsFolder() / "startup.set", recordText(kStartupFile));
  manager.setSettingsPath("left over.set");

  EXPECT_EQ(manager.startUp(), settingsFolder() / "startup.set");
  EXPECT_EQ(settings, kStartupFile);
  expectApplied(kStartupFile);
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(manager.settingsPath().empty());
  EXPECT_EQ(manager.quickSettingsEntries(), std::vector<std::string>{"voice"});
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsManagement, StartUpWithoutStartupSetReadsDefaultSet) {
  EXPECT_EQ(manager.startUp(), program / "Private" / "default.set");
  EXPECT_EQ(settings, kDefaultFile);
  expectApplied(kDefaultFile);
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsManagement, StartUpFindsFoldersWhateverTheCaseOfTheirNames) {
  fs::remove_all(settingsFolder());
  writeText(program / "settings" / "startup.set", recordText(kStartupFile));
  EXPECT_EQ(manager.startUp(), program / "settings" / "startup.set");
  EXPECT_EQ(settings, kStartupFile);
}

TEST_F(SettingsManagement, StartUpWithNeitherFileKeepsTheBuiltInValues) {
  fs::remove(program / "Private" / "default.set");
  EXPECT_TRUE(manager.startUp().empty());
  EXPECT_EQ(settings, SettingsRecord{});
  expectApplied(SettingsRecord{});
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(notifier.entries.empty());
}

// ---------------------------------------------------------------------------
// Open

TEST_F(SettingsManagement, OpenReadsTheChosenFileAndMakesItCurrent) {
  writeText(settingsFolder() / "song.set", recordText(kSongFile));
  dialogs.choose(settingsFolder() / "song.set");

  EXPECT_TRUE(manager.open());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "open");
  EXPECT_EQ(dialogs.shown[0].request.startFolder, settingsFolder());
  EXPECT_EQ(dialogs.shown[0].request.initialName, "");
  EXPECT_EQ(dialogs.shown[0].request.filter, "Melovantis settings|*.set");
  EXPECT_EQ(settings, kSongFile);
  expectApplied(kSongFile);
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "song.set");
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsManagement, CancelledOpenChangesNothing) {
  loadBeforehand();
  EXPECT_FALSE(manager.open());
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "earlier.set");
  EXPECT_EQ(hooks.statusLines, 0);
}

TEST_F(SettingsManagement, OpenOfAnUnreadableFileKeepsTheRecordButStillAppliesIt) {
  settings = kBeforehand;  // changed, not yet applied
  dialogs.choose(settingsFolder() / "gone.set");

  EXPECT_FALSE(manager.open());
  EXPECT_EQ(settings, kBeforehand);
  expectApplied(kBeforehand);
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "gone.set");
  EXPECT_TRUE(notifier.entries.empty());
}

// ---------------------------------------------------------------------------
// Save and Save As

TEST_F(SettingsManagement, SaveWithNoNameBehavesAsSaveAsAndProposesNoname) {
  settings = kSongFile;
  dialogs.choose(settingsFolder() / "noname.set");

  EXPECT_TRUE(manager.save({}));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "save");
  EXPECT_EQ(dialogs.shown[0].request.initialName, "noname.set");
  EXPECT_EQ(dialogs.shown[0].request.startFolder, settingsFolder());
  EXPECT_EQ(dialogs.shown[0].request.filter, "Melovantis settings|*.set");
  EXPECT_EQ(readText(settingsFolder() / "noname.set"), recordText(kSongFile));
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "noname.set");
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(notifier.entries.empty());  // Save As says nothing on success
}

TEST_F(SettingsManagement, SaveAsProposesTheWaveFilesBaseName) {
  manager.saveAs(program / "Wave files" / "PCM" / "take.1.wav");
  manager.save(program / "Wave files" / "PCM" / "song.wav");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].request.initialName, "take.1.set");
  EXPECT_EQ(dialogs.shown[1].request.initialName, "song.set");
}

TEST_F(SettingsManagement, CancelledSaveAsWritesNothing) {
  loadBeforehand();
  EXPECT_FALSE(manager.saveAs({}));
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "earlier.set");
  EXPECT_TRUE(fs::is_empty(settingsFolder()));
  EXPECT_EQ(hooks.statusLines, 0);
}

TEST_F(SettingsManagement, SaveAsOverAFileAsksAndDecliningWritesNothing) {
  loadBeforehand();
  writeText(settingsFolder() / "kept.set", "keep me\n");
  dialogs.choose(settingsFolder() / "kept.set");
  notifier.answer(false);

  EXPECT_FALSE(manager.saveAs({}));
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], "File exists. Overwrite?", "Warning!", MessageIcon::Information,
              true);
  EXPECT_EQ(readText(settingsFolder() / "kept.set"), "keep me\n");
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "earlier.set");
}

TEST_F(SettingsManagement, SaveAsOverAFileWithYesReplacesIt) {
  settings = kSongFile;
  writeText(settingsFolder() / "old.set", "old\n");
  dialogs.choose(settingsFolder() / "old.set");
  notifier.answer(true);

  EXPECT_TRUE(manager.saveAs({}));
  EXPECT_EQ(readText(settingsFolder() / "old.set"), recordText(kSongFile));
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "old.set");
  EXPECT_EQ(notifier.entries.size(), 1u);  // the question only
}

TEST_F(SettingsManagement, SaveWithANameWritesAndSaysSoWithoutADialog) {
  settings = kSongFile;
  manager.setSettingsPath(settingsFolder() / "mine.set");

  EXPECT_TRUE(manager.save({}));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(readText(settingsFolder() / "mine.set"), recordText(kSongFile));
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], "Settings saved as " + (settingsFolder() / "mine.set").string(),
              "Saved OK", MessageIcon::Information, false);
  EXPECT_EQ(hooks.statusLines, 1);
}

TEST_F(SettingsManagement, SaveAfterAQuickSettingWritesToTheSettingsFolder) {
  ASSERT_TRUE(manager.selectQuickSettings("voice"));
  settings.brightnessGain = 33;

  EXPECT_TRUE(manager.save({}));
  EXPECT_EQ(readText(settingsFolder() / "voice.set"), recordText(settings));
  EXPECT_EQ(readText(program / "QuickSettings" / "voice.set"), recordText(kVoiceFile));
  EXPECT_EQ(manager.settingsPath(), "voice.set");
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text,
            "Settings saved as " + (settingsFolder() / "voice.set").string());
}

TEST_F(SettingsManagement, SaveOfABareNameRecreatesAMissingSettingsFolder) {
  fs::remove_all(settingsFolder());
  manager.setSettingsPath("voice.set");
  EXPECT_TRUE(manager.save({}));
  EXPECT_EQ(readText(settingsFolder() / "voice.set"), recordText(settings));
}

TEST_F(SettingsManagement, WriteFailureSaysErrorSavingFileAndNoSuccess) {
  writeText(program / "plain", "a file, not a folder\n");
  manager.setSettingsPath(program / "plain" / "x.set");

  EXPECT_FALSE(manager.save({}));
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], "Error saving file", "Error", MessageIcon::Error, false);
  EXPECT_EQ(readText(program / "plain"), "a file, not a folder\n");
}

TEST_F(SettingsManagement, SaveAsWriteFailureSaysErrorSavingFileOnly) {
  writeText(program / "plain", "a file, not a folder\n");
  dialogs.choose(program / "plain" / "x.set");
  EXPECT_FALSE(manager.saveAs({}));
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], "Error saving file", "Error", MessageIcon::Error, false);
}

// ---------------------------------------------------------------------------
// Load Defaults

TEST_F(SettingsManagement, LoadDefaultsReadsDefaultSetSaysSoAndForgetsTheCurrentFile) {
  loadBeforehand();
  EXPECT_TRUE(manager.loadDefaults());
  EXPECT_EQ(settings, kDefaultFile);
  expectApplied(kDefaultFile);
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], "Default settings loaded", "Success", MessageIcon::Information,
              false);
  EXPECT_TRUE(manager.settingsPath().empty());
  EXPECT_EQ(hooks.statusLines, 1);
}

TEST_F(SettingsManagement, LoadDefaultsWithoutDefaultSetSaysNothingButForgetsTheCurrentFile) {
  loadBeforehand();
  fs::remove(program / "Private" / "default.set");
  EXPECT_FALSE(manager.loadDefaults());
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_TRUE(notifier.entries.empty());
  EXPECT_TRUE(manager.settingsPath().empty());
  EXPECT_EQ(hooks.statusLines, 1);
}

// ---------------------------------------------------------------------------
// Quick settings

TEST_F(SettingsManagement, QuickListHoldsTheSetFilesWithoutTheirEndingInAlphabeticalOrder) {
  const fs::path quick = program / "QuickSettings";
  for (const char* name : {"violin.set", "Bass.set", "alto.set", "cello.SET", "notes.txt", "set",
                           ".set", "trumpet.set.bak"}) {
    writeText(quick / name, "60\n");
  }
  fs::create_directories(quick / "folder.set");

  EXPECT_EQ(manager.listQuickSettings(),
            (std::vector<std::string>{"alto", "Bass", "cello", "violin", "voice"}));
}

TEST_F(SettingsManagement, QuickListIsEmptyWithoutTheFolder) {
  fs::remove_all(program / "QuickSettings");
  EXPECT_TRUE(manager.listQuickSettings().empty());
  manager.startUp();
  EXPECT_TRUE(manager.quickSettingsEntries().empty());
}

TEST_F(SettingsManagement, QuickSettingChoiceReadsAppliesAndNamesItWithoutAMessage) {
  loadBeforehand();
  EXPECT_TRUE(manager.selectQuickSettings("voice"));
  EXPECT_EQ(settings, kVoiceFile);
  expectApplied(kVoiceFile);
  EXPECT_EQ(manager.settingsPath(), "voice.set");
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsManagement, QuickSettingOfAnUnreadableEntryKeepsTheRecordButAppliesAndNamesIt) {
  settings = kBeforehand;
  EXPECT_FALSE(manager.selectQuickSettings("tuba"));
  EXPECT_EQ(settings, kBeforehand);
  expectApplied(kBeforehand);
  EXPECT_EQ(manager.settingsPath(), "tuba.set");
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsManagement, QuickSettingEntryThatIsNoPlainNameChangesNothing) {
  loadBeforehand();
  for (const char* entry : {"", ".", "..", "../Private/default", "a/b"}) {
    EXPECT_FALSE(manager.selectQuickSettings(entry)) << entry;
  }
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "earlier.set");
  EXPECT_EQ(hooks.statusLines, 0);
}

// ---------------------------------------------------------------------------
// Settings that belong to a WAVE file

class WaveLookup : public SettingsManagement {
 protected:
  WaveLookup() {
    writeText(settingsFolder() / "song.set", recordText(kSongFile));
    loadBeforehand();
  }
  const fs::path song = program / "Wave files" / "PCM" / "song.wav";
  const fs::path other = program / "Wave files" / "PCM" / "other.wav";
};

TEST_F(WaveLookup, FoundFileAndYesLoadsItAndMakesItCurrent) {
  notifier.answer(true);
  EXPECT_EQ(manager.lookUpWaveSettings(song, true), WaveSettingsOutcome::LoadedFound);
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], kFoundQuestion, "Settings found", MessageIcon::Information,
              true);
  EXPECT_EQ(settings, kSongFile);
  expectApplied(kSongFile);
  EXPECT_EQ(manager.settingsPath(), "song.set");
  EXPECT_EQ(hooks.processed, 1);
  EXPECT_EQ(hooks.statusLines, 1);
  EXPECT_TRUE(hooks.wizardRuns.empty());
}

TEST_F(WaveLookup, FoundFileLoadedThenSavedGoesBackToTheSameFile) {
  notifier.answer(true);
  manager.lookUpWaveSettings(song, true);
  settings.brightnessGain = 44;
  EXPECT_TRUE(manager.save(song));
  EXPECT_EQ(readText(settingsFolder() / "song.set"), recordText(settings));
}

TEST_F(WaveLookup, FoundFileAndNoThenNoKeepsThePreviousSettings) {
  notifier.answer(false);
  notifier.answer(false);
  EXPECT_EQ(manager.lookUpWaveSettings(song, true), WaveSettingsOutcome::KeptCurrent);
  ASSERT_EQ(notifier.entries.size(), 2u);
  expectEntry(notifier.entries[0], kFoundQuestion, "Settings found", MessageIcon::Information,
              true);
  expectEntry(notifier.entries[1], kWizardQuestion, "Settings not found", MessageIcon::Information,
              true);
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_EQ(engine.harmonicThreshold, kBeforehand.harmonicThreshold);
  EXPECT_EQ(manager.settingsPath(), settingsFolder() / "earlier.set");
  EXPECT_TRUE(hooks.wizardRuns.empty());
  EXPECT_EQ(hooks.processed, 1);
  EXPECT_EQ(hooks.statusLines, 1);
}

TEST_F(WaveLookup, FoundFileAndNoThenYesRunsTheWizard) {
  notifier.answer(false);
  notifier.answer(true);
  EXPECT_EQ(manager.lookUpWaveSettings(song, true), WaveSettingsOutcome::WizardRun);
  EXPECT_EQ(hooks.wizardRuns, std::vector<fs::path>{song});
  EXPECT_EQ(settings, kBeforehand);
}

TEST_F(WaveLookup, FoundFileAndNoWithoutTheWizardOfferAsksOnceAndKeepsTheSettings) {
  notifier.answer(false);
  EXPECT_EQ(manager.lookUpWaveSettings(song, false), WaveSettingsOutcome::KeptCurrent);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].caption, "Settings found");
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_EQ(hooks.processed, 1);
}

TEST_F(WaveLookup, MissingFileAndNoLoadsDefaultSetAndForgetsTheCurrentFile) {
  notifier.answer(false);
  EXPECT_EQ(manager.lookUpWaveSettings(other, true), WaveSettingsOutcome::LoadedDefaults);
  ASSERT_EQ(notifier.entries.size(), 1u);
  expectEntry(notifier.entries[0], kNotFoundQuestion, "Settings not found",
              MessageIcon::Information, true);
  EXPECT_EQ(settings, kDefaultFile);
  expectApplied(kDefaultFile);
  EXPECT_TRUE(manager.settingsPath().empty());
  EXPECT_EQ(hooks.processed, 1);
  EXPECT_EQ(hooks.statusLines, 1);
}

TEST_F(WaveLookup, MissingFileAndYesRunsTheWizardAndKeepsTheRecordForIt) {
  notifier.answer(true);
  EXPECT_EQ(manager.lookUpWaveSettings(other, true), WaveSettingsOutcome::WizardRun);
  EXPECT_EQ(hooks.wizardRuns, std::vector<fs::path>{other});
  EXPECT_EQ(settings, kBeforehand);
  EXPECT_EQ(hooks.processed, 1);
}

TEST_F(WaveLookup, MissingFileWithoutTheWizardOfferLoadsDefaultSetWithoutAsking) {
  EXPECT_EQ(manager.lookUpWaveSettings(program / "Melovantis files" / "other.mvt", false),
            WaveSettingsOutcome::LoadedDefaults);
  EXPECT_TRUE(notifier.entries.empty());
  EXPECT_EQ(settings, kDefaultFile);
  EXPECT_TRUE(manager.settingsPath().empty());
  EXPECT_EQ(hooks.processed, 1);
}

TEST_F(WaveLookup, ProjectFileFindsTheSettingsOfItsBaseName) {
  notifier.answer(true);
  EXPECT_EQ(manager.lookUpWaveSettings(program / "Melovantis files" / "song.mvt", false),
            WaveSettingsOutcome::LoadedFound);
  EXPECT_EQ(settings, kSongFile);
}

TEST_F(WaveLookup, FileIsFoundWhateverTheCaseOfItsName) {
  notifier.answer(true);
  EXPECT_EQ(manager.lookUpWaveSettings(program / "SONG.wav", true),
            WaveSettingsOutcome::LoadedFound);
  EXPECT_EQ(settings, kSongFile);
  EXPECT_EQ(manager.settingsPath(), "song.set");
}

TEST_F(WaveLookup, MissingSettingsFolderFindsNothing) {
  fs::remove_all(settingsFolder());
  notifier.answer(false);
  EXPECT_EQ(manager.lookUpWaveSettings(song, true), WaveSettingsOutcome::LoadedDefaults);
  EXPECT_EQ(notifier.entries.at(0).text, kNotFoundQuestion);
}

// ---------------------------------------------------------------------------
// The shipped quick settings presets

struct Instrument {
  const char* preset;
  int lowestPlayed;  // the instrument's usual range, MIDI notes (60 = "C5")
  int highestPlayed;
  int gmProgram;        // 0-based General MIDI program
  double trackedShare;  // measured share of frames within a tenth of a semitone
};

// Measured on half-second harmonic tones over every quarter tone of the
// played range. The engine's cepstrum resolves pitch above about note 86 only
// coarsely, which is what holds the whistle, flute and violin lower.
const Instrument kInstruments[] = {
    {"voice", 45, 84, 53, 0.99},  {"whistle", 72, 93, 78, 0.90}, {"flute", 60, 96, 73, 0.89},
    {"violin", 55, 96, 40, 0.90}, {"trumpet", 52, 84, 56, 0.98}, {"saxophone", 49, 80, 65, 0.98},
    {"cello", 36, 81, 42, 0.97},  {"bass", 28, 67, 32, 0.98},  {"piano", 33, 96, 0, 0.50},
};

fs::path presetFile(const char* name) {
  return fs::path(MELOVANTIS_DATA_DIR) / "QuickSettings" / (std::string(name) + ".set");
}

SettingsRecord readPreset(const char* name) {
  SettingsRecord settings;
  EXPECT_TRUE(readSettingsFile(presetFile(name), settings)) << name;
  return settings;
}

TEST(QuickSettingsPresets, AreListedByName) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  ScriptedDialogs dialogs;
  RecordingHooks hooks;
  const SettingsManager manager(settings, engine, notifier, dialogs, hooks, MELOVANTIS_DATA_DIR);
  EXPECT_EQ(manager.listQuickSettings(),
            (std::vector<std::string>{"bass", "cello", "flute", "piano", "saxophone", "trumpet",
                                      "violin", "voice", "whistle"}));
}

TEST(QuickSettingsPresets, EachHoldsTwentyNumbersOnTwentyLines) {
  for (const Instrument& instrument : kInstruments) {
    const std::string text = readText(presetFile(instrument.preset));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20) << instrument.preset;
    SettingsRecord settings;
    for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
      settings.field(k) = -12345;
    }
    ASSERT_TRUE(readSettingsFile(presetFile(instrument.preset), settings));
    for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
      EXPECT_NE(settings.field(k), -12345) << instrument.preset << " field " << k + 1;
    }
  }
}

TEST(QuickSettingsPresets, KeyboardMarksMatchTheirNotes) {
  for (const Instrument& instrument : kInstruments) {
    const SettingsRecord settings = readPreset(instrument.preset);
    EXPECT_EQ(settings.lowestNoteMarkX, noteMarkX(settings.lowestNote)) << instrument.preset;
    EXPECT_EQ(settings.highestNoteMarkX, noteMarkX(settings.highestNote)) << instrument.preset;
  }
}

TEST(QuickSettingsPresets, EachFitsItsInstrument) {
  for (const Instrument& instrument : kInstruments) {
    const SettingsRecord settings = readPreset(instrument.preset);
    EXPECT_EQ(settings.gmVoice, instrument.gmProgram) << instrument.preset;
    // At least about nine periods of the lowest note, within the slider's 20..90 ms
    // (longer frames measured better for several families).
    const double ninePeriodsMs = 9000.0 / test::noteFrequency(instrument.lowestPlayed);
    EXPECT_GE(settings.timeResolutionMs, std::clamp(ninePeriodsMs, 20.0, 90.0) - 1.0)
        << instrument.preset;
    // Found pitches stay a few semitones inside the range, so the range is wider.
    EXPECT_LE(settings.lowestNote, instrument.lowestPlayed - 5) << instrument.preset;
    EXPECT_GE(settings.highestNote, instrument.highestPlayed + 5) << instrument.preset;
  }
}

TEST(QuickSettingsPresets, EachPitchesAToneInTheMiddleOfItsRangeWithinATenthOfASemitone) {
  for (const Instrument& instrument : kInstruments) {
    RecordingNotifier notifier;
    AnalysisEngine engine(notifier);
    const SettingsRecord settings = readPreset(instrument.preset);
    applySettingsToEngine(settings, engine);
    const double middle = (settings.lowestNote + settings.highestNote) / 2.0;
    const std::vector<double> pitches = test::pitchesOf(engine, test::harmonicTone(middle, 44100));
    ASSERT_FALSE(pitches.empty());
    for (std::size_t i = 0; i < pitches.size(); ++i) {
      EXPECT_NEAR(pitches[i], middle, 0.1) << instrument.preset << " frame " << i;
    }
  }
}

TEST(QuickSettingsPresets, EachTracksTheRangeItsInstrumentPlays) {
  for (const Instrument& instrument : kInstruments) {
    RecordingNotifier notifier;
    AnalysisEngine engine(notifier);
    applySettingsToEngine(readPreset(instrument.preset), engine);
    int frames = 0;
    int good = 0;
    for (double note = instrument.lowestPlayed; note <= instrument.highestPlayed; note += 0.25) {
      for (const double pitch : test::pitchesOf(engine, test::harmonicTone(note, 22050))) {
        ++frames;
        good += pitch >= 0.0 && std::fabs(pitch - note) < 0.1 ? 1 : 0;
      }
    }
    // Three points below the measurement: a real loss fails, round-off does not.
    EXPECT_GE(static_cast<double>(good) / frames, instrument.trackedShare - 0.03)
        << instrument.preset;
  }
}

TEST(QuickSettingsPresets, LeaveSilenceAndNoiseUnpitched) {
  for (const Instrument& instrument : kInstruments) {
    RecordingNotifier notifier;
    AnalysisEngine engine(notifier);
    applySettingsToEngine(readPreset(instrument.preset), engine);
    for (const auto& signal : {test::constant(3 * 44100), test::whiteNoise(3 * 44100)}) {
      const std::vector<double> pitches = test::pitchesOf(engine, signal);
      EXPECT_EQ(std::count_if(pitches.begin(), pitches.end(), [](double p) { return p >= 0.0; }), 0)
          << instrument.preset;
    }
  }
}

}  // namespace
}  // namespace melovantis
