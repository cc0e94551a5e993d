#pragma once

#include <QDialog>
#include <functional>

namespace melovantis {

// "About Melovantis...": the program's picture, name and version, a picture
// button that opens the program's home page, and OK.
class AboutBox : public QDialog {
 public:
  AboutBox(const QString& version, std::function<void()> openHomePage, QWidget* parent);

  static QString nameLine(const QString& version);
  static QString versionLine(const QString& version);
};

}  // namespace melovantis
