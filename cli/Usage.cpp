#include "cli/Usage.h"

#include <iostream>

namespace melovantis {

const char* usageText() {
  return "usage:\n"
         "  melovantis-cli convert INPUT [--settings FILE.set] [--midi OUT.mid] [--project OUT.mvt]\n"
         "                 [--frames OUT.csv] [--summary] [--quiet] [--no-convert]\n"
         "\n"
         "  convert   analyse a recording (other formats than 44100 Hz mono 16-bit PCM WAVE\n"
         "            are converted with ffmpeg first) with the given settings\n"
         "            (default: the factory default.set) and write what is asked.\n"
         "  --midi    write a Standard MIDI File (default, when no other output is asked:\n"
         "            INPUT with .mid beside it)\n"
         "  --project write a project file (.mvt) for later editing\n"
         "  --frames  write the frame table as CSV: frame,time_s,pitch,volume,brightness,attack\n"
         "  --summary print frames, pitched frames, lowest and highest note\n"
         "  --quiet   no progress bar\n"
         "  --no-convert  refuse input that is not a 44100 Hz mono 16-bit PCM WAVE instead of\n"
         "            converting it with ffmpeg first\n"
         "\n"
         "Exit status: 0 success, 1 input refused or file not written, 2 usage error.\n";
}

int usageError(const std::string& problem) {
  std::cerr << "melovantis-cli: " << problem << "\n\n" << usageText();
  return 2;
}

}  // namespace melovantis
