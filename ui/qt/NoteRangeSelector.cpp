#include "ui/qt/NoteRangeSelector.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "ui/qt/DialogUnits.h"

namespace melovantis {

namespace {

constexpr int kOctave = NoteRangeSelection::kOctaveWidth;
constexpr int kHeight = NoteRangeSelection::kKeyboardHeight;
constexpr int kOctaveNumberY = 83;
constexpr int kOctaveNumberPixels = 12;

// One octave, 140 x 103: seven white keys 20 wide, black keys 10 wide in the
// upper 52 rows on the borders after C, D, F, G and A.
QPixmap octavePicture() {
  QPixmap picture(kOctave, kHeight);
  picture.fill(QColor(60, 60, 60));
  QPainter p(&picture);
  for (int key = 0; key < 7; ++key) {
    p.fillRect(QRect(key * 20, 0, 19, kHeight - 1), QColor(250, 250, 250));
  }
  for (const int border : {20, 40, 80, 100, 120}) {
    p.fillRect(QRect(border - 5, 0, 10, 52), QColor(16, 16, 16));
  }
  return picture;
}

}  // namespace

NoteRangeSelector::NoteRangeSelector(QWidget* parent)
    : QDialog(parent), octave_(octavePicture()) {
  setWindowTitle(QStringLiteral(
      "To select range, first CLICK to the lowest note, then SHIFT+CLICK to the highest note."));
  setFixedSize(unitRect(0, 0, 399, 94).size());

  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setGeometry(unitRect(7, 62, 384, 10));
  scroll_->setRange(0, NoteRangeSelection::kScrollMaximum);
  scroll_->setSingleStep(20);
  scroll_->setPageStep(150);
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });

  status_ = new QLabel(this);
  status_->setGeometry(unitRect(7, 74, 266, 13));
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(unitRect(284, 75, 50, 12));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setGeometry(unitRect(341, 75, 50, 12));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void NoteRangeSelector::setValues(const NoteRange& range) {
  selection_ = NoteRangeSelection(range);
  scroll_->setValue(0);  // octave 0 at the left edge, whatever the range
  refresh();
}

void NoteRangeSelector::refresh() {
  status_->setText(QString::fromStdString(selection_.statusText()));
  update();
}

void NoteRangeSelector::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const int s = scroll_->value();
  QFont numbers(QStringLiteral("Tahoma"));
  numbers.setStyleHint(QFont::SansSerif);
  numbers.setPixelSize(kOctaveNumberPixels);
  painter.setFont(numbers);
  painter.setPen(Qt::black);
  const int first = NoteRangeSelection::firstOctaveX(s);
  for (int i = 0; i < NoteRangeSelection::kOctavesShown; ++i) {
    const int x = first + i * kOctave;
    painter.drawPixmap(x, 0, octave_);
    const int octave = (x + s) / kOctave;
    painter.drawText(QRect(x + 8 - 10, kOctaveNumberY, 20, kOctaveNumberPixels + 4),
                     Qt::AlignHCenter | Qt::AlignTop, QString::number(octave));
  }
  // The chosen span, column by column, inverted.
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  for (int column = (s - 10) / 10 * 10; column - s < width(); column += 10) {
    if (selection_.isMarked(column)) {
      painter.fillRect(QRect(column - s, 0, 10, kHeight), Qt::black);
    }
  }
}

void NoteRangeSelector::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  const QPoint at = event->position().toPoint();
  if (selection_.click(at.x(), at.y(), scroll_->value(),
                       event->modifiers().testFlag(Qt::ShiftModifier))) {
    refresh();
  }
}

}  // namespace melovantis
