// melovantis-cli: the command-line front end on the core library.
#include <iostream>
#include <string>
#include <vector>

#include "cli/ConvertCommand.h"
#include "cli/DevicesCommand.h"
#include "cli/EditCommand.h"
#include "cli/LiveCommand.h"
#include "cli/Usage.h"
#include "cli/WizardCommand.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    return melovantis::usageError("no command given");
  }
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << melovantis::usageText();
    return 0;
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
