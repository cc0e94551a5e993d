#pragma once

#include <QPointer>
#include <QWidget>

#include "engine/Notifier.h"

namespace melovantis {

// Messages and questions as message boxes over the window, with the
// program's own texts, captions and icons.
class QtNotifier : public Notifier {
 public:
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override;
  [[noreturn]] void fatal(std::string_view text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace melovantis
