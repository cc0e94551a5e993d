#include "cli/LiveCommand.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include "audio/BoundedCall.h"
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

volatile std::sig_atomic_t interrupted = 0;

void interrupt(int /*signal*/) { interrupted = 1; }

// Ctrl+C (or a SIGTERM) ends the run cleanly, with the last note-off; the
// handler is then taken away, so that a second one ends the program at once.
void catchInterrupts() {
  struct sigaction action {};
  action.sa_handler = &interrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

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

std::string blocksLeftOutReport(long long blocks, int blockSamples) {
  if (blocks <= 0) {
    return {};
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(blocks) * blockSamples / 44100.0);
  return std::to_string(blocks) + (blocks == 1 ? " block" : " blocks") + " of sound (" + seconds +
         " s) left out: the analysis fell behind the input";
}

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
  if (options.audioIn && !options.inputFile.empty()) {
    return usageError("--audio-in and --input-file name two different inputs; give one");
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
  notifier.about({}, FileKind::Output);  // what follows is about the devices
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
    notifier.about({}, FileKind::Output);
  } else {
    capture = std::make_unique<RtAudioCaptureBackend>();
  }
  RtMidiOutputPorts ports(options.virtualName.empty() ? RtMidiOutputPorts::kDefaultVirtualName
                                                      : options.virtualName);
  const int midiDevice = options.midiOut.value_or(0);
  const std::vector<std::string> outputs = midiDeviceEntries(ports);
  if (midiDevice >= static_cast<int>(outputs.size())) {
    return usageError("there is no MIDI output " + std::to_string(midiDevice) +
                      " (melovantis-cli devices lists them)");
  }
  std::string input = options.inputFile.string();
  if (file == nullptr) {
    input = "the default audio input";
    if (options.audioIn) {
      // An input that is not there is refused as an output that is not there is.
      const std::vector<AudioDevice> inputs = capture->inputDevices();
      if (inputs.empty() && !capture->problem().empty()) {
        printProblem("audio inputs: " + capture->problem());
        return 1;
      }
      if (*options.audioIn >= static_cast<int>(inputs.size())) {
        return usageError("there is no audio input " + std::to_string(*options.audioIn) +
                          " (melovantis-cli devices lists them)");
      }
      input = "audio input " + std::to_string(*options.audioIn) + ". " +
              inputs[static_cast<std::size_t>(*options.audioIn)].name;
    }
  }
  // Messages from here on are about a device: the input when it is in
  // trouble, else the MIDI output.
  std::string output = "MIDI output " + outputs[static_cast<std::size_t>(midiDevice)];
  constexpr std::size_t kLabelLength = 72;  // a long port name is not repeated whole
  if (output.size() > kLabelLength) {
    output = output.substr(0, kLabelLength) + "...";
  }
  notifier.aboutDevice([&] {
    if (!capture->problem().empty()) {
      return StderrNotifier::DeviceNote{input, capture->problem()};
    }
    return StderrNotifier::DeviceNote{output, ports.problem()};
  });

  catchInterrupts();
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
  bool inputLost = false;
  while (interrupted == 0 && (!end || Clock::now() < *end)) {
    if (terminal && session.capture().inputLost()) {
      std::fputs("\n", stderr);  // the message below goes on a line of its own
    }
    if (!session.checkInput()) {
      inputLost = true;  // stopped, and said why
      break;
    }
    if (terminal) {
      std::fputs(statusLine(LiveDisplay::of(session.capture().lastFrame())).c_str(), stderr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const long long dropped = session.droppedBlocks();
  session.stop();
  if (terminal && !inputLost) {
    std::fputs("\n", stderr);
  }
  if (const std::string report = blocksLeftOutReport(dropped, session.capture().blockSamples());
      !report.empty()) {
    printProblem(report);
  }
  if (inputLost) {
    return 1;
  }
  // Stopped without the sound server's answer: the last note-off may not have left.
  const std::string problem = !capture->problem().empty() ? capture->problem() : ports.problem();
  if (callsLeftWaiting() && !problem.empty()) {
    printProblem("stopped without waiting for the sound server any longer (" + problem + ")");
    return 1;
  }
  return 0;
}

}  // namespace melovantis
