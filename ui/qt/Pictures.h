#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace melovantis {

// Every picture the window shows is drawn here, by the program itself.

// The application icon: a melody line on a piano roll, ending in a note.
QPixmap appIconPixmap(int size);
QIcon appIcon();

// The Settings Wizard's icon: a magnifying glass over a melody line.
QPixmap wizardIconPixmap(int size);

// The splash window's picture, with the version it names.
QPixmap splashPicture(const QString& version);

// The current-note panel's one-octave keyboard, 163 x 107: white keys 20
// pixels wide from its left edge (C to B and the next C), black keys 10 wide
// centred on the borders between them, in the upper 54 rows.
QPixmap keyboardPicture();

// The pointer over the window while the area corrector is on: a small ring
// with a cross, its hot spot in the middle.
QCursor areaCursor();

// The small picture buttons beside the horizontal scroll bar.
enum class ButtonPicture { CursorLeft, CursorRight, ZoomIn, ZoomOut };
QIcon buttonIcon(ButtonPicture picture);

}  // namespace melovantis
