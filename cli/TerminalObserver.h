#pragma once

#include "conversion/ConversionObserver.h"

namespace melovantis {

// Draws a progress bar on standard error while a conversion runs, when
// standard error is a terminal and the user did not ask for quiet.
class TerminalObserver : public ConversionObserver {
 public:
  explicit TerminalObserver(bool quiet);

  void setProgress(int percent) override;
  void closeProgressWindow() override;

 private:
  bool enabled_;
  int shown_ = -1;
};

}  // namespace melovantis
