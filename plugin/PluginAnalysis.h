#pragma once

#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/LiveBlockAnalyser.h"
#include "engine/Notifier.h"
#include "midi/MidiEventGenerator.h"

namespace melovantis::plugin {

// The core's messages have no one to go to inside a host: a plain message is
// dropped, and what would end a program ends the making of the plugin instead.
class PluginNotifier : public Notifier {
 public:
  void message(std::string_view, std::string_view, MessageIcon) override {}
  bool askYesNo(std::string_view, std::string_view, MessageIcon) override { return false; }
  [[noreturn]] void fatal(std::string_view text) override;
};

// One analysis chain for one frame geometry: the engine, the live mode's
// block step over it and the MIDI event generator reading its row 0.
// Made and configured off the audio thread (it allocates and plans); its
// block step and messages allocate nothing.
class PluginAnalysis {
 public:
  // Configured for `settings`. Throws when memory or plans cannot be had.
  explicit PluginAnalysis(const SettingsRecord& settings);
  PluginAnalysis(const PluginAnalysis&) = delete;
  PluginAnalysis& operator=(const PluginAnalysis&) = delete;

  // Every setting, with new FFT plans and fresh analysis state. Not in run().
  void configure(const SettingsRecord& settings);

  // True when `settings` needs no other plans than this chain's.
  bool fits(const SettingsRecord& settings) const;

  AnalysisEngine& engine() { return engine_; }
  LiveBlockAnalyser& analyser() { return analyser_; }
  MidiEventGenerator& generator() { return generator_; }
  int frameSize() const { return engine_.frameSize; }

 private:
  PluginNotifier notifier_;
  AnalysisEngine engine_;
  LiveBlockAnalyser analyser_;
  MidiEventGenerator generator_;
  SettingsRecord planned_;  // the record whose geometry the plans follow
};

}  // namespace melovantis::plugin
