// Writes the plugin bundle's Turtle files at build time: the plugin's
// description from the same port table the plugin reads its controls by, and
// one preset for the factory real-time settings and one per quick settings
// file, read by the program's own settings reader. So neither can go out of
// step with the code or with the settings files.
//
// melovantis-lv2-turtle BUNDLE BINARY VERSION FACTORY.set [QUICK.set ...]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "documents/SettingsFile.h"
#include "plugin/PluginPorts.h"
#include "ui/SettingsLists.h"

namespace melovantis::plugin {

namespace {

constexpr const char* kPrefixes =
    "@prefix atom:   <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:   <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:   <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:    <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:   <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:   <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:   <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units:  <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:   <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work:   <http://lv2plug.in/ns/ext/worker#> .\n\n";

constexpr const char* kReplanned =
    " A change needs new analysis plans: they are made off the audio thread and used from the "
    "first block after they are ready (within a few milliseconds), when the note sounding is "
    "ended and the opening messages are sent again. In a host without the LV2 worker the change "
    "takes effect at the next activation (for example when the transport starts again).";

struct Preset {
  std::string name;   // the last part of its URI
  std::string label;  // what the host lists
  SettingsRecord settings;
  bool withLiveControls = false;
};

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
    }
    out += c;
  }
  return out + "\"";
}

std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(value));
  if (std::stof(text) != value) {
    std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
  }
  return text;
}

// A URI's last part from a file name: letters, digits and '-' only.
std::string uriPart(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    out += plain ? c : '-';
  }
  return out;
}

void scalePoints(std::ostream& out, const std::vector<std::string>& entries) {
  out << " ;\n        lv2:portProperty lv2:enumeration ;\n        lv2:scalePoint ";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    out << (i == 0 ? "" : " ,\n            ") << "[ rdfs:label " << quoted(entries[i])
        << " ; rdf:value " << i << " ]";
  }
}

void controlPort(std::ostream& out, const ControlPort& port) {
  out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
      << "        lv2:index " << port.index << " ;\n"
      << "        lv2:symbol " << quoted(port.symbol) << " ;\n"
      << "        lv2:name " << quoted(port.name) << " ;\n"
      << "        rdfs:comment "
      << quoted(std::string(port.comment) + (port.replans ? kReplanned : "")) << " ;\n"
      << "        lv2:default " << number(port.defaultValue) << " ;\n"
      << "        lv2:minimum " << number(port.minimum) << " ;\n"
      << "        lv2:maximum " << number(port.maximum);
  if (port.kind == ControlKind::Integer) {
    out << " ;\n        lv2:portProperty lv2:integer";
  } else if (port.kind == ControlKind::Toggle) {
    out << " ;\n        lv2:portProperty lv2:toggled";
  }
  if (port.replans) {
    out << " ;\n        lv2:portProperty pprops:expensive";
  }
  if (port.unit != nullptr) {
    out << " ;\n        units:unit units:" << port.unit;
  }
  if (port.list == ControlList::GmVoices) {
    scalePoints(out, gmVoiceEntries());
  } else if (port.list == ControlList::Controllers) {
    scalePoints(out, controllerEntries());
  }
  out << "\n    ] ,\n";
}

std::string pluginDescription(const std::string& version) {
  int minor = 0;
  int micro = 0;
  std::sscanf(version.c_str(), "%*d.%d.%d", &minor, &micro);
  std::ostringstream out;
  out << kPrefixes << "@prefix rdf:    <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n"
      << "<" << kPluginUri << ">\n"
      << "    a lv2:Plugin , lv2:AnalyserPlugin , doap:Project ;\n"
      << "    doap:name \"Melovantis\" ;\n"
      << "    doap:maintainer [ foaf:name \"Melovantis developers\" ] ;\n"
      << "    rdfs:comment \"Turns one voice or instrument into MIDI as it sounds: notes, "
         "14-bit pitch bend, and volume and brightness controllers, for the instrument or MIDI "
         "track after it.\" ;\n"
      << "    lv2:minorVersion " << minor << " ;\n"
      << "    lv2:microVersion " << micro << " ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , work:schedule ;\n"
      << "    lv2:extensionData work:interface ;\n"
      << "    lv2:port\n"
      << "    [\n        a lv2:InputPort , lv2:AudioPort ;\n"
      << "        lv2:index " << kAudioIn << " ;\n"
      << "        lv2:symbol \"audio_in\" ;\n"
      << "        lv2:name \"Audio in\" ;\n"
      << "        rdfs:comment \"The voice or instrument, one monophonic line.\"\n    ] ,\n"
      << "    [\n        a lv2:OutputPort , atom:AtomPort ;\n"
      << "        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports midi:MidiEvent ;\n"
      << "        lv2:index " << kMidiOut << " ;\n"
      << "        lv2:symbol \"midi_out\" ;\n"
      << "        lv2:name \"MIDI out\" ;\n"
      << "        rdfs:comment \"Note-on and note-off, pitch bend, and the volume and brightness "
         "controllers, each at the frame where the block that found it ends.\"\n    ] ,\n";
  for (const ControlPort& port : kControlPorts) {
    controlPort(out, port);
  }
  out << "    [\n        a lv2:OutputPort , lv2:ControlPort ;\n"
      << "        lv2:index " << kLatency << " ;\n"
      << "        lv2:symbol \"latency\" ;\n"
      << "        lv2:name \"Latency\" ;\n"
      << "        rdfs:comment \"The delay the analysis adds, in frames: one block, plus the "
         "resampler's delay when the host does not run at 44100 Hz.\" ;\n"
      << "        lv2:designation lv2:latency ;\n"
      << "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
      << "        lv2:minimum 0 ;\n"
      << "        lv2:maximum " << static_cast<int>(kMaxLatencyFrames) << " ;\n"
      << "        units:unit units:frame\n    ] .\n";
  return out.str();
}

std::string presetDescriptions(const std::vector<Preset>& presets) {
  std::ostringstream out;
  out << kPrefixes;
  for (const Preset& preset : presets) {
    out << "<" << kPresetUriPrefix << preset.name << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
        << "    rdfs:label " << quoted(preset.label) << " ;\n"
        << "    lv2:port";
    bool first = true;
    for (const ControlPort& port : kControlPorts) {
      float value = port.defaultValue;
      if (port.settingsField >= 0) {
        value = controlValue(port, static_cast<float>(preset.settings.field(port.settingsField)));
      } else if (!preset.withLiveControls) {
        continue;
      }
      out << (first ? "\n" : " ,\n") << "    [ lv2:symbol " << quoted(port.symbol)
          << " ; pset:value " << number(value) << " ]";
      first = false;
    }
    out << " .\n\n";
  }
  return out.str();
}

std::string manifest(const std::string& binary, const std::vector<Preset>& presets) {
  std::ostringstream out;
  out << kPrefixes << "<" << kPluginUri << ">\n"
      << "    a lv2:Plugin ;\n"
      << "    lv2:binary <" << binary << "> ;\n"
      << "    rdfs:seeAlso <melovantis.ttl> .\n";
  for (const Preset& preset : presets) {
    out << "\n<" << kPresetUriPrefix << preset.name << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
        << "    rdfs:seeAlso <presets.ttl> .\n";
  }
  return out.str();
}

bool writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::cerr << "melovantis-lv2-turtle: cannot write " << path.string() << "\n";
    return false;
  }
  return true;
}

}  // namespace

int writeBundle(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: melovantis-lv2-turtle BUNDLE BINARY VERSION FACTORY.set [QUICK.set ...]\n";
    return 2;
  }
  const std::filesystem::path bundle = argv[1];
  std::vector<Preset> presets;
  for (int i = 4; i < argc; ++i) {
    const std::filesystem::path file = argv[i];
    Preset preset;
    // Read over the factory record, as the window reads a file over the record in force.
    preset.settings = settingsFromControls(factoryControls());
    if (!readSettingsFile(file, preset.settings)) {
      std::cerr << "melovantis-lv2-turtle: cannot read " << file.string() << "\n";
      return 1;
    }
    const bool factory = i == 4;
    preset.name = factory ? "factory" : uriPart(file.stem().string());
    preset.label = factory ? "Factory settings" : file.stem().string();
    preset.withLiveControls = factory;
    presets.push_back(preset);
  }
  std::error_code error;
  std::filesystem::create_directories(bundle, error);
  return writeFile(bundle / "manifest.ttl", manifest(argv[2], presets)) &&
                 writeFile(bundle / "melovantis.ttl", pluginDescription(argv[3])) &&
                 writeFile(bundle / "presets.ttl", presetDescriptions(presets))
             ? 0
             : 1;
}

}  // namespace melovantis::plugin

int main(int argc, char** argv) { return melovantis::plugin::writeBundle(argc, argv); }
