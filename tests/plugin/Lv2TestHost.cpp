#include "Lv2TestHost.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>

#include <algorithm>
#include <cstring>

#include "support/AllocationHooks.h"

namespace melovantis::test {

namespace {

constexpr std::size_t kMidiBufferBytes = 64 * 1024;

// Counts what the calling thread allocates while alive.
class CountedScope {
 public:
  explicit CountedScope(long* total) : total_(total), before_(AllocationHooks::count.load()) {
    AllocationHooks::countingOnThisThread = total_ != nullptr;
  }
  ~CountedScope() {
    AllocationHooks::countingOnThisThread = false;
    if (total_ != nullptr) {
      *total_ += AllocationHooks::count.load() - before_;
    }
  }

 private:
  long* total_;
  long before_;
};

}  // namespace

Lv2TestHost::Lv2TestHost(const std::string& uri, double sampleRate, bool offerWorker)
    : rate_(sampleRate),
      mapFeature_{LV2_URID__map, &map_},
      scheduleFeature_{LV2_WORKER__schedule, &schedule_},
      audio_(kMaxBlock, 0.0f),
      midiBuffer_(kMidiBufferBytes / sizeof(std::uint64_t)) {
  world_ = lilv_world_new();
  lilv_world_load_all(world_);
  LilvNode* uriNode = lilv_new_uri(world_, uri.c_str());
  plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uriNode);
  lilv_node_free(uriNode);
  if (plugin_ == nullptr) {
    return;
  }
  const LV2_Feature* features[] = {&mapFeature_, offerWorker ? &scheduleFeature_ : nullptr,
                                   nullptr};
  instance_ = lilv_plugin_instantiate(plugin_, rate_, features);
  if (instance_ == nullptr) {
    return;
  }
  workerInterface_ = static_cast<const LV2_Worker_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));

  LilvNode* control = lilv_new_uri(world_, LV2_CORE__ControlPort);
  LilvNode* input = lilv_new_uri(world_, LV2_CORE__InputPort);
  LilvNode* audio = lilv_new_uri(world_, LV2_CORE__AudioPort);
  const std::uint32_t ports = lilv_plugin_get_num_ports(plugin_);
  controls_.assign(ports, 0.0f);
  std::vector<float> defaults(ports, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, defaults.data());
  for (std::uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
    if (lilv_port_is_a(plugin_, port, control)) {
      if (lilv_port_is_a(plugin_, port, input)) {
        controls_[i] = defaults[i];
        controlIndex_[lilv_node_as_string(lilv_port_get_symbol(plugin_, port))] = i;
        lilv_instance_connect_port(instance_, i, &controls_[i]);
      } else {
        lilv_instance_connect_port(instance_, i, &latency_);
      }
    } else if (lilv_port_is_a(plugin_, port, audio)) {
      lilv_instance_connect_port(instance_, i, audio_.data());
    } else {
      lilv_instance_connect_port(instance_, i, midiBuffer_.data());
    }
  }
  lilv_node_free(control);
  lilv_node_free(input);
  lilv_node_free(audio);
}

Lv2TestHost::~Lv2TestHost() {
  if (instance_ != nullptr) {
    lilv_instance_free(instance_);
  }
  lilv_world_free(world_);
}

LV2_URID Lv2TestHost::map(LV2_URID_Map_Handle handle, const char* uri) {
  auto& urids = static_cast<Lv2TestHost*>(handle)->urids_;
  const auto [it, added] = urids.emplace(uri, static_cast<LV2_URID>(urids.size() + 1));
  return it->second;
}

LV2_Worker_Status Lv2TestHost::schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                        const void* data) {
  auto* host = static_cast<Lv2TestHost*>(handle);
  if (host->jobCount_ == static_cast<int>(host->jobs_.size()) || size > Message{}.data.size()) {
    return LV2_WORKER_ERR_NO_SPACE;
  }
  Message& job = host->jobs_[static_cast<std::size_t>(host->jobCount_++)];
  job.size = size;
  std::memcpy(job.data.data(), data, size);
  return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Lv2TestHost::respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                       const void* data) {
  auto* host = static_cast<Lv2TestHost*>(handle);
  if (host->answerCount_ == static_cast<int>(host->answers_.size()) ||
      size > Message{}.data.size()) {
    return LV2_WORKER_ERR_NO_SPACE;
  }
  Message& answer = host->answers_[static_cast<std::size_t>(host->answerCount_++)];
  answer.size = size;
  std::memcpy(answer.data.data(), data, size);
  return LV2_WORKER_SUCCESS;
}

void Lv2TestHost::setControl(const std::string& symbol, float value) {
  controls_.at(controlIndex_.at(symbol)) = value;
}

float Lv2TestHost::control(const std::string& symbol) const {
  return controls_.at(controlIndex_.at(symbol));
}

void Lv2TestHost::activate() {
  lilv_instance_activate(instance_);
  elapsed_ = 0;
  firstRun_ = true;
}

void Lv2TestHost::deactivate() { lilv_instance_deactivate(instance_); }

void Lv2TestHost::run(const float* audio, std::uint32_t frames) {
  frames = std::min(frames, kMaxBlock);
  std::copy_n(audio, frames, audio_.begin());
  auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiBuffer_.data());
  sequence->atom.size = kMidiBufferBytes - sizeof(LV2_Atom);
  sequence->atom.type = 0;
  {
    const CountedScope counted(firstRun_ ? nullptr : &allocations_);
    lilv_instance_run(instance_, frames);
  }
  firstRun_ = false;
  collectMidi();
  elapsed_ += frames;
  doWork();
}

void Lv2TestHost::runSignal(const std::vector<float>& signal,
                            const std::function<std::uint32_t(int)>& blockSize,
                            bool thenSilence) {
  std::vector<float> padded = signal;
  padded.resize(signal.size() + (thenSilence ? static_cast<std::size_t>(rate_ / 2) : 0), 0.0f);
  std::size_t at = 0;
  for (int call = 0; at < padded.size(); ++call) {
    const std::uint32_t n = static_cast<std::uint32_t>(
        std::min<std::size_t>(std::clamp<std::uint32_t>(blockSize(call), 1, kMaxBlock),
                              padded.size() - at));
    run(padded.data() + at, n);
    at += n;
  }
}

void Lv2TestHost::collectMidi() {
  const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(midiBuffer_.data());
  const LV2_URID midiEvent = map(this, LV2_MIDI__MidiEvent);
  LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
    if (event->body.type == midiEvent) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
      events_.push_back({elapsed_ + event->time.frames,
                         std::vector<std::uint8_t>(bytes, bytes + event->body.size)});
    }
  }
}

void Lv2TestHost::doWork() {
  for (int i = 0; i < jobCount_; ++i) {
    const Message& job = jobs_[static_cast<std::size_t>(i)];
    workerInterface_->work(lilv_instance_get_handle(instance_), &Lv2TestHost::respond, this,
                           job.size, job.data.data());
  }
  jobCount_ = 0;
  const CountedScope counted(&allocations_);
  for (int i = 0; i < answerCount_; ++i) {
    const Message& answer = answers_[static_cast<std::size_t>(i)];
    workerInterface_->work_response(lilv_instance_get_handle(instance_), answer.size,
                                    answer.data.data());
  }
  answerCount_ = 0;
}

void Lv2TestHost::setPortValue(const char* symbol, void* self, const void* value,
                               std::uint32_t size, std::uint32_t type) {
  auto* host = static_cast<Lv2TestHost*>(self);
  float number = 0.0f;
  if (type == map(host, LV2_ATOM__Float) && size == sizeof(float)) {
    number = *static_cast<const float*>(value);
  } else if (type == map(host, LV2_ATOM__Double) && size == sizeof(double)) {
    number = static_cast<float>(*static_cast<const double*>(value));
  } else if (type == map(host, LV2_ATOM__Int) && size == sizeof(std::int32_t)) {
    number = static_cast<float>(*static_cast<const std::int32_t*>(value));
  } else {
    return;
  }
  host->setControl(symbol, number);
}

bool Lv2TestHost::loadPreset(const std::string& uri) {
  LilvNode* node = lilv_new_uri(world_, uri.c_str());
  lilv_world_load_resource(world_, node);
  LilvState* state = lilv_state_new_from_world(world_, &map_, node);
  lilv_node_free(node);
  if (state == nullptr) {
    return false;
  }
  lilv_state_emit_port_values(state, &Lv2TestHost::setPortValue, this);
  lilv_state_free(state);
  return true;
}

std::vector<std::string> Lv2TestHost::presetUris() const {
  std::vector<std::string> uris;
  LilvNode* preset = lilv_new_uri(world_, LV2_PRESETS__Preset);
  LilvNodes* related = lilv_plugin_get_related(plugin_, preset);
  LILV_FOREACH (nodes, i, related) {
    uris.emplace_back(lilv_node_as_uri(lilv_nodes_get(related, i)));
  }
  lilv_nodes_free(related);
  lilv_node_free(preset);
  return uris;
}

}  // namespace melovantis::test
