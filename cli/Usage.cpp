#include "cli/Usage.h"

#include <iostream>
#include <optional>

namespace melovantis {

namespace {

constexpr const char* kConvertHelp =
    "usage: melovantis-cli convert INPUT... [OPTION]...\n"
    "\n"
    "Analyse recordings of one voice or instrument and write them as MIDI. Other formats\n"
    "than 44100 Hz mono 16-bit PCM WAVE are converted with ffmpeg first.\n"
    "\n"
    "  --settings FILE.set  the settings to convert with (default: the factory default.set)\n"
    "  --midi OUT.mid       write a Standard MIDI File (default, when no other output is\n"
    "                       asked: INPUT with .mid beside it)\n"
    "  --project OUT.mvt    write a project file for later editing\n"
    "  --frames OUT.csv     write the frame table as CSV:\n"
    "                       frame,time_s,pitch,volume,brightness,attack[,onset_s]\n"
    "  --jobs N             use N cores (1..256, default: all). One input is analysed on N\n"
    "                       cores at once; several inputs convert N at a time, each to its\n"
    "                       own NAME.mid, and one failing file does not stop the rest\n"
    "  --onset-placement attack|frame\n"
    "                       where a note starts in the MIDI file: attack (default), where\n"
    "                       its attack or its change of pitch is in the recording, each\n"
    "                       frame's pitch taken from a line that keeps its octave; frame,\n"
    "                       at the time of the frame that detected it, the frame table as\n"
    "                       analysed (with --note-keys floor: the earliest program's files)\n"
    "  --note-keys nearest|floor\n"
    "                       the key a note starts on: nearest (default), the semitone\n"
    "                       nearest its pitch, bent at most half a semitone either way;\n"
    "                       floor, the semitone at or below its pitch, bent up\n"
    "  --summary            print frames, pitched frames, lowest and highest note\n"
    "  --wizard             let the Settings Wizard derive the settings from the file first\n"
    "  --no-convert         refuse input that is not a 44100 Hz mono 16-bit PCM WAVE\n"
    "                       instead of converting it with ffmpeg\n"
    "  --quiet              no progress bar\n";

constexpr const char* kEditHelp =
    "usage: melovantis-cli edit PROJECT.mvt [OPTION]...\n"
    "\n"
    "Load a project, apply the correction tools in the order given, print each tool's\n"
    "result and write what is asked.\n"
    "\n"
    "  --settings FILE.set  the settings the MIDI file is written with (default: the\n"
    "                       factory default.set)\n"
    "  --auto-correct W     Auto Correct with the half-width W (1..5)\n"
    "  --quantize PCT       Pitch Quantize by PCT percent (0..100)\n"
    "  --in-tune            In-Tune Wizard\n"
    "  --transpose SEMITONES, --cents C, --speed PCT\n"
    "                       together one Pitch & Tempo run, at the place of the first of\n"
    "                       them: semitones (-12..12), cents (-100..100), speed in percent\n"
    "                       (50..200, default 100)\n"
    "  --project OUT.mvt    write the corrected project\n"
    "  --midi OUT.mid       write a Standard MIDI File\n"
    "  --frames OUT.csv     write the frame table as CSV\n"
    "  --onset-placement attack|frame\n"
    "                       where a note starts in the MIDI file (default: attack)\n"
    "  --note-keys nearest|floor\n"
    "                       the key a note starts on (default: nearest)\n";

constexpr const char* kWizardHelp =
    "usage: melovantis-cli wizard INPUT.wav --save OUT.set [OPTION]...\n"
    "\n"
    "Let the Settings Wizard examine a 44100 Hz mono 16-bit PCM WAVE recording, derive\n"
    "settings that suit it and save them.\n"
    "\n"
    "  --save OUT.set       where the derived settings go (required)\n"
    "  --only LIST          derive only these, comma-separated: range, threshold,\n"
    "                       resolution, brightness (default: all four)\n"
    "  --settings BASE.set  the settings the rest is taken from (default: the factory\n"
    "                       default.set)\n"
    "  --quiet              no progress bar\n";

constexpr const char* kDevicesHelp =
    "usage: melovantis-cli devices\n"
    "\n"
    "List the audio inputs and MIDI outputs, numbered as live takes them.\n";

constexpr const char* kLiveHelp =
    "usage: melovantis-cli live [OPTION]...\n"
    "\n"
    "Sing or play into an audio input and send the MIDI at once, showing the note, its\n"
    "frequency and the level. Ctrl+C ends it with the last note-off, a second Ctrl+C at\n"
    "once. An input that delivers nothing for a second (its sound server stopped, the\n"
    "device unplugged) ends it with the last note-off and exit status 1.\n"
    "\n"
    "  --settings FILE.set  default: the factory default_realtime.set\n"
    "  --audio-in N         the input to listen to (default: the system's default input)\n"
    "  --midi-out N         the MIDI output (default 0: a port of its own, named\n"
    "                       Melovantis, that a synthesizer or sequencer connects to)\n"
    "  --virtual NAME       that port of its own, under another name\n"
    "  --input-file FILE.wav\n"
    "                       play a 44100 Hz mono 16-bit WAVE file at real speed instead of\n"
    "                       listening to an input; ends after the file\n"
    "  --seconds S          stop after S seconds\n"
    "  --note-keys nearest|floor\n"
    "                       the key a note starts on: the nearest semitone (default) or\n"
    "                       the one at or below its pitch, bent up\n";

constexpr const char* kCommonHelp =
    "\n"
    "  -h, --help           show this help and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "Exit status: 0 success, 1 input refused or file not written, 2 usage error.\n";

struct CommandText {
  std::string_view name;
  const char* text;
};

constexpr CommandText kCommands[] = {{"convert", kConvertHelp},
                                     {"edit", kEditHelp},
                                     {"wizard", kWizardHelp},
                                     {"devices", kDevicesHelp},
                                     {"live", kLiveHelp}};

}  // namespace

std::string usageText() {
  return "usage: melovantis-cli COMMAND [ARGUMENT]...\n"
         "\n"
         "  melovantis-cli convert INPUT... [--settings FILE.set] [--midi OUT.mid]\n"
         "                 [--project OUT.mvt] [--frames OUT.csv] [--jobs N] [--summary]\n"
         "                 [--onset-placement attack|frame] [--note-keys nearest|floor]\n"
         "                 [--wizard] [--quiet] [--no-convert]\n"
         "  melovantis-cli edit PROJECT.mvt [--settings FILE.set] [--auto-correct W]\n"
         "                 [--quantize PCT] [--in-tune] [--transpose SEMITONES] [--cents C]\n"
         "                 [--speed PCT] [--project OUT.mvt] [--midi OUT.mid] [--frames OUT.csv]\n"
         "                 [--onset-placement attack|frame] [--note-keys nearest|floor]\n"
         "  melovantis-cli wizard INPUT.wav [--only range,threshold,resolution,brightness]\n"
         "                 [--settings BASE.set] [--quiet] --save OUT.set\n"
         "  melovantis-cli devices\n"
         "  melovantis-cli live [--settings FILE.set] [--audio-in N] [--midi-out N | --virtual NAME]\n"
         "                 [--input-file FILE.wav] [--seconds S] [--note-keys nearest|floor]\n"
         "\n"
         "  convert   turn recordings into MIDI (and project or CSV files)\n"
         "  edit      apply the correction tools to a project file\n"
         "  wizard    derive settings from a recording and save them\n"
         "  devices   list the audio inputs and MIDI outputs\n"
         "  live      from an audio input to a MIDI output, as you play\n"
         "\n"
         "melovantis-cli COMMAND --help shows what a command does and all its options.\n" +
         std::string(kCommonHelp);
}

std::optional<std::string> commandHelp(std::string_view command) {
  for (const CommandText& c : kCommands) {
    if (c.name == command) {
      return std::string(c.text) + kCommonHelp;
    }
  }
  return std::nullopt;
}

std::string versionText() { return std::string("melovantis-cli ") + MELOVANTIS_VERSION + "\n"; }

int usageError(const std::string& problem) {
  std::cerr << "melovantis-cli: " << problem << "\n\n" << usageText();
  return 2;
}

}  // namespace melovantis
