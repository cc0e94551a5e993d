#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <array>
#include <cstdint>
#include <memory>

#include "documents/SettingsRecord.h"
#include "plugin/AtomMidiSink.h"
#include "plugin/PluginAnalysis.h"
#include "plugin/PluginPorts.h"
#include "plugin/SampleRateAdapter.h"

namespace melovantis::plugin {

// The live analysis inside a host. Every run() call takes the host's audio
// through the sample-rate adapter into blocks of one frame length at
// 44100 Hz, exactly as the live mode cuts its input; each full block is
// analysed as the live mode analyses it, and its MIDI messages are written
// at the frame where the block's last sample arrived.
//
// Controls act from the next analysed block. A frame length or pitch
// resolution of their own needs new FFT plans: a spare analysis chain is
// configured on the host's worker thread and swapped in between two blocks;
// without the worker the change waits for the next activate(). run() never
// allocates, locks or does I/O.
class MelovantisPlugin {
 public:
  // Throws (std::runtime_error, std::bad_alloc) when the rate is not taken,
  // the host lacks the URID map, or memory cannot be had.
  MelovantisPlugin(double sampleRate, const LV2_Feature* const* features);

  void connectPort(std::uint32_t port, void* data);
  void activate();
  void run(std::uint32_t frames);
  void deactivate();

  // The worker's side: configures the spare chain off the audio thread.
  LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                         std::uint32_t size, const void* data);
  // Back on the audio thread: the spare chain is ready (or could not be made).
  LV2_Worker_Status workResponse(std::uint32_t size, const void* data);

  // The delay from a sound at the input to the MIDI of its block, in host frames.
  int latencyFrames() const;

 private:
  struct PendingNoteOff {
    bool due = false;
    std::uint8_t status = 0x80;
    std::uint8_t note = 0;
  };

  void readControls();
  void followSettings();
  void swapInSpare();
  void requestPlans();
  void beginStream();
  void endStream();
  void analyseBlock(std::uint32_t frame);

  SampleRateAdapter input_;
  AtomMidiSink sink_;
  const LV2_Worker_Schedule* worker_ = nullptr;

  const float* audioIn_ = nullptr;
  LV2_Atom_Sequence* midiOut_ = nullptr;
  float* latencyOut_ = nullptr;
  std::array<const float*, kControlCount> controlPorts_{};
  std::array<float, kControlCount> controls_{};

  SettingsRecord wanted_;   // what the controls ask for
  SettingsRecord applied_;  // what the active chain analyses with
  LiveAdjustments adjustments_;

  std::unique_ptr<PluginAnalysis> active_;  // used by run()
  std::unique_ptr<PluginAnalysis> spare_;   // configured by the worker
  bool workerBusy_ = false;
  bool spareReady_ = false;

  bool streamOpen_ = false;  // the opening messages went out on the active chain
  PendingNoteOff pendingNoteOff_;

  std::array<std::int16_t, 7840> block_{};
  int fill_ = 0;
  std::array<std::int16_t, SampleRateAdapter::kMaxOutput> converted_{};
};

}  // namespace melovantis::plugin
