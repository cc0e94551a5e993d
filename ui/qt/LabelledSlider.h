#pragma once

#include <QSlider>
#include <QWidget>

class QDialog;
class QDialogButtonBox;
class QGroupBox;

namespace melovantis {

// A horizontal slider with tick marks, its caption above it (if any), and the
// texts under its two ends, as the tool dialogs show them.
struct SliderLayout {
  const char* caption;  // nullptr: none
  int minimum;
  int maximum;
  int smallStep;
  int largeStep;
  int tickInterval;
  const char* leftEnd;
  const char* rightEnd;
};

class LabelledSlider : public QWidget {
 public:
  LabelledSlider(const SliderLayout& layout, QWidget* parent);

  QSlider* slider() const { return slider_; }
  int value() const { return slider_->value(); }
  void setValue(int value) { slider_->setValue(value); }

 private:
  QSlider* slider_;
};

// A group box whose title leaves room for the program's icon at its start.
QGroupBox* toolGroup(const QString& title, bool withIcon, QWidget* parent);

// OK and Cancel, wired to accept and reject `dialog`.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

}  // namespace melovantis
