#include "ui/ProgramLauncher.h"

#include "conversion/ExternalProgram.h"

namespace melovantis {

std::filesystem::path SystemProgramLauncher::find(const std::string& name) const {
  return findProgram(name);
}

int SystemProgramLauncher::runAndWait(const std::filesystem::path& program,
                                      const std::vector<std::string>& arguments,
                                      const std::filesystem::path& workingFolder) {
  return runProgramAndWait(program, arguments, workingFolder);
}

bool SystemProgramLauncher::start(const std::filesystem::path& program,
                                  const std::vector<std::string>& arguments) {
  return startProgram(program, arguments);
}

}  // namespace melovantis
