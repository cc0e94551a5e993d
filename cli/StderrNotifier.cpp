#include "cli/StderrNotifier.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace melovantis {

namespace {

void print(std::string_view text, std::string_view caption) {
  std::cerr << "melovantis: ";
  // Captions that only repeat the kind of box ("Error") add nothing on a terminal.
  if (!caption.empty() && caption != "Error" && caption != text) {
    const bool longText = text.find('\n') != std::string_view::npos;
    std::cerr << caption << (longText ? "\n" : (caption.back() == '.' ? " " : ": "));
  }
  std::cerr << text << '\n';
}

}  // namespace

void StderrNotifier::message(std::string_view text, std::string_view caption, MessageIcon) {
  print(text, caption);
}

bool StderrNotifier::askYesNo(std::string_view text, std::string_view caption, MessageIcon) {
  print(text, caption);
  if (::isatty(STDIN_FILENO) == 0) {
    std::cerr << "(no terminal: answering No)\n";
    return false;
  }
  std::cerr << "[y/N] " << std::flush;
  std::string line;
  std::getline(std::cin, line);
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

void StderrNotifier::fatal(std::string_view text) {
  print(text, "");
  std::exit(1);
}

}  // namespace melovantis
