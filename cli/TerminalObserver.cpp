#include "cli/TerminalObserver.h"

#include <unistd.h>

#include <cstdio>

namespace melovantis {

TerminalObserver::TerminalObserver(bool quiet) : enabled_(!quiet && ::isatty(STDERR_FILENO) != 0) {}

void TerminalObserver::setProgress(int percent) {
  if (!enabled_ || percent == shown_) {
    return;
  }
  shown_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\rConverting [");
  for (int i = 0; i < kWidth; ++i) {
    std::fputc(i < filled ? '#' : '.', stderr);
  }
  std::fprintf(stderr, "] %3d%%", percent);
  std::fflush(stderr);
}

void TerminalObserver::closeProgressWindow() {
  if (enabled_ && shown_ >= 0) {
    std::fputc('\n', stderr);
  }
  shown_ = -1;
}

}  // namespace melovantis
