#include "ui/qt/WrappingButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace melovantis {

void WrappingButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text.trimmed();
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

}  // namespace melovantis
