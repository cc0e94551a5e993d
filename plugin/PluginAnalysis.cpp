#include "plugin/PluginAnalysis.h"

#include <stdexcept>
#include <string>

#include "documents/EngineSettings.h"

namespace melovantis::plugin {

void PluginNotifier::fatal(std::string_view text) { throw std::runtime_error(std::string(text)); }

PluginAnalysis::PluginAnalysis(const SettingsRecord& settings)
    : engine_(notifier_), analyser_(engine_), generator_(engine_, notifier_) {
  configure(settings);
}

void PluginAnalysis::configure(const SettingsRecord& settings) {
  engine_.resetAnalysis();
  applySettingsToEngine(settings, engine_);
  analyser_.reset();
  planned_ = settings;
}

bool PluginAnalysis::fits(const SettingsRecord& settings) const {
  return sameGeometry(settings, planned_, engine_);
}

}  // namespace melovantis::plugin
