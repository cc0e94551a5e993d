#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis::test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return q + "'";
}

// Runs melovantis-cli (or the copy of it at `program`) with the arguments,
// capturing both output streams. `before` goes ahead of the program:
// variables for its environment, or a program that runs it as another user.
inline CliResult runCli(const TempFolder& dir, const std::vector<std::string>& args,
                        const std::string& before = "",
                        const std::string& program = MELOVANTIS_CLI) {
  std::string command = before + quote(program);
  for (const auto& a : args) {
    command += " " + quote(a);
  }
  const auto outPath = dir / "cli-out.txt";
  const auto errPath = dir / "cli-err.txt";
  command += " >" + quote(outPath.string()) + " 2>" + quote(errPath.string()) + " </dev/null";
  CliResult r;
  // The program's own time limit too: a conversion that hangs fails its test.
  const int raw = runLimited(command, 300);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readText(outPath);
  r.err = readText(errPath);
  return r;
}

}  // namespace melovantis::test
