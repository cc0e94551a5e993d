#include "plugin/MelovantisPlugin.h"

#include <lv2/midi/midi.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "documents/EngineSettings.h"

namespace melovantis::plugin {

namespace {

const void* feature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, uri) == 0) {
      return features[i]->data;
    }
  }
  return nullptr;
}

const LV2_URID_Map& uridMap(const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(feature(features, LV2_URID__map));
  if (map == nullptr) {
    throw std::runtime_error("the host offers no URID map");
  }
  return *map;
}

// What one MIDI stream needs to stay one stream: a change of any of these
// ends the note on the old terms and sends the opening messages again.
bool sameMidiStream(const SettingsRecord& a, const SettingsRecord& b) {
  return a.midiChannel == b.midiChannel && a.gmVoice == b.gmVoice &&
         a.pitchBendRange == b.pitchBendRange && a.sendVolume == b.sendVolume &&
         a.volumeController == b.volumeController && a.sendBrightness == b.sendBrightness &&
         a.brightnessController == b.brightnessController;
}

// The worker's messages: the record to plan for, and whether it worked.
struct PlanRequest {
  SettingsRecord settings;
};
struct PlanResult {
  bool ok = false;
};

}  // namespace

MelovantisPlugin::MelovantisPlugin(double sampleRate, const LV2_Feature* const* features)
    : input_(sampleRate),
      sink_(uridMap(features).map(uridMap(features).handle, LV2_ATOM__Sequence),
            uridMap(features).map(uridMap(features).handle, LV2_MIDI__MidiEvent)),
      worker_(static_cast<const LV2_Worker_Schedule*>(feature(features, LV2_WORKER__schedule))),
      controls_(factoryControls()),
      wanted_(settingsFromControls(controls_)),
      applied_(wanted_),
      adjustments_(adjustmentsFromControls(controls_)),
      active_(std::make_unique<PluginAnalysis>(wanted_)),
      spare_(std::make_unique<PluginAnalysis>(wanted_)) {}

void MelovantisPlugin::connectPort(std::uint32_t port, void* data) {
  if (port == kAudioIn) {
    audioIn_ = static_cast<const float*>(data);
  } else if (port == kMidiOut) {
    midiOut_ = static_cast<LV2_Atom_Sequence*>(data);
  } else if (port == kLatency) {
    latencyOut_ = static_cast<float*>(data);
  } else if (port >= kFirstControl && port < kFirstControl + kControlCount) {
    controlPorts_[port - kFirstControl] = static_cast<const float*>(data);
  }
}

void MelovantisPlugin::activate() {
  // Not the audio thread: plans that the controls asked for while no worker
  // could make them are made now, in the spare chain, so that a failure
  // leaves the working one as it was. A job of the worker's has it already.
  if (!active_->fits(wanted_) && !workerBusy_) {
    spareReady_ = false;
    try {
      spare_->configure(wanted_);
      std::swap(active_, spare_);
    } catch (const std::exception&) {
      // The working chain goes on with the plans it has.
    }
  }
  active_->engine().resetAnalysis();
  active_->analyser().reset();
  applied_ = wanted_;
  applySettingsKeepingGeometry(applied_, active_->engine());
  input_.reset();
  fill_ = 0;
  streamOpen_ = false;
}

void MelovantisPlugin::deactivate() {
  // Nothing may be written now; the first run after the next activate ends
  // the note that was sounding, on the channel it sounded on.
  if (streamOpen_ && active_->generator().state().previousPitch >= 0.0) {
    const double note = std::clamp(active_->generator().state().soundingNote, 0.0, 127.0);
    pendingNoteOff_.due = true;
    pendingNoteOff_.status =
        static_cast<std::uint8_t>(0x80 | std::clamp(active_->engine().midi.channel, 0, 15));
    pendingNoteOff_.note = static_cast<std::uint8_t>(note);
  }
  streamOpen_ = false;
}

int MelovantisPlugin::latencyFrames() const {
  const double blockFrames = static_cast<double>(active_->frameSize()) * input_.hostRate() /
                             SampleRateAdapter::kAnalysisRate;
  return static_cast<int>(std::lround(blockFrames)) + input_.latencyFrames();
}

void MelovantisPlugin::readControls() {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (controlPorts_[i] != nullptr) {
      controls_[i] = *controlPorts_[i];
    }
  }
  wanted_ = settingsFromControls(controls_);
  adjustments_ = adjustmentsFromControls(controls_);
}

void MelovantisPlugin::run(std::uint32_t frames) {
  sink_.begin(midiOut_, frames);
  if (pendingNoteOff_.due) {
    sink_.send(pendingNoteOff_.status, pendingNoteOff_.note, 0, 3);
    pendingNoteOff_.due = false;
  }
  readControls();
  followSettings();
  if (latencyOut_ != nullptr) {
    *latencyOut_ = static_cast<float>(latencyFrames());
  }
  if (audioIn_ == nullptr) {
    return;
  }
  const int frameSize = active_->frameSize();
  std::uint32_t done = 0;
  while (done < frames) {
    const int chunk =
        static_cast<int>(std::min<std::uint32_t>(SampleRateAdapter::kChunkFrames, frames - done));
    const int produced = input_.convert(audioIn_ + done, chunk, converted_.data());
    for (int i = 0; i < produced; ++i) {
      block_[static_cast<std::size_t>(fill_++)] = converted_[static_cast<std::size_t>(i)];
      if (fill_ == frameSize) {
        // The host frame this sample came from, in proportion within the chunk
        // (exactly its own frame at 44100 Hz).
        const int offset = ((i + 1) * chunk + produced - 1) / produced - 1;
        analyseBlock(done + static_cast<std::uint32_t>(offset));
        fill_ = 0;
      }
    }
    done += static_cast<std::uint32_t>(chunk);
  }
}

void MelovantisPlugin::followSettings() {
  if (spareReady_ && spare_->fits(wanted_) && !active_->fits(wanted_)) {
    swapInSpare();
  }
  if (!active_->fits(wanted_)) {
    requestPlans();
  }
  if (wanted_ != applied_) {
    if (!sameMidiStream(wanted_, applied_)) {
      endStream();
    }
    // Until the new plans are in, the rest of the settings apply to the old geometry.
    applied_ = wanted_;
    applySettingsKeepingGeometry(applied_, active_->engine());
  }
  if (!streamOpen_) {
    beginStream();
  }
}

void MelovantisPlugin::swapInSpare() {
  endStream();
  std::swap(active_, spare_);
  spareReady_ = false;
  active_->analyser().reset();
  fill_ = 0;
  applied_ = wanted_;
  applySettingsKeepingGeometry(applied_, active_->engine());
}

void MelovantisPlugin::requestPlans() {
  if (worker_ == nullptr || workerBusy_) {
    return;
  }
  const PlanRequest request{wanted_};
  spareReady_ = false;
  workerBusy_ = worker_->schedule_work(worker_->handle, sizeof request, &request) ==
                LV2_WORKER_SUCCESS;
}

LV2_Worker_Status MelovantisPlugin::work(LV2_Worker_Respond_Function respond,
                                         LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                         const void* data) {
  if (size != sizeof(PlanRequest)) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
  PlanRequest request;
  std::memcpy(&request, data, sizeof request);
  PlanResult result;
  try {
    spare_->configure(request.settings);
    result.ok = true;
  } catch (const std::exception&) {
    result.ok = false;
  }
  return respond(handle, sizeof result, &result);
}

LV2_Worker_Status MelovantisPlugin::workResponse(std::uint32_t size, const void* data) {
  if (size != sizeof(PlanResult)) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
  PlanResult result;
  std::memcpy(&result, data, sizeof result);
  workerBusy_ = false;
  spareReady_ = result.ok;
  return LV2_WORKER_SUCCESS;
}

void MelovantisPlugin::beginStream() {
  active_->generator().beginMidiStream(sink_);
  streamOpen_ = true;
}

void MelovantisPlugin::endStream() {
  if (!streamOpen_) {
    return;
  }
  // The note-off of a sounding note, on the terms it was started with.
  if (active_->generator().state().previousPitch >= 0.0) {
    active_->generator().endMidiStream(false);
  }
  streamOpen_ = false;
}

void MelovantisPlugin::analyseBlock(std::uint32_t frame) {
  sink_.setFrame(frame);
  active_->analyser().analyse(block_.data(), adjustments_);
  active_->generator().emitFrameEvents(0);
}

}  // namespace melovantis::plugin
