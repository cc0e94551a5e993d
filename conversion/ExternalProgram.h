#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace melovantis {

// Outside programs the window and the converter start: found in a preferred
// folder first, then on PATH, started with an argument list (never through a
// shell), with no terminal input and their output discarded.

// The program `name` in `preferredFolder` when it is executable there, else
// the first executable of that name on PATH; empty when there is none.
std::filesystem::path findProgram(const std::string& name,
                                  const std::filesystem::path& preferredFolder = {});

// How an outside program we waited for ended.
struct ProgramExit {
  bool started = false;
  int startError = 0;  // errno when it could not be started
  int status = -1;     // its exit status when it ended normally
  int signal = 0;      // the signal that ended it, else 0

  bool succeeded() const { return started && signal == 0 && status == 0; }
};

// Runs `program` with `arguments` in `workingFolder` (the current folder when
// empty) and waits for it.
ProgramExit runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingFolder = {});

// Why the program called `name` failed, in a few words ("ffmpeg exited with
// status 1"); empty when it succeeded.
std::string describeFailure(const std::string& name, const ProgramExit& exit);

// As runProgram; returns the exit status, or -1 when it could not be started
// or did not end normally.
int runProgramAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder = {});

// Starts `program` and does not wait for it; true when it was started. The
// child is reaped by the system, not by us, so it never lingers as a zombie.
bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace melovantis
