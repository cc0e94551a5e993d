#include "ui/ProgramLauncher.h"

#include "conversion/ExternalProgram.h"
#include "engine/Notifier.h"

namespace melovantis {

void openSoundSettings(ProgramLauncher& launcher, Notifier& notifier, int tab, const char* advice,
                       const char* caption) {
  const std::filesystem::path mixer = launcher.find("pavucontrol");
  if (mixer.empty() || !launcher.start(mixer, {"--tab=" + std::to_string(tab)})) {
    notifier.message(advice, caption, MessageIcon::Information);
  }
}

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
