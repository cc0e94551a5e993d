#include "midi/RtMidiOutputPorts.h"

#include <RtMidi.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

#include "audio/BoundedCall.h"
#include "audio/SoundSystems.h"

namespace melovantis {

struct RtMidiOutputPorts::System {
  std::optional<RtMidi::Api> api;
  std::string name;     // "JACK", "the ALSA sequencer"
  std::string problem;  // why the last device could not be used; empty when it could
  bool answering = true;
};

struct RtMidiOutputPorts::Client {
  explicit Client(RtMidi::Api api) : midi(api, "Melovantis") {
    midi.setErrorCallback(&Client::record, this);
  }

  // With a callback set, the library neither throws nor prints: its errors
  // come here, and a failed call is told by the error it recorded.
  static void record(RtMidiError::Type type, const std::string& text, void* self) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
      return;
    }
    auto* client = static_cast<Client*>(self);
    const std::lock_guard<std::mutex> lock(client->mutex);
    if (client->failure.empty()) {
      client->failure = text;
    }
  }

  bool failed() {
    const std::lock_guard<std::mutex> lock(mutex);
    return !failure.empty();
  }

  std::mutex mutex;
  std::string failure;
  RtMidiOut midi;  // after the fields its callback writes: destroyed before them
};

namespace {

using System = RtMidiOutputPorts::System;
using Client = RtMidiOutputPorts::Client;

std::string jackProblem(JackServerState state) {
  return state == JackServerState::NotAnswering ? "the JACK server does not answer"
                                                : "no JACK server runs";
}

// The MIDI system named by MELOVANTIS_MIDI_API ("jack" or "alsa"), else the
// ALSA sequencer where there is one, else a running JACK server. Without one,
// the problem says which were tried (RtMidi would print its failure to open
// them).
System chooseSystem() {
  quietAlsaLibrary();
  quietJackLibrary();
  System system;
  if (const char* name = std::getenv("MELOVANTIS_MIDI_API"); name != nullptr && *name != '\0') {
    const RtMidi::Api api = RtMidi::getCompiledApiByName(name);
    if (api == RtMidi::UNIX_JACK) {
      system.name = "JACK";
      const JackServerState state = jackServerState();
      if (state != JackServerState::Running) {
        system.problem = "JACK, as MELOVANTIS_MIDI_API asks: " + jackProblem(state);
        system.answering = state != JackServerState::NotAnswering;
        return system;
      }
    } else if (api == RtMidi::LINUX_ALSA) {
      system.name = "the ALSA sequencer";
      if (!alsaSequencerPresent()) {
        system.problem =
            "the ALSA sequencer, as MELOVANTIS_MIDI_API asks: /dev/snd/seq cannot be opened";
        return system;
      }
    } else {
      system.problem = std::string("no MIDI system is called \"") + name +
                       "\" (MELOVANTIS_MIDI_API takes jack or alsa)";
      return system;
    }
    system.api = api;
    return system;
  }
  if (alsaSequencerPresent()) {
    system.api = RtMidi::LINUX_ALSA;
    system.name = "the ALSA sequencer";
    return system;
  }
  const JackServerState state = jackServerState();
  if (state == JackServerState::Running) {
    system.api = RtMidi::UNIX_JACK;
    system.name = "JACK";
    return system;
  }
  system.problem = "no MIDI system: no ALSA sequencer (/dev/snd/seq), and " + jackProblem(state);
  system.answering = state != JackServerState::NotAnswering;
  return system;
}

void notAnswering(System& system) {
  system.problem = system.name + ": the sound server does not answer";
  system.answering = false;
}

// A new client of the system; none (and the system's problem set) when
// there is no system or it does not answer.
std::unique_ptr<Client> connect(System& system) {
  if (!system.api) {
    return nullptr;
  }
  const RtMidi::Api api = *system.api;
  auto made = std::make_shared<std::unique_ptr<Client>>();
  if (!finishesWithin(kSoundServerAnswer, [made, api] {
        try {
          *made = std::make_unique<Client>(api);
        } catch (const RtMidiError&) {
          // No client: told below.
        }
      })) {
    notAnswering(system);
    return nullptr;
  }
  if (*made == nullptr) {
    system.problem = system.name + " would not take a new client";
  }
  return std::move(*made);
}

// JACK takes a client's messages at its next period. RtMidi's closing waits
// for one period end, but one that was under way when the last message (the
// final note-off) was written lets the port go without it; this long covers
// two periods of up to 1024 frames at 48 kHz.
constexpr std::chrono::milliseconds kJackMessagesLeave{45};

// Closes the client's port (after the messages sent through it have left)
// and the client itself; a system that stopped answering keeps it (the
// library would wait on it for ever).
void disconnect(std::unique_ptr<Client> client, System& system, bool sentMessages) {
  if (client == nullptr) {
    return;
  }
  if (!system.answering) {
    keepForWaitingCall(client.release());
    return;
  }
  Client* closing = client.release();
  const bool jack = sentMessages && system.api == RtMidi::UNIX_JACK;
  if (!finishesWithin(kSoundServerAnswer, [closing, jack] {
        if (jack) {
          std::this_thread::sleep_for(kJackMessagesLeave);
        }
        closing->midi.closePort();
        delete closing;
      })) {
    keepForWaitingCall(closing);
    notAnswering(system);
  }
}

std::string shortened(const std::string& name) {
  constexpr std::size_t kShown = 40;
  return name.size() <= kShown ? name : name.substr(0, kShown) + "...";
}

// One open output: a port of the system, or the program's virtual port.
class RtMidiSink : public MidiSink {
 public:
  RtMidiSink(std::shared_ptr<System> system, int port, std::string virtualName)
      : system_(std::move(system)), port_(port), virtualName_(std::move(virtualName)) {}
  ~RtMidiSink() override { close(); }

  bool open() override {
    close();
    out_ = connect(*system_);
    if (out_ == nullptr) {
      return false;
    }
    Client* client = out_.get();
    const int port = port_;
    auto opened = std::make_shared<bool>(false);
    auto portName = std::make_shared<std::string>();
    const std::string virtualName = virtualName_;
    if (!finishesWithin(kSoundServerAnswer, [client, port, virtualName, opened, portName] {
          if (port < 0) {
            client->midi.openVirtualPort(virtualName);
            *opened = !client->failed();
          } else if (static_cast<unsigned int>(port) < client->midi.getPortCount()) {
            *portName = client->midi.getPortName(static_cast<unsigned int>(port));
            client->midi.openPort(static_cast<unsigned int>(port), "out");
            *opened = !client->failed() && client->midi.isPortOpen();
          }
        })) {
      keepForWaitingCall(out_.release());
      notAnswering(*system_);
      return false;
    }
    if (!*opened) {
      system_->problem =
          port_ < 0 ? system_->name + " would not make a port named \"" + shortened(virtualName_) +
                          "\""
          : portName->empty()
              ? system_->name + " has no output port " + std::to_string(port_ + 1)
              : system_->name + " would not connect to " + *portName;
      disconnect(std::move(out_), *system_, false);
      return false;
    }
    system_->problem.clear();
    return true;
  }

  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override {
    if (out_ == nullptr) {
      return;
    }
    // Errors are recorded, not thrown: a device that went away mid-run loses
    // the messages, as with any cable pulled.
    const unsigned char message[3] = {status, data1, data2};
    out_->midi.sendMessage(message, static_cast<std::size_t>(length == 2 ? 2 : 3));
  }

  void close() override { disconnect(std::move(out_), *system_, true); }

 private:
  std::shared_ptr<System> system_;
  int port_;  // -1: the virtual port
  std::string virtualName_;
  std::unique_ptr<Client> out_;
};

}  // namespace

RtMidiOutputPorts::RtMidiOutputPorts(std::string virtualName)
    : virtualName_(std::move(virtualName)), system_(std::make_shared<System>(chooseSystem())) {
  probe_ = connect(*system_);
}

RtMidiOutputPorts::~RtMidiOutputPorts() { disconnect(std::move(probe_), *system_, false); }

std::vector<std::string> RtMidiOutputPorts::names() {
  std::vector<std::string> names = {virtualName_ + " (a port of its own, for other programs)"};
  if (probe_ == nullptr) {
    return names;
  }
  Client* probe = probe_.get();
  auto found = std::make_shared<std::vector<std::string>>();
  if (!finishesWithin(kSoundServerAnswer, [probe, found] {
        // The list ends where the MIDI system stopped answering.
        const unsigned int count = probe->midi.getPortCount();
        for (unsigned int i = 0; i < count && !probe->failed(); ++i) {
          found->push_back(probe->midi.getPortName(i));
        }
      })) {
    keepForWaitingCall(probe_.release());
    notAnswering(*system_);
    return names;
  }
  names.insert(names.end(), found->begin(), found->end());
  return names;
}

std::unique_ptr<MidiSink> RtMidiOutputPorts::sink(int id) {
  if (id < 0) {
    return nullptr;
  }
  return std::make_unique<RtMidiSink>(system_, id == 0 ? -1 : id - 1, virtualName_);
}

std::string RtMidiOutputPorts::problem() const { return system_->problem; }

}  // namespace melovantis
