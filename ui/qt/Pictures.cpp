#include "ui/qt/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <utility>

namespace melovantis {

namespace {

const QColor kNight(24, 32, 56);
const QColor kDusk(44, 62, 104);
const QColor kPitchGreen(0, 220, 90);
const QColor kNoteGold(255, 200, 40);

// A rising and falling melody as a smooth line through `points` (unit square).
QPainterPath melodyPath(const QRectF& box) {
  const QPointF points[] = {{0.08, 0.70}, {0.25, 0.70}, {0.34, 0.52}, {0.50, 0.52},
                            {0.58, 0.36}, {0.72, 0.40}, {0.84, 0.28}};
  QPainterPath path;
  auto at = [&](const QPointF& p) {
    return QPointF(box.left() + p.x() * box.width(), box.top() + p.y() * box.height());
  };
  path.moveTo(at(points[0]));
  for (std::size_t i = 1; i < std::size(points); ++i) {
    const QPointF a = at(points[i - 1]);
    const QPointF b = at(points[i]);
    const double midX = (a.x() + b.x()) / 2;
    path.cubicTo(QPointF(midX, a.y()), QPointF(midX, b.y()), b);
  }
  return path;
}

void drawNote(QPainter& p, QPointF head, double size) {
  p.setPen(Qt::NoPen);
  p.setBrush(kNoteGold);
  p.save();
  p.translate(head);
  p.rotate(-20);
  p.drawEllipse(QRectF(-size * 0.6, -size * 0.42, size * 1.2, size * 0.84));
  p.restore();
  p.setPen(QPen(kNoteGold, std::max(1.0, size * 0.16), Qt::SolidLine, Qt::RoundCap));
  const QPointF stemFoot(head.x() + size * 0.52, head.y() - size * 0.1);
  p.drawLine(stemFoot, QPointF(stemFoot.x(), stemFoot.y() - size * 2.1));
}

void drawRollBackground(QPainter& p, const QRectF& box, double radius) {
  QLinearGradient fill(box.topLeft(), box.bottomRight());
  fill.setColorAt(0, kDusk);
  fill.setColorAt(1, kNight);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRoundedRect(box, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 40), std::max(1.0, box.height() / 96)));
  for (int i = 1; i < 6; ++i) {
    const double y = box.top() + box.height() * i / 6.0;
    p.drawLine(QPointF(box.left() + radius / 2, y), QPointF(box.right() - radius / 2, y));
  }
}

// An icon's square: the piano roll with the melody line, `lineWidth` of the size.
QRectF drawIconBase(QPainter& p, int size, double lineWidth) {
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
  drawRollBackground(p, box, size * 0.18);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kPitchGreen, std::max(1.5, size * lineWidth), Qt::SolidLine, Qt::RoundCap));
  p.drawPath(melodyPath(box));
  return box;
}

}  // namespace

QPixmap appIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  const QRectF box = drawIconBase(p, size, 0.07);
  drawNote(p, QPointF(box.left() + box.width() * 0.80, box.top() + box.height() * 0.74),
           size * 0.16);
  return pixmap;
}

QIcon appIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(appIconPixmap(size));
  }
  return icon;
}

QPixmap wizardIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  drawIconBase(p, size, 0.05);
  // The glass: a ring with a handle, looking at the melody.
  const QPointF centre(size * 0.44, size * 0.46);
  const double radius = size * 0.22;
  p.setPen(QPen(QColor(235, 235, 245), size * 0.07));
  p.setBrush(QColor(255, 255, 255, 50));
  p.drawEllipse(centre, radius, radius);
  p.setPen(QPen(kNoteGold, size * 0.11, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(centre.x() + radius * 0.75, centre.y() + radius * 0.75),
             QPointF(size * 0.84, size * 0.84));
  return pixmap;
}

QPixmap splashPicture(const QString& version) {
  constexpr int kWidth = 480;
  constexpr int kHeight = 280;
  QPixmap pixmap(kWidth, kHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, kHeight);
  fill.setColorAt(0, kDusk);
  fill.setColorAt(1, kNight);
  p.fillRect(pixmap.rect(), fill);

  // A strip of piano keys along the bottom edge.
  const int keysTop = kHeight - 46;
  for (int x = 0, i = 0; x < kWidth; x += 20, ++i) {
    p.fillRect(QRect(x + 1, keysTop, 18, 46), QColor(240, 240, 244));
    const int inOctave = i % 7;
    if (inOctave != 2 && inOctave != 6) {
      p.fillRect(QRect(x + 14, keysTop, 12, 28), QColor(20, 20, 28));
    }
  }

  // The melody as the piano roll shows it: dots, one per frame.
  const QPainterPath melody = melodyPath(QRectF(30, 92, 420, 150));
  p.setPen(Qt::NoPen);
  p.setBrush(kPitchGreen);
  for (double t = 0.0; t <= 1.0; t += 0.012) {
    p.drawEllipse(melody.pointAtPercent(t), 2.2, 2.2);
  }
  drawNote(p, QPointF(410, 150), 16);

  QFont title(QStringLiteral("Tahoma"));
  title.setStyleHint(QFont::SansSerif);
  title.setPixelSize(46);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 22, kWidth, 56), Qt::AlignHCenter, QStringLiteral("Melovantis\u00ae"));
  QFont line = title;
  line.setPixelSize(15);
  line.setBold(false);
  p.setFont(line);
  p.setPen(QColor(200, 210, 235));
  p.drawText(QRect(0, 76, kWidth, 22), Qt::AlignHCenter,
             QStringLiteral("Sing or play a melody \u2014 get MIDI"));
  p.drawText(QRect(0, keysTop - 24, kWidth - 12, 20), Qt::AlignRight,
             QStringLiteral("Version ") + version);
  return pixmap;
}

QPixmap keyboardPicture() {
  constexpr int kWidth = 163;
  constexpr int kHeight = 107;
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(QColor(60, 60, 60));
  QPainter p(&pixmap);
  // Eight white keys, C to B and the next C, each 20 pixels wide.
  for (int key = 0; key < 8; ++key) {
    p.fillRect(QRect(key * 20, 0, 19, kHeight - 1), QColor(250, 250, 250));
  }
  // Black keys centred on the borders after C, D, F, G and A.
  for (const int border : {1, 2, 4, 5, 6}) {
    p.fillRect(QRect(border * 20 - 5, 0, 10, 54), QColor(16, 16, 16));
  }
  return pixmap;
}

QIcon buttonIcon(ButtonPicture picture) {
  constexpr int kSize = 16;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  switch (picture) {
    case ButtonPicture::CursorLeft: {
      const QPointF arrow[] = {{11, 3}, {11, 13}, {4, 8}};
      p.drawPolygon(arrow, 3);
      break;
    }
    case ButtonPicture::CursorRight: {
      const QPointF arrow[] = {{5, 3}, {5, 13}, {12, 8}};
      p.drawPolygon(arrow, 3);
      break;
    }
    case ButtonPicture::ZoomIn:
    case ButtonPicture::ZoomOut: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(30, 30, 30), 1.6));
      p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
      p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
      p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
      if (picture == ButtonPicture::ZoomIn) {
        p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
      }
      break;
    }
  }
  return QIcon(pixmap);
}

QCursor areaCursor() {
  constexpr int kSize = 32;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn twice, white under black, so it shows on the dark view and on light controls.
  for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3.0}, std::pair{QColor(Qt::black), 1.2}}) {
    p.setPen(QPen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 7, 7);
    p.drawLine(QPointF(16, 3), QPointF(16, 11));
    p.drawLine(QPointF(16, 21), QPointF(16, 29));
    p.drawLine(QPointF(3, 16), QPointF(11, 16));
    p.drawLine(QPointF(21, 16), QPointF(29, 16));
  }
  return QCursor(pixmap, 16, 16);
}

}  // namespace melovantis
