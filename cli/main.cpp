// melovantis-cli: the command-line front end on the core library.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/ConvertCommand.h"
#include "cli/DevicesCommand.h"
#include "cli/EditCommand.h"
#include "cli/LiveCommand.h"
#include "cli/Usage.h"
#include "cli/WizardCommand.h"

namespace {

bool asks(const std::vector<std::string>& args, std::initializer_list<const char*> names) {
  return std::any_of(args.begin(), args.end(), [&](const std::string& a) {
    return std::find(names.begin(), names.end(), a) != names.end();
  });
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    return melovantis::usageError("no command given");
  }
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h") {
    std::cout << melovantis::usageText();
    return 0;
  }
  if (command == "--version") {
    std::cout << melovantis::versionText();
    return 0;
  }
  if (command == "help") {
    // "help convert" is "convert --help".
    const auto text =
        args.empty() ? melovantis::usageText() : melovantis::commandHelp(args.front());
    if (!text) {
      return melovantis::usageError("unknown command " + args.front());
    }
    std::cout << *text;
    return 0;
  }
  // Help and version win over everything else a command is given, as users expect.
  if (const auto help = melovantis::commandHelp(command)) {
    if (asks(args, {"-h", "--help"})) {
      std::cout << *help;
      return 0;
    }
    if (asks(args, {"--version"})) {
      std::cout << melovantis::versionText();
      return 0;
    }
  }
  if (command == "convert") {
    return melovantis::runConvertCommand(args);
  }
  if (command == "edit") {
    return melovantis::runEditCommand(args);
  }
  if (command == "wizard") {
    return melovantis::runWizardCommand(args);
  }
  if (command == "devices") {
    return melovantis::runDevicesCommand(args);
  }
  if (command == "live") {
    return melovantis::runLiveCommand(args);
  }
  return melovantis::usageError("unknown command " + command);
}
