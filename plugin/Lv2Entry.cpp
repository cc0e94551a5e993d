// The LV2 entry points: C callbacks around MelovantisPlugin. No exception
// leaves the plugin; a failure to be made is answered with no instance.
#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <exception>

#include "plugin/MelovantisPlugin.h"
#include "plugin/PluginPorts.h"
#include "plugin/SampleRateAdapter.h"

namespace melovantis::plugin {

namespace {

MelovantisPlugin* self(LV2_Handle instance) { return static_cast<MelovantisPlugin*>(instance); }

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
  if (!SampleRateAdapter::supports(sampleRate)) {
    return nullptr;
  }
  try {
    return new MelovantisPlugin(sampleRate, features);
  } catch (const std::exception&) {
    return nullptr;
  }
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
  self(instance)->connectPort(port, data);
}

void activate(LV2_Handle instance) { self(instance)->activate(); }

void run(LV2_Handle instance, std::uint32_t frames) { self(instance)->run(frames); }

void deactivate(LV2_Handle instance) { self(instance)->deactivate(); }

void cleanup(LV2_Handle instance) { delete self(instance); }

LV2_Worker_Status work(LV2_Handle instance, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
  return self(instance)->work(respond, handle, size, data);
}

LV2_Worker_Status workResponse(LV2_Handle instance, std::uint32_t size, const void* data) {
  return self(instance)->workResponse(size, data);
}

const void* extensionData(const char* uri) {
  static const LV2_Worker_Interface worker = {work, workResponse, nullptr};
  if (std::strcmp(uri, LV2_WORKER__interface) == 0) {
    return &worker;
  }
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate, run,
                                    deactivate,  cleanup,     extensionData};

}  // namespace

}  // namespace melovantis::plugin

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? &melovantis::plugin::kDescriptor : nullptr;
}
