#include "ui/qt/QtFileDialogs.h"

#include <QFileDialog>

namespace melovantis {

namespace {

struct SplitFilter {
  QString description;
  QString patterns;
};

SplitFilter split(const std::string& filter) {
  const QString whole = QString::fromStdString(filter);
  const qsizetype bar = whole.indexOf(QLatin1Char('|'));
  QString description = bar < 0 ? whole : whole.left(bar);
  QString patterns = bar < 0 ? QStringLiteral("*") : whole.mid(bar + 1);
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  if (patterns == QStringLiteral("*.*")) {
    patterns = QStringLiteral("*");
  }
  // "Audio/Video Files (*.*)" already names its pattern; Qt adds the real one.
  const qsizetype bracket = description.lastIndexOf(QLatin1String(" ("));
  if (bracket > 0 && description.endsWith(QLatin1Char(')'))) {
    description.truncate(bracket);
  }
  return {description.trimmed(), patterns.trimmed()};
}

}  // namespace

QString qtNameFilter(const std::string& filter) {
  const SplitFilter parts = split(filter);
  return parts.description + QStringLiteral(" (") + parts.patterns + QLatin1Char(')');
}

QString defaultSuffix(const std::string& filter) {
  const QString patterns = split(filter).patterns;
  // Only a single plain extension can be added to a name.
  const QString extension = patterns.mid(2);
  if (!patterns.startsWith(QLatin1String("*.")) || extension.isEmpty() ||
      extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char(' '))) {
    return {};
  }
  return extension;
}

std::optional<std::filesystem::path> QtFileDialogs::run(const FileDialogRequest& request,
                                                        bool save) {
  QFileDialog dialog(parent_, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                     QString::fromStdString(request.startFolder.string()));
  dialog.setNameFilter(qtNameFilter(request.filter));
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix(request.filter));
    if (!request.initialName.empty()) {
      dialog.selectFile(QString::fromStdString(request.initialName));
    }
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}

std::optional<std::filesystem::path> QtFileDialogs::openFile(const FileDialogRequest& request) {
  return run(request, false);
}

std::optional<std::filesystem::path> QtFileDialogs::saveFile(const FileDialogRequest& request) {
  return run(request, true);
}

}  // namespace melovantis
