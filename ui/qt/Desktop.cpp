#include "ui/qt/Desktop.h"

#include "audio/RtAudioCaptureBackend.h"
#include "audio/RtAudioOutput.h"
#include "midi/FluidSynthRenderer.h"
#include "midi/RtMidiOutputPorts.h"

namespace melovantis {

DesktopDevices DesktopDevices::system() {
  DesktopDevices devices;
  devices.capture = std::make_unique<RtAudioCaptureBackend>();
  devices.midiPorts = std::make_unique<RtMidiOutputPorts>();
  devices.output = std::make_unique<RtAudioOutput>();
  devices.synthesizer = std::make_unique<FluidSynthRenderer>();
  return devices;
}

Desktop::Desktop(const std::filesystem::path& programFolder,
                 const std::filesystem::path& documentation, DesktopDevices devices)
    : devices_(std::move(devices)),
      player_(*devices_.output, *devices_.synthesizer),
      window_(player_, version()),
      main_({notifier_, dialogs_, window_, player_, launcher_, *devices_.capture,
             *devices_.midiPorts},
            programFolder, documentation) {
  notifier_.setParentWidget(&window_);
  dialogs_.setParentWidget(&window_);
  window_.attach(&main_, &main_);
}

QString Desktop::version() { return QStringLiteral(MELOVANTIS_VERSION); }

}  // namespace melovantis
