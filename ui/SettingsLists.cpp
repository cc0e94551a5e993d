#include "ui/SettingsLists.h"

#include <array>
#include <cstdio>

#include "engine/NoteName.h"

namespace melovantis {

namespace {

// The General MIDI programs, 1 to 128.
constexpr std::array<const char*, 128> kPrograms = {
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano",
    "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavi",
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone",
    "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ",
    "Reed Organ", "Accordion", "Harmonica", "Tango Accordion",
    "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)",
    "Electric Guitar (clean)", "Electric Guitar (muted)", "Overdriven Guitar",
    "Distortion Guitar", "Guitar harmonics",
    "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass",
    "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2",
    "Violin", "Viola", "Cello", "Contrabass",
    "Tremolo Strings", "Pizzicato Strings", "Orchestral Harp", "Timpani",
    "String Ensemble 1", "String Ensemble 2", "SynthStrings 1", "SynthStrings 2",
    "Choir Aahs", "Voice Oohs", "Synth Voice", "Orchestra Hit",
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet",
    "French Horn", "Brass Section", "SynthBrass 1", "SynthBrass 2",
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax",
    "Oboe", "English Horn", "Bassoon", "Clarinet",
    "Piccolo", "Flute", "Recorder", "Pan Flute",
    "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina",
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)", "Lead 4 (chiff)",
    "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
    "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)",
    "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
    "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)",
    "Sitar", "Banjo", "Shamisen", "Koto",
    "Kalimba", "Bag pipe", "Fiddle", "Shanai",
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock",
    "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet",
    "Telephone Ring", "Helicopter", "Applause", "Gun Shot",
};

// The controllers by number; nullptr where the MIDI standard defines none.
const char* controllerName(int number) {
  switch (number) {
    case 0: return "Bank Select (coarse)";
    case 1: return "Modulation Wheel (coarse)";
    case 2: return "Breath controller (coarse)";
    case 4: return "Foot Pedal (coarse)";
    case 5: return "Portamento Time (coarse)";
    case 6: return "Data Entry (coarse)";
    case 7: return "Volume (coarse)";
    case 8: return "Balance (coarse)";
    case 10: return "Pan position (coarse)";
    case 11: return "Expression (coarse)";
    case 12: return "Effect Control 1 (coarse)";
    case 13: return "Effect Control 2 (coarse)";
    case 16: return "General Purpose Slider 1";
    case 17: return "General Purpose Slider 2";
    case 18: return "General Purpose Slider 3";
    case 19: return "General Purpose Slider 4";
    case 32: return "Bank Select (fine)";
    case 33: return "Modulation Wheel (fine)";
    case 34: return "Breath controller (fine)";
    case 36: return "Foot Pedal (fine)";
    case 37: return "Portamento Time (fine)";
    case 38: return "Data Entry (fine)";
    case 39: return "Volume (fine)";
    case 40: return "Balance (fine)";
    case 42: return "Pan position (fine)";
    case 43: return "Expression (fine)";
    case 44: return "Effect Control 1 (fine)";
    case 45: return "Effect Control 2 (fine)";
    case 64: return "Hold Pedal (on/off)";
    case 65: return "Portamento (on/off)";
    case 66: return "Sostenuto Pedal (on/off)";
    case 67: return "Soft Pedal (on/off)";
    case 68: return "Legato Pedal (on/off)";
    case 69: return "Hold 2 Pedal (on/off)";
    case 70: return "Sound Variation";
    case 71: return "Sound Timbre";
    case 72: return "Sound Release Time";
    case 73: return "Sound Attack Time";
    case 74: return "Sound Brightness";
    case 75: return "Sound Control 6";
    case 76: return "Sound Control 7";
    case 77: return "Sound Control 8";
    case 78: return "Sound Control 9";
    case 79: return "Sound Control 10";
    case 80: return "General Purpose Button 1 (on/off)";
    case 81: return "General Purpose Button 2 (on/off)";
    case 82: return "General Purpose Button 3 (on/off)";
    case 83: return "General Purpose Button 4 (on/off)";
    case 91: return "Effects Level";
    case 92: return "Tremolo Level";
    case 93: return "Chorus Level";
    case 94: return "Celeste Level";
    case 95: return "Phaser Level";
    case 96: return "Data Button increment";
    case 97: return "Data Button decrement";
    case 98: return "Non-registered Parameter (fine)";
    case 99: return "Non-registered Parameter (coarse)";
    case 100: return "Registered Parameter (fine)";
    case 101: return "Registered Parameter (coarse)";
    case 120: return "All Sound Off";
    case 121: return "All Controllers Off";
    case 122: return "Local Keyboard (on/off)";
    case 123: return "All Notes Off";
    case 124: return "Omni Mode Off";
    case 125: return "Omni Mode On";
    case 126: return "Mono Operation";
    case 127: return "Poly Operation";
    default: return nullptr;
  }
}

std::string numbered(int number, const char* name) {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%03d. ", number);
  return prefix + std::string(name);
}

}  // namespace

const std::vector<std::string>& gmVoiceEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> list;
    for (int i = 0; i < 128; ++i) {
      list.push_back(numbered(i + 1, kPrograms[static_cast<std::size_t>(i)]));
    }
    list.emplace_back("[ NONE ]");
    return list;
  }();
  return entries;
}

const std::vector<std::string>& controllerEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> list;
    for (int i = 0; i < 128; ++i) {
      const char* name = controllerName(i);
      list.push_back(numbered(i, name != nullptr ? name : "Undefined"));
    }
    return list;
  }();
  return entries;
}

const std::vector<std::string>& bpmEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> list = {" [SMPTE]"};
    for (int bpm = 20; bpm <= 300; ++bpm) {
      char text[8];
      std::snprintf(text, sizeof text, "%03d", bpm);
      list.emplace_back(text);
    }
    return list;
  }();
  return entries;
}

const std::vector<std::string>& timeResolutionBoostEntries() {
  static const std::vector<std::string> entries = {"0. No", "1. Double", "2. Super (5 ms)"};
  return entries;
}

std::string noteRangeText(int lowestNote, int highestNote) {
  char octaves[32];
  std::snprintf(octaves, sizeof octaves, "(%.1f octaves)", (highestNote - lowestNote + 1) / 12.0);
  return noteName(lowestNote) + " to " + noteName(highestNote) + "\r\n" + octaves;
}

}  // namespace melovantis
