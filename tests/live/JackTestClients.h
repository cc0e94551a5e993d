#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace melovantis::test {

// A JACK client that plays a melody into an audio output port, as a singer
// into a microphone: silence until play(), then the samples, then silence.
class MelodyPlayer {
 public:
  MelodyPlayer(const std::string& name, std::vector<float> samples);
  ~MelodyPlayer();
  bool ok() const { return client_ != nullptr; }

  // Starts the melody at the next period; returns the JACK frame time it starts at.
  jack_nframes_t play();
  bool finished() const { return finished_; }

  // The JACK frame at which sample `index` went out, once finished(): it
  // holds when a loaded server skips frames between two periods.
  jack_nframes_t frameOfSample(std::size_t index) const;

 private:
  static int process(jack_nframes_t frames, void* self);

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  std::vector<float> samples_;
  std::atomic<bool> playing_{false};
  std::atomic<bool> finished_{false};
  std::atomic<jack_nframes_t> startFrame_{0};
  std::size_t at_ = 0;
  struct Period {
    jack_nframes_t frame;  // of its first sample
    std::size_t first;     // sample index
  };
  std::vector<Period> periods_;  // reserved ahead: the process callback only appends
};

// A JACK client with a MIDI input port that records every message arriving,
// with the JACK frame time it arrived at.
class MidiRecorder {
 public:
  struct Event {
    jack_nframes_t frame;
    std::vector<std::uint8_t> bytes;
  };

  explicit MidiRecorder(const std::string& name);
  ~MidiRecorder();
  bool ok() const { return client_ != nullptr; }
  std::string portName() const;
  std::vector<Event> events() const;

 private:
  static int process(jack_nframes_t frames, void* self);

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

}  // namespace melovantis::test
