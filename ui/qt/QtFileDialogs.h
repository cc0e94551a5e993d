#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "documents/FileDialogs.h"

namespace melovantis {

// "Description|*.ext" as a Qt name filter, "Description (*.ext)". The
// catch-all "*.*" becomes "*", so files without a dot are offered too.
QString qtNameFilter(const std::string& filter);

// The extension a typed name without one receives: "mid" for "*.mid", none for "*.*".
QString defaultSuffix(const std::string& filter);

// The open and save dialogs of every file command. The program asks its own
// overwrite question, so the dialog does not ask one.
class QtFileDialogs : public FileDialogs {
 public:
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override;

 private:
  std::optional<std::filesystem::path> run(const FileDialogRequest& request, bool save);

  QPointer<QWidget> parent_;
};

}  // namespace melovantis
