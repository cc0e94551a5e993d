#include "ui/qt/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/qt/Pictures.h"

namespace melovantis {

QString AboutBox::nameLine(const QString& version) {
  return QStringLiteral("Melovantis\u00ae v") + version;
}

QString AboutBox::versionLine(const QString& version) {
  return QStringLiteral("Program version ") + version +
         QStringLiteral("   [ Engine version 8.0 ]");
}

AboutBox::AboutBox(const QString& version, std::function<void()> openHomePage, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Melovantis"));
  auto* picture = new QLabel(this);
  picture->setPixmap(appIconPixmap(96));
  auto* name = new QLabel(nameLine(version), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  name->setFont(big);
  auto* versions = new QLabel(versionLine(version), this);
  auto* home = new QToolButton(this);
  home->setIcon(appIcon());
  home->setIconSize(QSize(24, 24));
  home->setText(QStringLiteral("Melovantis home page"));
  home->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  connect(home, &QToolButton::clicked, this, [openHomePage] {
    if (openHomePage) {
      openHomePage();
    }
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addWidget(versions);
  text->addSpacing(8);
  text->addWidget(home, 0, Qt::AlignLeft);
  auto* row = new QHBoxLayout;
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addSpacing(12);
  row->addLayout(text, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(row);
  column->addWidget(buttons);
}

}  // namespace melovantis
