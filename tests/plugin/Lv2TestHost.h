#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace melovantis::test {

// One MIDI message the plugin wrote, at its frame counted from activation.
struct PluginMidiEvent {
  long long frame = 0;
  std::vector<std::uint8_t> bytes;
};

// A small LV2 host of the tests' own, on lilv: finds the plugin by its URI on
// LV2_PATH, instantiates it with the URID map and (when asked) the worker,
// keeps a value for every control port, runs it block by block and collects
// its MIDI. The worker's jobs run after each run() call, on this thread, as a
// host's worker thread would run them meanwhile; their answers go back before
// the next call. Allocations made inside run() and the worker's answer are
// counted, all but those of the first call after each activation.
class Lv2TestHost {
 public:
  static constexpr std::uint32_t kMaxBlock = 8192;

  Lv2TestHost(const std::string& uri, double sampleRate, bool offerWorker = true);
  ~Lv2TestHost();
  Lv2TestHost(const Lv2TestHost&) = delete;
  Lv2TestHost& operator=(const Lv2TestHost&) = delete;

  bool ok() const { return instance_ != nullptr; }
  LilvWorld* world() const { return world_; }
  const LilvPlugin* plugin() const { return plugin_; }
  double sampleRate() const { return rate_; }

  void setControl(const std::string& symbol, float value);
  float control(const std::string& symbol) const;
  float latency() const { return latency_; }

  void activate();
  void deactivate();

  // One run() call over `frames` (at most kMaxBlock) frames of `audio`.
  void run(const float* audio, std::uint32_t frames);
  // The whole signal, the n-th call `blockSize(n)` frames long, then (unless
  // told not to) half a second of silence to end its last note.
  void runSignal(const std::vector<float>& signal,
                 const std::function<std::uint32_t(int)>& blockSize, bool thenSilence = true);

  // Applies a preset's port values as hosts do (lilv's state); false when it is not found.
  bool loadPreset(const std::string& uri);
  std::vector<std::string> presetUris() const;

  const std::vector<PluginMidiEvent>& events() const { return events_; }
  void clearEvents() { events_.clear(); }
  long long framesRun() const { return elapsed_; }
  long allocationsInRun() const { return allocations_; }

 private:
  static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri);
  static LV2_Worker_Status schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size,
                                    const void* data);
  static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                   const void* data);
  static void setPortValue(const char* symbol, void* self, const void* value, std::uint32_t size,
                           std::uint32_t type);
  void collectMidi();
  void doWork();

  // A job or an answer in a fixed slot: nothing to allocate on the audio thread.
  struct Message {
    std::uint32_t size = 0;
    std::array<std::uint8_t, 512> data{};
  };

  double rate_;
  LilvWorld* world_ = nullptr;
  const LilvPlugin* plugin_ = nullptr;
  LilvInstance* instance_ = nullptr;
  const LV2_Worker_Interface* workerInterface_ = nullptr;

  std::map<std::string, LV2_URID> urids_;
  LV2_URID_Map map_{this, &Lv2TestHost::map};
  LV2_Worker_Schedule schedule_{this, &Lv2TestHost::schedule};
  LV2_Feature mapFeature_;
  LV2_Feature scheduleFeature_;

  std::map<std::string, std::uint32_t> controlIndex_;
  std::vector<float> controls_;
  float latency_ = -1.0f;
  std::vector<float> audio_;
  std::vector<std::uint64_t> midiBuffer_;  // 8-byte aligned for the atom sequence

  std::array<Message, 8> jobs_;
  int jobCount_ = 0;
  std::array<Message, 8> answers_;
  int answerCount_ = 0;

  std::vector<PluginMidiEvent> events_;
  long long elapsed_ = 0;
  bool firstRun_ = true;
  long allocations_ = 0;
};

}  // namespace melovantis::test
