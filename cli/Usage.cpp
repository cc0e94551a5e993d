#include "cli/Usage.h"

#include <iostream>

namespace melovantis {

const char* usageText() {
  return "usage:\n"
         "  melovantis-cli convert INPUT... [--settings FILE.set] [--midi OUT.mid]\n"
         "                 [--project OUT.mvt] [--frames OUT.csv] [--jobs N] [--summary]\n"
         "                 [--onset-placement attack|frame] [--wizard] [--quiet] [--no-convert]\n"
         "\n"
         "  convert   analyse a recording (other formats than 44100 Hz mono 16-bit PCM WAVE\n"
         "            are converted with ffmpeg first) with the given settings\n"
         "            (default: the factory default.set) and write what is asked.\n"
         "  --midi    write a Standard MIDI File (default, when no other output is asked:\n"
         "            INPUT with .mid beside it)\n"
         "  --jobs    use N cores (default: all): one input is analysed on N cores at once;\n"
         "            several inputs convert N at a time, each to its own NAME.mid, and one\n"
         "            failing file does not stop the rest\n"
         "  --onset-placement  where a note starts in the MIDI file: attack (default), where\n"
         "            its attack is in the recording; frame, at the time of the frame that\n"
         "            detected it\n"
         "  --project write a project file (.mvt) for later editing\n"
         "  --frames  write the frame table as CSV: frame,time_s,pitch,volume,brightness,attack\n"
         "  --summary print frames, pitched frames, lowest and highest note\n"
         "  --quiet   no progress bar\n"
         "  --wizard  let the Settings Wizard derive the settings from the file first\n"
         "  --no-convert  refuse input that is not a 44100 Hz mono 16-bit PCM WAVE instead of\n"
         "            converting it with ffmpeg first\n"
         "\n"
         "  melovantis-cli edit PROJECT.mvt [--settings FILE.set] [--auto-correct W] [--quantize PCT]\n"
         "                 [--in-tune] [--transpose SEMITONES] [--cents C] [--speed PCT]\n"
 "                 [--project OUT.mvt] [--midi OUT.mid] [--frames OUT.csv]\n"
         "                 [--onset-placement attack|frame]\n"
         "\n"
         "  edit      load a project, apply the tools in the order given, print each tool's\n"
         "            result and write what is asked.\n"
         "  --auto-correct W  Auto Correct with the half-width W (1..5)\n"
         "  --quantize PCT    Pitch Quantize by PCT percent (0..100)\n"
         "  --in-tune         In-Tune Wizard\n"
         "  --transpose, --cents, --speed  together one Pitch & Tempo run, at the place of the\n"
         "            first of them: semitones (-12..12), cents (-100..100), speed in percent\n"
         "            (50..200, default 100)\n"
         "\n"
         "  melovantis-cli wizard INPUT.wav [--only range,threshold,resolution,brightness]\n"
         "                 [--settings BASE.set] [--quiet] --save OUT.set\n"
         "\n"
         "  wizard    let the Settings Wizard derive settings from the recording (all four\n"
         "            unless --only names some) and save them.\n"
         "\n"
         "  melovantis-cli devices\n"
         "\n"
         "  devices   list the audio inputs and MIDI outputs, numbered as live takes them.\n"
         "\n"
         "  melovantis-cli live [--settings FILE.set] [--audio-in N] [--midi-out N | --virtual NAME]\n"
         "                 [--input-file FILE.wav] [--seconds S]\n"
         "\n"
         "  live      sing or play into an audio input and send the MIDI at once, showing the\n"
         "            note, its frequency and the level; Ctrl+C ends it with the last note-off.\n"
         "  --settings    default: the factory default_realtime.set\n"
         "  --audio-in N  the input to listen to (default: the system's default input)\n"
         "  --midi-out N  the MIDI output (default 0: a port of its own, named Melovantis,\n"
         "            that a synthesizer or sequencer connects to)\n"
         "  --virtual NAME  that port of its own, under another name\n"
         "  --input-file FILE.wav  play a 44100 Hz mono 16-bit WAVE file at real speed instead\n"
         "            of listening to an input; ends after the file\n"
         "  --seconds S   stop after S seconds\n"
         "\n"
         "Exit status: 0 success, 1 input refused or file not written, 2 usage error.\n";
}

int usageError(const std::string& problem) {
  std::cerr << "melovantis-cli: " << problem << "\n\n" << usageText();
  return 2;
}

}  // namespace melovantis
