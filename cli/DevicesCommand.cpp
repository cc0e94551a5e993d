#include "cli/DevicesCommand.h"

#include <cstdio>

#include "audio/RtAudioCaptureBackend.h"
#include "cli/Usage.h"
#include "midi/RtMidiOutputPorts.h"

namespace melovantis {

int runDevicesCommand(const std::vector<std::string>& args) {
  if (!args.empty()) {
    return usageError("devices takes no arguments");
  }
  RtAudioCaptureBackend capture;
  std::printf("Audio inputs:\n");
  const std::vector<AudioDevice> inputs = capture.inputDevices();
  if (inputs.empty()) {
    std::printf("  (none)\n");
  }
  for (const AudioDevice& device : inputs) {
    std::printf("  %d. %s\n", device.id, device.name.c_str());
  }
  RtMidiOutputPorts ports;
  std::printf("MIDI outputs:\n");
  for (const std::string& entry : midiDeviceEntries(ports)) {
    std::printf("  %s\n", entry.c_str());
  }
  return 0;
}

}  // namespace melovantis
