#include "ui/qt/MainMenu.h"

#include <QKeySequence>
#include <QMenu>

#include "ui/CommandIds.h"

namespace melovantis {

namespace {

struct Item {
  const char* text;  // nullptr: a separator
  int id;
  bool checkable;
  QKeySequence::StandardKey shortcut;
};

constexpr Item kSeparator{nullptr, 0, false, QKeySequence::UnknownKey};

struct Menu {
  const char* title;
  std::initializer_list<Item> items;
};

}  // namespace

std::map<int, QAction*> buildMainMenu(QMenuBar& bar) {
  using namespace command;
  const auto none = QKeySequence::UnknownKey;
  const Menu menus[] = {
      {"&File",
       {{"Open Audio file...", kOpenAudioFile, false, QKeySequence::Open},
        {"Open Melovantis file...", kOpenProject, false, none},
        kSeparator,
        {"Save Melovantis file", kSaveProject, false, none},
        {"Save Melovantis file As...", kSaveProjectAs, false, none},
        kSeparator,
        {"Save MIDI file", kSaveMidi, false, QKeySequence::Save},
        {"Save MIDI file as...", kSaveMidiAs, false, QKeySequence::SaveAs},
        kSeparator,
        {"Exit", kExit, false, QKeySequence::Quit}}},
      {"&Edit",
       {{"Undo", kUndo, false, QKeySequence::Undo},
        {"Erase current note", kEraseCurrentNote, false, none},
        {"Repeat previous note", kRepeatPreviousNote, false, none}}},
      {"&View",
       {{"Pitch", kViewPitch, true, none},
        {"Volume", kViewVolume, true, none},
        {"Brightness", kViewBrightness, true, none},
        {"Note Attack", kViewNoteAttack, true, none},
        kSeparator,
        {"Zoom 100%", kZoom100, false, none},
        {"Zoom 200%", kZoom200, false, none},
        {"Zoom 400%", kZoom400, false, none}}},
      {"&Conversion",
       {{"Start!", kStart, false, none},
        {"Start real-time!", kStartRealTime, false, none},
        kSeparator,
        {"Notes at their attacks", kNotesAtAttacks, true, none},
        {"Notes on their nearest keys", kNearestKeys, true, none}}},
      {"&Settings",
       {{"Open...", kSettingsOpen, false, none},
        {"Save", kSettingsSave, false, none},
        {"Save As..", kSettingsSaveAs, false, none},
        kSeparator,
        {"Customize", kCustomize, false, none},
        {"Auto Settings", kAutoSettings, false, none},
        {"MIDI Output Device...", kMidiOutputDevice, false, none},
        kSeparator,
        {"Load Defaults", kLoadDefaults, false, none}}},
      {"&Tools",
       {{"Auto Correct", kAutoCorrect, false, none},
        {"Pitch Quantize", kPitchQuantize, false, none},
        {"Modify Pitch/Tempo", kModifyPitchTempo, false, none},
        {"In-Tune Wizard", kInTuneWizard, false, none},
        {"Area corrector tool", kAreaCorrectorTool, false, none}}},
      {"&Help",
       {{"Show User's Guide", kShowUsersGuide, false, QKeySequence::HelpContents},
        {"Go to Melovantis Website", kWebsite, false, none},
        {"Check for Updates!", kCheckForUpdates, false, none},
        kSeparator,
        {"About Melovantis...", kAbout, false, none}}},
  };

  std::map<int, QAction*> actions;
  for (const Menu& menu : menus) {
    QMenu* qmenu = bar.addMenu(QString::fromUtf8(menu.title));
    for (const Item& item : menu.items) {
      if (item.text == nullptr) {
        qmenu->addSeparator();
        continue;
      }
      QAction* action = qmenu->addAction(QString::fromUtf8(item.text));
      action->setData(item.id);
      action->setCheckable(item.checkable);
      if (item.shortcut != QKeySequence::UnknownKey) {
        action->setShortcut(item.shortcut);
      }
      actions[item.id] = action;
    }
  }
  return actions;
}

}  // namespace melovantis
