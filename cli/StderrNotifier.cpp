#include "cli/StderrNotifier.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace melovantis {

void printProblem(std::string_view text) {
  std::fputs(("melovantis-cli: " + std::string(text) + "\n").c_str(), stderr);
}

void StderrNotifier::about(std::filesystem::path file, FileKind kind, std::string before,
                           std::string reason) {
  file_ = std::move(file);
  kind_ = kind;
  before_ = std::move(before);
  reason_ = std::move(reason);
  describeDevice_ = nullptr;
}

void StderrNotifier::aboutDevice(std::function<DeviceNote()> describe) {
  about({}, FileKind::Output);
  describeDevice_ = std::move(describe);
}

void StderrNotifier::print(std::string_view text, std::string_view caption) {
  std::string line;
  const DeviceNote device = describeDevice_ ? describeDevice_() : DeviceNote{};
  if (!device.device.empty()) {
    line += device.device + ": ";
  }
  const std::string file = file_.string();
  // Our own messages that already end with the file's name ("Cannot open
  // settings file x.set") are not prefixed with it again.
  const bool namesIt = text.size() > file.size() && text.ends_with(" " + file);
  if (!file.empty() && !namesIt) {
    line += file + ": ";
  }
  if (!before_.empty()) {
    line += before_ + "; ";
  }
  // Captions that only repeat the kind of box ("Error") add nothing on a terminal.
  if (!caption.empty() && caption != "Error" && caption != text) {
    const bool longText = text.find('\n') != std::string_view::npos;
    line += std::string(caption) + (longText ? "\n" : (caption.back() == '.' ? " " : ": "));
  }
  line += text;
  if (!file.empty()) {
    const std::string problem = reason_.empty() ? fileProblem(file_, kind_) : reason_;
    if (!problem.empty()) {
      line += " (" + problem + ")";
    }
  }
  if (!device.reason.empty()) {
    line += " (" + device.reason + ")";
  }
  printProblem(line);
  ++printed_;
}

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
