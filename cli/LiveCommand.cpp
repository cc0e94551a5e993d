#include "cli/LiveCommand.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include "audio/FileCaptureBackend.h"
#include "audio/RtAudioCaptureBackend.h"
#include "cli/ArgumentCursor.h"
#include "cli/CliSettings.h"
#include "cli/NoteKeysOption.h"
#include "cli/StderrNotifier.h"
#include "cli/Usage.h"
#include "conversion/LiveDisplay.h"
#include "conversion/LiveSession.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "midi/RtMidiOutputPorts.h"

namespace melovantis {

namespace {

std::atomic<bool> interrupted{false};

void interrupt(int /*signal*/) { interrupted = true; }

struct LiveOptions {
  std::filesystem::path settings;
  std::filesystem::path inputFile;
  std::optional<int> audioIn;
  std::optional<int> midiOut;
  std::string virtualName;
  std::optional<int> seconds;
  NoteKeys noteKeys = NoteKeys::kNearest;
};

// "A5   440.0 Hz  |#######       |": the note, its frequency and the level.
std::string statusLine(const LiveDisplay& display) {
  std::string meter(LiveDisplay::kMeterSegments, ' ');
  for (int i = 0; i < display.litSegments; ++i) {
    meter[static_cast<std::size_t>(i)] = '#';
  }
  char line[96];
  std::snprintf(line, sizeof line, "\r%-4s %8s Hz  |%s| ", display.note.c_str(),
                display.frequency.c_str(), meter.c_str());
  return line;
}

}  // namespace

int runLiveCommand(const std::vector<std::string>& args) {
  LiveOptions options;
  ArgumentCursor cursor(args);
  while (!cursor.atEnd()) {
    const std::string& a = cursor.next();
    bool ok = true;
    if (a == "--settings") {
      ok = cursor.value(options.settings);
    } else if (a == "--input-file") {
      ok = cursor.value(options.inputFile);
    } else if (a == "--audio-in") {
      options.audioIn = cursor.wholeNumber(0, 1000);
      ok = options.audioIn.has_value();
    } else if (a == "--midi-out") {
      options.midiOut = cursor.wholeNumber(0, 1000);
      ok = options.midiOut.has_value();
    } else if (a == "--virtual") {
      const std::optional<std::string> name = cursor.value();
      ok = name.has_value() && !name->empty();
      options.virtualName = name.value_or("");
    } else if (a == "--seconds") {
      options.seconds = cursor.wholeNumber(1, 86400);
      ok = options.seconds.has_value();
    } else if (a == "--note-keys") {
      const std::optional<NoteKeys> keys = parseNoteKeys(cursor.value().value_or(""));
      if (!keys) {
        return usageError("--note-keys needs nearest or floor");
      }
      options.noteKeys = *keys;
    } else {
      return usageError("unknown option " + a);
    }
    if (!ok) {
      return usageError(a + " needs a value");
    }
  }
  if (options.midiOut && !options.virtualName.empty()) {
    return usageError("--midi-out and --virtual name two different outputs; give one");
  }
  if (options.settings.empty()) {
    options.settings = factoryRealtimeSettings();
  }

  StderrNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  if (!loadSettings(options.settings, settings, engine, notifier)) {
    return 1;
  }
  engine.noteKeys = options.noteKeys;
  std::unique_ptr<AudioCaptureBackend> capture;
  FileCaptureBackend* file = nullptr;
  if (!options.inputFile.empty()) {
    notifier.about(options.inputFile, FileKind::Wave);
    auto fileCapture = std::make_unique<FileCaptureBackend>(options.inputFile, notifier);
    file = fileCapture.get();
    if (fileCapture->lengthSeconds() <= 0.0) {
      if (notifier.printed() == 0) {
        notifier.message("The file holds no sound to play", "Error", MessageIcon::Error);
      }
      return 1;
    }
    capture = std::move(fileCapture);
    notifier.about({}, FileKind::Output);  // what follows is about the devices
  } else {
    capture = std::make_unique<RtAudioCaptureBackend>();
  }
  RtMidiOutputPorts ports(options.virtualName.empty() ? RtMidiOutputPorts::kDefaultVirtualName
                                                      : options.virtualName);
  const int midiDevice = options.midiOut.value_or(0);
  if (midiDevice >= static_cast<int>(ports.names().size())) {
    return usageError("there is no MIDI output " + std::to_string(midiDevice) +
                      " (melovantis-cli devices lists them)");
  }

  std::signal(SIGINT, interrupt);
  std::signal(SIGTERM, interrupt);
  LiveSession session(engine, notifier, *capture, ports);
  if (!session.start(midiDevice, options.audioIn.value_or(-1))) {
    return 1;
  }
  // A file ends with its last note; a sound card runs until stopped.
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> end;
  if (options.seconds) {
    end = Clock::now() + std::chrono::seconds(*options.seconds);
  } else if (file != nullptr) {
    end = Clock::now() + std::chrono::milliseconds(
                             static_cast<long long>(file->lengthSeconds() * 1000) + 500);
  }
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  while (!interrupted && (!end || Clock::now() < *end)) {
    if (terminal) {
      std::fputs(statusLine(LiveDisplay::of(session.capture().lastFrame())).c_str(), stderr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  session.stop();
  if (terminal) {
    std::fputs("\n", stderr);
  }
  return 0;
}

}  // namespace melovantis
