#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace melovantis {

class Notifier;

// The outside programs the window starts: "clean.sh" at exit (waited for) and
// the sound control panel (not waited for). Tests put a recorder in its place.
class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;

  // The program on PATH; empty when it is not installed.
  virtual std::filesystem::path find(const std::string& name) const = 0;

  // Exit status, or -1 when it could not be started.
  virtual int runAndWait(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& workingFolder) = 0;

  // True when started.
  virtual bool start(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments) = 0;
};

// Opens pavucontrol on one of its tabs (3: output devices, 4: input devices);
// where it is not installed, says what to use instead, in `advice`.
void openSoundSettings(ProgramLauncher& launcher, Notifier& notifier, int tab,
                       const char* advice, const char* caption);

// Starts real programs.
class SystemProgramLauncher : public ProgramLauncher {
 public:
  std::filesystem::path find(const std::string& name) const override;
  int runAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& workingFolder) override;
  bool start(const std::filesystem::path& program,
             const std::vector<std::string>& arguments) override;
};

}  // namespace melovantis
