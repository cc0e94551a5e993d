#include "midi/RtMidiOutputPorts.h"

#include <RtMidi.h>

#include <cstdlib>
#include <optional>

#include "audio/SoundSystems.h"

namespace melovantis {

namespace {

// The MIDI system named by MELOVANTIS_MIDI_API ("jack" or "alsa"), else the
// ALSA sequencer where there is one, else a running JACK server; none when
// neither is there (RtMidi would print its failure to open them).
std::optional<RtMidi::Api> chosenMidiApi() {
  if (const char* name = std::getenv("MELOVANTIS_MIDI_API"); name != nullptr && *name != '\0') {
    return RtMidi::getCompiledApiByName(name);
  }
  if (alsaSequencerPresent()) {
    return RtMidi::LINUX_ALSA;
  }
  if (jackServerRunning()) {
    return RtMidi::UNIX_JACK;
  }
  return std::nullopt;
}

std::unique_ptr<RtMidiOut> newOutput() {
  const std::optional<RtMidi::Api> api = chosenMidiApi();
  if (!api) {
    return nullptr;
  }
  try {
    auto out = std::make_unique<RtMidiOut>(*api, "Melovantis");
    out->setErrorCallback([](RtMidiError::Type, const std::string&, void*) {}, nullptr);
    return out;
  } catch (const RtMidiError&) {
    return nullptr;  // no MIDI system to talk to
  }
}

// One open output: a port of the system, or the program's virtual port.
class RtMidiSink : public MidiSink {
 public:
  RtMidiSink(int port, std::string virtualName)
      : port_(port), virtualName_(std::move(virtualName)) {}
  ~RtMidiSink() override { close(); }

  bool open() override {
    close();
    out_ = newOutput();
    if (out_ == nullptr) {
      return false;
    }
    try {
      if (port_ < 0) {
        out_->openVirtualPort(virtualName_);
      } else {
        if (static_cast<unsigned int>(port_) >= out_->getPortCount()) {
          out_.reset();
          return false;
        }
        out_->openPort(static_cast<unsigned int>(port_), "out");
      }
    } catch (const RtMidiError&) {
      out_.reset();
      return false;
    }
    return out_->isPortOpen() || port_ < 0;
  }

  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override {
    if (out_ == nullptr) {
      return;
    }
    const unsigned char message[3] = {status, data1, data2};
    try {
      out_->sendMessage(message, static_cast<std::size_t>(length == 2 ? 2 : 3));
    } catch (const RtMidiError&) {
      // A device that went away mid-run: the messages are lost, as with any cable pulled.
    }
  }

  void close() override {
    if (out_ != nullptr) {
      try {
        out_->closePort();
      } catch (const RtMidiError&) {
      }
      out_.reset();
    }
  }

 private:
  int port_;  // -1: the virtual port
  std::string virtualName_;
  std::unique_ptr<RtMidiOut> out_;
};

}  // namespace

RtMidiOutputPorts::RtMidiOutputPorts(std::string virtualName)
    : virtualName_(std::move(virtualName)), probe_(newOutput()) {}

RtMidiOutputPorts::~RtMidiOutputPorts() = default;

std::vector<std::string> RtMidiOutputPorts::names() {
  std::vector<std::string> names = {virtualName_ + " (a port of its own, for other programs)"};
  if (probe_ == nullptr) {
    return names;
  }
  try {
    const unsigned int count = probe_->getPortCount();
    for (unsigned int i = 0; i < count; ++i) {
      names.push_back(probe_->getPortName(i));
    }
  } catch (const RtMidiError&) {
    // The list ends where the MIDI system stopped answering.
  }
  return names;
}

std::unique_ptr<MidiSink> RtMidiOutputPorts::sink(int id) {
  if (id < 0) {
    return nullptr;
  }
  if (id == 0) {
    return std::make_unique<RtMidiSink>(-1, virtualName_);
  }
  return std::make_unique<RtMidiSink>(id - 1, virtualName_);
}

}  // namespace melovantis
