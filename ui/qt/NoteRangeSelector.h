#pragma once

#include <QDialog>
#include <QLabel>
#include <QScrollBar>

#include "ui/NoteRangeSelection.h"

namespace melovantis {

// The note range selector: a scrolling piano keyboard on which a click picks
// the lowest note and a Shift+click the highest, with the chosen range in a
// status line. Opened by the settings dialog on its working copy of the range.
class NoteRangeSelector : public QDialog {
 public:
  explicit NoteRangeSelector(QWidget* parent);

  void setValues(const NoteRange& range);
  NoteRange values() const { return selection_.range(); }

  QScrollBar* scrollBar() const { return scroll_; }
  QString statusText() const { return status_->text(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void refresh();

  NoteRangeSelection selection_{NoteRange{}};
  QPixmap octave_;
  QScrollBar* scroll_;
  QLabel* status_;
};

}  // namespace melovantis
