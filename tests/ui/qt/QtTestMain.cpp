// The widget tests run the real Qt widgets; without a display they draw offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/qt/DialogUnits.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QApplication::setFont(melovantis::windowFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
