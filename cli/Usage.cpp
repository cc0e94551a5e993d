#include "cli/Usage.h"

#include <iostream>

namespace melovantis {

const char* usageText() {
  return "usage:\n"
         "  melovantis-cli convert INPUT.wav [--settings FILE.set] [--frames OUT.csv]\n"
         "                 [--summary] [--quiet]\n"
         "\n"
         "  convert   analyse a 44100 Hz mono 16-bit PCM WAVE file with the given settings\n"
         "            (default: the factory default.set) and write what is asked.\n"
         "  --frames  write the frame table as CSV: frame,time_s,pitch,volume,brightness,attack\n"
         "  --summary print frames, pitched frames, lowest and highest note\n"
         "  --quiet   no progress bar\n"
         "\n"
         "Exit status: 0 success, 1 input refused or file not written, 2 usage error.\n";
}

int usageError(const std::string& problem) {
  std::cerr << "melovantis-cli: " << problem << "\n\n" << usageText();
  return 2;
}

}  // namespace melovantis
