// Help, version, manual pages and completion: what a Linux user looks for
// first, checked against the options the commands really take.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/CliRunner.h"
#include "support/TestFiles.h"

namespace melovantis {
namespace {

namespace fs = std::filesystem;
using test::quote;
using test::runCli;

using Options = std::set<std::string>;

const fs::path kSource = MELOVANTIS_SOURCE_DIR;

struct Command {
  std::string name;
  std::string source;  // the file whose parser reads the command's options
};

const std::vector<Command> kCommands = {{"convert", "cli/ConvertCommand.cpp"},
                                        {"edit", "cli/EditCommand.cpp"},
                                        {"wizard", "cli/WizardCommand.cpp"},
                                        {"devices", "cli/DevicesCommand.cpp"},
                                        {"live", "cli/LiveCommand.cpp"}};

// Every "--name" in a text.
Options optionsIn(const std::string& text) {
  Options found;
  const std::regex option(R"((^|[^a-z-])(--[a-z][a-z-]*))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
       it != std::sregex_iterator(); ++it) {
    found.insert((*it)[2]);
  }
  return found;
}

// What a shell command prints on standard output and error together.
std::string outputOf(const std::string& command) {
  const test::TempFolder dir;
  test::runLimited(command + " >" + quote((dir / "out").string()) + " 2>&1", 60);
  return test::readText(dir / "out");
}

TEST(CliHelp, EveryCommandHelpsWithEveryOptionItsParserTakes) {
  const test::TempFolder dir;
  for (const Command& c : kCommands) {
    const auto help = runCli(dir, {c.name, "--help"});
    EXPECT_EQ(help.status, 0) << c.name;
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: melovantis-cli " + c.name, 0), 0u) << help.out;
    EXPECT_EQ(runCli(dir, {c.name, "-h"}).out, help.out);
    EXPECT_EQ(runCli(dir, {"help", c.name}).out, help.out);
    // Help wins even after other arguments.
    EXPECT_EQ(runCli(dir, {c.name, "nothere.wav", "--help"}).out, help.out);

    const Options parsed = optionsIn(test::readText(kSource / c.source));
    const Options helped = optionsIn(help.out);
    for (const std::string& option : parsed) {
      EXPECT_TRUE(helped.count(option)) << c.name << " takes " << option << " but --help omits it";
    }
    for (const std::string& option : helped) {
      if (option != "--help" && option != "--version") {
        EXPECT_TRUE(parsed.count(option)) << c.name << " --help names " << option;
      }
    }
  }
  const auto overview = runCli(dir, {"--help"});
  EXPECT_EQ(overview.status, 0);
  EXPECT_EQ(runCli(dir, {"-h"}).out, overview.out);
  for (const Command& c : kCommands) {
    EXPECT_NE(overview.out.find("melovantis-cli " + c.name), std::string::npos) << c.name;
  }
}

TEST(CliHelp, VersionIsTheProjectsOnEveryCommandAndOnTheWindow) {
  const test::TempFolder dir;
  const std::string expected = std::string("melovantis-cli ") + MELOVANTIS_PROJECT_VERSION + "\n";
  auto r = runCli(dir, {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, expected);
  for (const Command& c : kCommands) {
    r = runCli(dir, {c.name, "--version"});
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.out, expected);
  }
#ifdef MELOVANTIS_WINDOW
  // Answered before any window is made, so it works without a display too.
  const std::string window = "env -u DISPLAY -u WAYLAND_DISPLAY " + quote(MELOVANTIS_WINDOW);
  EXPECT_EQ(outputOf(window + " --version"),
            std::string("melovantis ") + MELOVANTIS_PROJECT_VERSION + "\n");
  const std::string help = outputOf(window + " --help");
  for (const char* option : {"--no-splash", "--program-folder", "--help", "--version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
#endif
}

TEST(CliHelp, ManualPagesRenderCleanlyAndDescribeEveryOption) {
  const fs::path pages = MELOVANTIS_MAN_DIR;
  for (const char* page : {"melovantis-cli.1", "melovantis.1"}) {
    const std::string path = quote((pages / page).string());
    EXPECT_EQ(outputOf("groff -ww -man -Tutf8 -z " + path), "") << page;
    const std::string shown = outputOf("MANWIDTH=100 man --warnings -l " + path);
    EXPECT_NE(shown.find(std::string("Melovantis ") + MELOVANTIS_PROJECT_VERSION),
              std::string::npos)
        << shown;
    for (const char* section : {"SYNOPSIS", "DESCRIPTION", "FILES", "EXIT STATUS", "EXAMPLES"}) {
      EXPECT_NE(shown.find(section), std::string::npos) << page << " " << section;
    }
  }
  const std::string manual = outputOf("MANWIDTH=100 man -l " + quote((pages / "melovantis-cli.1").string()));
  const test::TempFolder dir;
  for (const Command& c : kCommands) {
    EXPECT_NE(manual.find("melovantis-cli " + c.name), std::string::npos) << c.name;
    for (const std::string& option : optionsIn(runCli(dir, {c.name, "--help"}).out)) {
      EXPECT_NE(manual.find(option), std::string::npos) << c.name << " " << option;
    }
  }
  for (const char* format : {".mid", ".mvt", ".set", ".csv"}) {
    EXPECT_NE(manual.find(format), std::string::npos) << format;
  }
}

// What bash offers after the words given, in a folder holding a few files.
std::string completions(const test::TempFolder& dir, const std::string& words) {
  const std::string script =
      "cd " + quote(dir.path().string()) + " && source " +
      quote((kSource / "cli/completion/melovantis-cli").string()) + " && COMP_WORDS=(" + words +
      ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _melovantis_cli && "
      "printf '%s\\n' \"${COMPREPLY[@]}\" | sort | tr '\\n' ' '";
  return outputOf("bash -c " + quote(script));
}

TEST(CliHelp, BashCompletesCommandsOptionsAndTheRightKindOfFile) {
  const test::TempFolder dir;
  for (const char* file : {"a.wav", "b.mp3", "c.txt", "d.mvt", "e.set", "f.mid"}) {
    test::writeText(dir / file, "");
  }
  fs::create_directories(dir / "sub");
  EXPECT_EQ(completions(dir, "melovantis-cli ''"),
            "--help --version convert devices edit help live wizard ");
  EXPECT_EQ(completions(dir, "melovantis-cli convert ''"), "a.wav b.mp3 sub ");
  EXPECT_EQ(completions(dir, "melovantis-cli edit ''"), "d.mvt sub ");
  EXPECT_EQ(completions(dir, "melovantis-cli wizard ''"), "a.wav sub ");
  EXPECT_EQ(completions(dir, "melovantis-cli convert a.wav --settings ''"), "e.set sub ");
  EXPECT_EQ(completions(dir, "melovantis-cli edit d.mvt --midi ''"), "f.mid sub ");
  EXPECT_EQ(completions(dir, "melovantis-cli convert --onset-placement ''"), "attack frame ");
  // Each command's options, as its help gives them.
  for (const Command& c : kCommands) {
    Options offered;
    std::istringstream words(completions(dir, "melovantis-cli " + c.name + " --"));
    for (std::string w; words >> w;) {
      offered.insert(w);
    }
    EXPECT_EQ(offered, optionsIn(runCli(dir, {c.name, "--help"}).out)) << c.name;
  }
}

TEST(CliHelp, InstallingPutsPagesAndCompletionWhereManAndBashLook) {
  const test::TempFolder prefix;
  ASSERT_EQ(test::runLimited(quote(MELOVANTIS_CMAKE) + " --install " + quote(MELOVANTIS_BUILD_DIR) +
                                 " --prefix " + quote(prefix.path().string()) + " >/dev/null",
                             120),
            0);
  for (const char* file : {"share/man/man1/melovantis-cli.1", "share/man/man1/melovantis.1",
                           "share/bash-completion/completions/melovantis-cli",
                           "share/bash-completion/completions/melovantis"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  }
  EXPECT_NE(outputOf("MANPATH=" + quote((prefix / "share/man").string()) +
                     " MANWIDTH=100 man melovantis-cli")
                .find("melovantis-cli live"),
            std::string::npos);
}

}  // namespace
}  // namespace melovantis
