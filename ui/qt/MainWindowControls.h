#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <map>

namespace melovantis {

class GroupFrame;
class PlayerWidget;
class PreviewPlayer;

// The main window's controls, placed on the client area at their
// dialog-unit rectangles, each with its tooltip.
struct MainWindowControls {
  QLineEdit* statusLine = nullptr;
  std::map<int, QAbstractButton*> buttons;  // command, toggle and picture buttons
  std::map<int, QSlider*> sliders;          // the current-note sliders and the attack sensitivity
  std::map<int, GroupFrame*> sliderFrames;  // the current-note sliders' frames, with their values
  QCheckBox* attackDetector = nullptr;
  QScrollBar* horizontalScroll = nullptr;
  QScrollBar* verticalScroll = nullptr;
  QProgressBar* progress = nullptr;
  QComboBox* quickSettings = nullptr;
  QComboBox* playerType = nullptr;
  PlayerWidget* player = nullptr;
  std::map<int, QWidget*> byId;  // every control above, by its identity
};

MainWindowControls buildMainWindowControls(QWidget& client, PreviewPlayer& player);

// The tooltip of control `id` as the user reads it; empty when it has none.
QString tooltipText(int id);

// A tooltip as shown: wrapped when wider than 200 pixels in `font`.
QString wrappedTooltip(const QString& text, const QFont& font);

}  // namespace melovantis
