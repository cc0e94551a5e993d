#include "ui/qt/DialogUnits.h"

#include <QFontMetricsF>
#include <algorithm>

namespace melovantis {

namespace {

constexpr double kDesignLetterWidth = 4 * kPixelsPerUnitX;

double averageLetterWidth(const QFont& font) {
  static const QString letters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
}

}  // namespace

QFont windowFont() {
  QFont font(QStringLiteral("Tahoma"), 10);
  font.setStyleHint(QFont::SansSerif);
  const double width = averageLetterWidth(font);
  if (width > kDesignLetterWidth + 0.05) {
    font.setStretch(std::clamp(static_cast<int>(100.0 * kDesignLetterWidth / width), 50, 100));
  }
  // A face that cannot be narrowed is made smaller instead.
  while (averageLetterWidth(font) > kDesignLetterWidth + 0.25 && font.pointSizeF() > 7.0) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  return font;
}

}  // namespace melovantis
