#pragma once

#include <QWidget>

#include "ui/MainWindowView.h"

namespace melovantis {

// The small untitled window shown while a conversion or the Settings Wizard
// runs: an icon and one line of text, centred over the main window. The
// progress itself is the main window's progress bar.
class ProgressWindow : public QWidget {
 public:
  ProgressWindow(ProgressKind kind, QWidget* over);

  static QString textFor(ProgressKind kind);
};

}  // namespace melovantis
