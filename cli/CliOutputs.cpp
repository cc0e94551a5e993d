#include "cli/CliOutputs.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/FrameCsvWriter.h"
#include "cli/StderrNotifier.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "midi/MidiFileWriter.h"

namespace melovantis {

namespace {

// Keeps a writer's messages until the system's reason for its failure is
// known, so that each is printed once, naming the file, with the reason.
class HeldMessages : public Notifier {
 public:
  explicit HeldMessages(StderrNotifier& target) : target_(target) {}

  void message(std::string_view text, std::string_view caption, MessageIcon icon) override {
    held_.push_back({std::string(text), std::string(caption), icon});
  }
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override {
    return target_.askYesNo(text, caption, icon);
  }
  [[noreturn]] void fatal(std::string_view text) override {
    target_.fatal(text);
    std::abort();  // not reached: the target ends the program
  }

  bool release(bool ok, const std::filesystem::path& path, const std::string& reason) {
    target_.about(path, FileKind::Output, {}, reason);
    for (const Held& m : held_) {
      target_.message(m.text, m.caption, m.icon);
    }
    if (!ok && held_.empty() && !reason.empty()) {
      printProblem(path.string() + ": " + reason);
    }
    target_.about({}, FileKind::Output);
    return ok;
  }

 private:
  struct Held {
    std::string text;
    std::string caption;
    MessageIcon icon;
  };
  StderrNotifier& target_;
  std::vector<Held> held_;
};

}  // namespace

bool saveMidi(AnalysisEngine& engine, const std::filesystem::path& path, StderrNotifier& notifier) {
  HeldMessages held(notifier);
  std::string reason;
  return held.release(writeMidiFile(engine, path, held, &reason), path, reason);
}

bool saveProject(const AnalysisEngine& engine, const std::filesystem::path& path,
                 StderrNotifier& notifier) {
  HeldMessages held(notifier);
  std::string reason;
  return held.release(writeProjectFile(engine, path, held, &reason), path, reason);
}

bool saveSettings(const SettingsRecord& settings, const std::filesystem::path& path,
                  StderrNotifier& notifier) {
  HeldMessages held(notifier);
  std::string reason;
  return held.release(writeSettingsFile(path, settings, held, &reason), path, reason);
}

bool saveFrames(const AnalysisEngine& engine, const std::filesystem::path& path,
                StderrNotifier& notifier) {
  HeldMessages held(notifier);
  std::string reason;
  const bool ok = writeFrameCsv(engine, path, reason);
  if (!ok) {
    held.message("Cannot write " + path.string(), "Error", MessageIcon::Error);
  }
  return held.release(ok, path, reason);
}

}  // namespace melovantis
