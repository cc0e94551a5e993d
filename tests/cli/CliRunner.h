#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

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

// Runs melovantis-cli with the arguments, capturing both output streams.
inline CliResult runCli(const TempFolder& dir, const std::vector<std::string>& args) {
  std::string command = quote(MELOVANTIS_CLI);
  for (const auto& a : args) {
    command += " " + quote(a);
  }
  const auto outPath = dir / "cli-out.txt";
  const auto errPath = dir / "cli-err.txt";
  command += " >" + quote(outPath.string()) + " 2>" + quote(errPath.string()) + " </dev/null";
  CliResult r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readText(outPath);
  r.err = readText(errPath);
  return r;
}

}  // namespace melovantis::test
