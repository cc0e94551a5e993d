#include "ui/qt/Desktop.h"

namespace melovantis {

Desktop::Desktop(const std::filesystem::path& programFolder,
                 const std::filesystem::path& documentation)
    : window_(player_, version()),
      main_({notifier_, dialogs_, window_, player_, launcher_}, programFolder, documentation) {
  notifier_.setParentWidget(&window_);
  dialogs_.setParentWidget(&window_);
  window_.attach(&main_, &main_);
}

QString Desktop::version() { return QStringLiteral(MELOVANTIS_VERSION); }

}  // namespace melovantis
