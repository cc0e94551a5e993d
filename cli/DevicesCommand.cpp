#include "cli/DevicesCommand.h"

#include <cstdio>

#include "audio/BoundedCall.h"
#include "audio/RtAudioCaptureBackend.h"
#include "cli/StderrNotifier.h"
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
  std::fflush(stdout);
  RtMidiOutputPorts ports;
  std::printf("MIDI outputs:\n");
  for (const std::string& entry : midiDeviceEntries(ports)) {
    std::printf("  %s\n", entry.c_str());
  }
  std::fflush(stdout);
  // Why a list is short: a sound system that is missing is noted; one that
  // is there but does not answer fails the command.
  if (!capture.problem().empty()) {
    printProblem("audio inputs: " + capture.problem());
  }
  if (!ports.problem().empty()) {
    printProblem("MIDI outputs: " + ports.problem());
  }
  const int status = callsLeftWaiting() ? 1 : 0;
  return status;
}

}  // namespace melovantis
