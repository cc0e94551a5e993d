#include "support/RecordingMidiPorts.h"

#include <cstdio>

namespace melovantis::test {

namespace {

// Hands everything to a device that outlives it, and writes the log.
class LoggingSink : public MidiSink {
 public:
  LoggingSink(RecordingMidiSink& device, std::vector<std::string>& log, int id)
      : device_(device), log_(log), id_(id) {}

  bool open() override {
    const bool opened = device_.open();
    if (opened) {
      log_.push_back("open " + std::to_string(id_));
    }
    return opened;
  }
  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override {
    device_.send(status, data1, data2, length);
    char text[32];
    std::snprintf(text, sizeof text, "%02X %d %d", status, data1, data2);
    log_.push_back(text);
  }
  void close() override {
    device_.close();
    log_.push_back("close " + std::to_string(id_));
  }

 private:
  RecordingMidiSink& device_;
  std::vector<std::string>& log_;
  int id_;
};

}  // namespace

RecordingMidiPorts::RecordingMidiPorts(int count) : devices(static_cast<std::size_t>(count)) {}

std::vector<std::string> RecordingMidiPorts::names() {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    names.push_back(i == 0 ? "Melovantis" : "Synth " + std::to_string(i));
  }
  return names;
}

std::unique_ptr<MidiSink> RecordingMidiPorts::sink(int id) {
  if (id < 0 || id >= static_cast<int>(devices.size())) {
    return nullptr;
  }
  return std::make_unique<LoggingSink>(devices[static_cast<std::size_t>(id)], log, id);
}

}  // namespace melovantis::test
