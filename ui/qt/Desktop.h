#pragma once

#include <QString>
#include <filesystem>
#include <memory>

#include "ui/MainWindow.h"
#include "ui/ProgramLauncher.h"
#include "ui/SilentPlayer.h"
#include "ui/qt/QtFileDialogs.h"
#include "ui/qt/QtMainWindow.h"
#include "ui/qt/QtNotifier.h"

namespace melovantis {

// The desktop program put together: the Qt window, its message boxes and file
// dialogs, the preview player and the main window's commands, for one
// program folder. The program and the widget tests build the same thing.
class Desktop {
 public:
  Desktop(const std::filesystem::path& programFolder, const std::filesystem::path& documentation);

  // Applies the start-up settings and fills the window's lists.
  void initialise() { main_.initialise(); }

  QtMainWindow& window() { return window_; }
  MainWindow& main() { return main_; }
  PreviewPlayer& player() { return player_; }

  static QString version();

 private:
  QtNotifier notifier_;
  QtFileDialogs dialogs_;
  SilentPlayer player_;
  SystemProgramLauncher launcher_;
  QtMainWindow window_;
  MainWindow main_;
};

}  // namespace melovantis
