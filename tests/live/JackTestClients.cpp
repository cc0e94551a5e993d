#include "JackTestClients.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace melovantis::test {

namespace {

jack_client_t* openClient(const std::string& name) {
  jack_status_t status;
  return jack_client_open(name.c_str(), JackNoStartServer, &status);
}

}  // namespace

MelodyPlayer::MelodyPlayer(const std::string& name, std::vector<float> samples)
    : client_(openClient(name)), samples_(std::move(samples)) {
  if (client_ == nullptr) {
    return;
  }
  const jack_nframes_t period = std::max<jack_nframes_t>(jack_get_buffer_size(client_), 1);
  periods_.reserve(samples_.size() / period + 2);
  port_ = jack_port_register(client_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  jack_set_process_callback(client_, &MelodyPlayer::process, this);
  jack_activate(client_);
}

MelodyPlayer::~MelodyPlayer() {
  if (client_ != nullptr) {
    jack_deactivate(client_);
    jack_client_close(client_);
  }
}

jack_nframes_t MelodyPlayer::play() {
  playing_ = true;
  while (startFrame_.load() == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return startFrame_;
}

int MelodyPlayer::process(jack_nframes_t frames, void* self) {
  auto* player = static_cast<MelodyPlayer*>(self);
  auto* out = static_cast<float*>(jack_port_get_buffer(player->port_, frames));
  for (jack_nframes_t i = 0; i < frames; ++i) {
    out[i] = 0.0f;
  }
  if (!player->playing_) {
    return 0;
  }
  if (player->startFrame_.load() == 0) {
    player->startFrame_ = jack_last_frame_time(player->client_);
  }
  if (player->at_ < player->samples_.size() &&
      player->periods_.size() < player->periods_.capacity()) {
    player->periods_.push_back({jack_last_frame_time(player->client_), player->at_});
  }
  for (jack_nframes_t i = 0; i < frames && player->at_ < player->samples_.size(); ++i) {
    out[i] = player->samples_[player->at_++];
  }
  if (player->at_ >= player->samples_.size()) {
    player->finished_ = true;
  }
  return 0;
}

jack_nframes_t MelodyPlayer::frameOfSample(std::size_t index) const {
  const auto after = std::upper_bound(periods_.begin(), periods_.end(), index,
                                      [](std::size_t i, const Period& p) { return i < p.first; });
  if (after == periods_.begin()) {
    return startFrame_;
  }
  const Period& period = *(after - 1);
  return period.frame + static_cast<jack_nframes_t>(index - period.first);
}

MidiRecorder::MidiRecorder(const std::string& name) : client_(openClient(name)) {
  if (client_ == nullptr) {
    return;
  }
  port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &MidiRecorder::process, this);
  jack_activate(client_);
}

MidiRecorder::~MidiRecorder() {
  if (client_ != nullptr) {
    jack_deactivate(client_);
    jack_client_close(client_);
  }
}

std::string MidiRecorder::portName() const {
  return port_ != nullptr ? jack_port_name(port_) : std::string();
}

std::vector<MidiRecorder::Event> MidiRecorder::events() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

int MidiRecorder::process(jack_nframes_t frames, void* self) {
  auto* recorder = static_cast<MidiRecorder*>(self);
  void* buffer = jack_port_get_buffer(recorder->port_, frames);
  const jack_nframes_t start = jack_last_frame_time(recorder->client_);
  const std::uint32_t count = jack_midi_get_event_count(buffer);
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) == 0) {
      const std::lock_guard<std::mutex> lock(recorder->mutex_);
      recorder->events_.push_back(
          {start + event.time, std::vector<std::uint8_t>(event.buffer, event.buffer + event.size)});
    }
  }
  return 0;
}

}  // namespace melovantis::test
