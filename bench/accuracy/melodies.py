"""The test melodies, written as Standard MIDI Files.

Every melody is monophonic and written by hand in a small text form, so the
set stays readable and anyone can add one. A melody is a list of tokens
NOTE/BEATS[FLAGS]:

  NOTE   a MIDI note number, or r for a rest
  BEATS  the length in beats (quarter notes) at the melody's tempo
  FLAGS  l legato (sounds the whole length), s staccato (sounds 40 %),
         g glide into the next note (a pitch-bend ramp over the end of this
         note; the next note starts exactly where the ramp arrives),
         none: detached (sounds 85 %)

Melodies with vibrato get a sine pitch bend on their longer notes, starting
0.25 s into the note so that the note's first 100 ms sit on its key.

Four families of sound: "gm" melodies are rendered from General MIDI
instruments by FluidSynth with TimGM6mb or MuseScore General; "piano" ones are
played from real piano recordings, one note sounding at a time (piano.py);
"fluid" ones are rendered by FluidSynth with FluidR3, a SoundFont the factory
settings were never tuned on (fluid_melodies.py); "recorded" ones are played
from real recordings of single notes of orchestral instruments and a pipe
organ (recorded_melodies.py, recordings.py). The older two kinds of sound stay:
"struck" (the Salamander piano) and "sustained" (everything else).
Every melody belongs to one of two folds: settings are tuned on fold "tune"
and reported on fold "held", which they never saw.
"""

from __future__ import annotations

import dataclasses
import math

import mido

import fluid_melodies
import recorded_melodies

TICKS_PER_BEAT = 480
# Source files set the bend range to a full octave so that wide glides fit.
SOURCE_BEND_RANGE = 12
CONTROL_STEP_S = 0.01


@dataclasses.dataclass(frozen=True)
class Melody:
    name: str
    program: int  # General MIDI program, 0-based
    instrument: str
    bpm: int
    peak_db: float  # the rendering is normalised to this peak level
    tokens: str
    vibrato: float = 0.0  # depth in semitones either way
    # TimGM6mb, MuseScore, FluidR3 (FluidSynth), Salamander (piano.py) or
    # Recorded (recordings.py, with the recorded instrument in `samples`)
    soundfont: str = "TimGM6mb"
    fold: str = "tune"  # "tune": settings are chosen on it; "held": only reported
    samples: str = ""  # the recorded instrument of a Recorded melody

    @property
    def kind(self):
        return "struck" if self.soundfont == "Salamander" else "sustained"

    @property
    def family(self):
        return FAMILY_OF_SOUNDFONT[self.soundfont]

    def parsed_tokens(self):
        """(key or None for a rest, beats, flags) for every token, in order."""
        parsed = []
        for token in self.tokens.split():
            head, rest = token.split("/")
            flags = rest.lstrip("0123456789.")
            beats = float(rest[: len(rest) - len(flags)])
            parsed.append((None if head == "r" else int(head), beats, flags))
        return parsed

    def notes(self):
        """(start_s, sounding_s, key, glide_to) for every note, in order."""
        beat = 60.0 / self.bpm
        parsed = self.parsed_tokens()
        result = []
        t = 0.0
        for i, (key, beats, flags) in enumerate(parsed):
            length = beats * beat
            if key is not None:
                if "s" in flags:
                    sounding = 0.4 * length
                elif "l" in flags or "g" in flags:
                    sounding = length
                else:
                    sounding = 0.85 * length
                glide_to = None
                if "g" in flags:
                    nxt = parsed[i + 1][0] if i + 1 < len(parsed) else None
                    if nxt is None:
                        raise ValueError(f"{self.name}: glide needs a next note")
                    glide_to = nxt
                result.append((t, sounding, key, glide_to))
            t += length
        return result

    def duration(self):
        beat = 60.0 / self.bpm
        return sum(beats for _, beats, _ in self.parsed_tokens()) * beat

    def bends(self, start, sounding, key, glide_to):
        """(time, semitones) of the pitch bends of one note: its vibrato, then its glide."""
        end = start + sounding
        bends = []
        if self.vibrato > 0.0 and sounding >= 0.6:
            t = start + 0.25
            while t < end - 0.05:
                fade = min(1.0, (t - start - 0.25) / 0.2)
                depth = self.vibrato * fade * math.sin(2.0 * math.pi * 5.5 * (t - start - 0.25))
                bends.append((t, depth))
                t += CONTROL_STEP_S
        if glide_to is not None:
            ramp = min(0.25, sounding / 3.0)
            steps = max(1, int(ramp / CONTROL_STEP_S))
            ramp_start = end - ramp
            bends = [b for b in bends if b[0] < ramp_start]
            for s in range(1, steps + 1):
                bends.append((ramp_start + ramp * s / steps, (glide_to - key) * s / steps))
        return bends


FAMILY_OF_SOUNDFONT = {"TimGM6mb": "gm", "MuseScore": "gm", "Salamander": "piano",
                       "FluidR3": "fluid", "Recorded": "recorded"}
# Families in the order the tables show them, with their headings.
FAMILIES = [("gm", "General MIDI (TimGM6mb, MuseScore)"), ("piano", "Salamander piano"),
            ("fluid", "FluidR3 (unseen SoundFont)"), ("recorded", "recorded instruments")]


MELODIES = [
    Melody("choir_aah", 52, "Choir Aahs", 72, -3.0,
           "60/1l 62/1l 64/2l 67/1g 72/1l 71/1l 69/1l 67/2 r/1 "
           "65/1l 64/1l 62/1l 60/0.5l 62/0.5l 64/2g 67/1 r/1 55/1 60/2l 59/1 60/3",
           vibrato=0.25),
    Melody("flute_high", 73, "Flute", 120, -6.0,
           "72/0.5 76/0.5 79/0.5 84/0.5 88/1 86/0.5 84/0.5 83/1 79/1 "
           "81/0.5 83/0.5 84/0.5 86/0.5 88/0.5 89/0.5 91/1 93/0.5 91/0.5 89/0.5 88/0.5 "
           "86/1 84/1 r/1 84/0.5s 88/0.5s 91/0.5s 96/1.5 93/0.5 91/1 88/1 84/2",
           fold="held"),
    Melody("clarinet_arpeggio", 71, "Clarinet", 100, -4.0,
           "50/1l 53/1l 57/1l 62/1l 65/1l 69/1l 74/2l 72/1l 69/1l 65/1l 62/1 "
           "r/1 58/0.5 62/0.5 65/0.5 70/0.5 74/0.5 77/0.5 82/1 79/1l 77/1l 74/1l 70/1 "
           "67/1 65/1 62/2"),
    Melody("oboe_staccato", 68, "Oboe", 140, -8.0,
           "64/0.5s 67/0.5s 72/0.5s 67/0.5s 64/0.5s 67/0.5s 72/1s "
           "74/0.5s 72/0.5s 71/0.5s 69/0.5s 67/1 r/1 "
           "60/0.5s 62/0.5s 64/0.5s 65/0.5s 67/0.5s 69/0.5s 71/0.5s 72/0.5s "
           "74/0.5s 76/0.5s 77/0.5s 79/0.5s 81/0.5s 84/1.5 r/0.5 72/0.5s 72/0.5s 72/1 "
           "67/0.5s 67/0.5s 67/1 64/2",
           fold="held"),
    Melody("trumpet_repeats", 56, "Trumpet", 120, -2.0,
           "60/0.5 60/0.25s 60/0.25s 60/0.5 65/1 r/0.5 65/0.5 65/0.25s 65/0.25s 65/0.5 "
           "69/1 r/0.5 72/0.5 72/0.5 72/0.5 69/0.5 65/0.5 60/1 r/1 "
           "67/0.5 67/0.5 67/0.5 67/0.5 70/1 69/1 65/0.5 67/0.5 65/0.5 62/0.5 "
           "58/1 62/1 65/1 70/0.5 72/0.5 77/2"),
    Melody("trombone_glides", 57, "Trombone", 60, -5.0,
           "46/1g 50/1 53/1 r/1 53/1g 58/1l 57/1 55/1 r/0.5 "
           "48/0.5 50/0.5 51/0.5 53/1g 55/1 60/2 r/1 58/1g 53/1 51/1 46/2",
           fold="held"),
    Melody("violin_runs", 40, "Violin", 180, -6.0,
           "67/1l 69/0.5l 71/0.5l 72/0.5l 74/0.5l 76/0.5l 78/0.5l 79/2l "
           "81/0.5l 79/0.5l 78/0.5l 76/0.5l 74/0.5l 72/0.5l 71/0.5l 69/0.5l 67/2 "
           "r/1 79/0.5l 83/0.5l 86/0.5l 91/1l 93/1l 91/0.5l 88/0.5l 86/0.5l 83/0.5l 79/2 "
           "55/1 59/1 62/1 67/3l 66/1l 67/4",
           vibrato=0.2),
    Melody("cello_song", 42, "Cello", 80, -5.0,
           "36/2l 43/1l 48/1l 52/2l 50/1l 48/1l 47/1l 48/1l 50/2g 55/2 r/1 "
           "55/1l 57/1l 59/1l 60/2l 59/1l 57/1l 55/1 52/1 48/3",
           vibrato=0.3,
           fold="held"),
    Melody("bass_walk", 33, "Electric Bass (finger)", 110, -3.0,
           "36/1 40/1 43/1 45/1 46/1 45/1 43/1 40/1 "
           "41/1 41/1 45/1 48/1 50/1 48/1 45/1 41/1 "
           "43/1 43/1 47/1 50/1 53/1 50/1 47/1 43/1 36/0.5s 36/0.5s 36/0.5s 36/0.5s 36/2"),
    # TimGM6mb's own Whistle sample sounds about 8.6 semitones flat and stops at
    # note 78, so the whistle-like line is played by the ocarina, a pure tone.
    Melody("whistle_glides", 79, "Ocarina", 100, -7.0,
           "79/1 84/1g 86/1 84/1 81/1 79/2 r/1 "
           "88/0.5 86/0.5 84/0.5 86/0.5 88/1g 91/1l 93/1g 96/2 r/1 93/1 91/1 88/1 84/3",
           vibrato=0.15,
           fold="held"),
    Melody("alto_sax_ballad", 65, "Alto Sax", 66, -4.0,
           "61/1l 63/1l 66/1g 68/1l 70/2l 68/1 66/1 r/1 "
           "73/1.5l 71/0.5l 70/1g 66/1 63/1l 61/1l 58/2l 54/1g 49/1 r/1 61/3"),
    Melody("recorder_repeats", 74, "Recorder", 160, -6.0,
           "76/0.5s 76/0.5s 76/1 72/0.5s 76/0.5s 79/1 r/1 79/0.5s 79/0.5s 79/0.5s 79/0.5s "
           "81/1 79/1 76/0.5s 76/0.5s 74/1 72/2 r/1 "
           "84/0.5s 84/0.5s 84/0.5s 83/0.5s 81/0.5s 81/0.5s 81/0.5s 79/0.5s "
           "88/0.5s 88/0.5s 91/1 88/1 84/2",
           fold="held"),
    Melody("bassoon_march", 70, "Bassoon", 90, -5.0,
           "38/1 45/1 50/1 45/1 41/0.5s 43/0.5s 45/0.5s 46/0.5s 48/1 45/1 "
           "50/1l 53/1l 57/1l 60/1 57/0.5s 53/0.5s 50/0.5s 48/0.5s 46/1 45/1 43/2 "
           "r/1 38/0.5s 38/0.5s 38/1 50/2",
           fold="held"),
    Melody("pan_flute_dance", 75, "Pan Flute", 150, -6.0,
           "67/0.5 71/0.5 74/0.5 79/0.5 78/1 76/0.5 74/0.5 72/1 71/1 "
           "69/0.5s 71/0.5s 72/0.5s 74/0.5s 76/1l 79/1l 83/2 r/1 "
           "86/0.5 84/0.5 83/0.5 81/0.5 79/1 88/1 86/0.5s 84/0.5s 83/0.5s 81/0.5s 79/3"),
    # Melodies added for the evaluation of notes that start where their attacks are:
    # faster lines, sixteenths, legato repeats of one key, chromatic steps, low bass.
    Melody("piccolo_sixteenths", 72, "Piccolo", 150, -7.0,
           "84/0.25 86/0.25 88/0.25 89/0.25 91/0.5 88/0.5 84/0.25 86/0.25 88/0.25 91/0.25 "
           "96/1 r/0.5 93/0.25 91/0.25 89/0.25 88/0.25 86/0.5 84/0.5 86/0.25 86/0.25 86/0.25 "
           "88/0.25 91/1 89/0.25 88/0.25 86/0.25 84/0.25 83/1 84/2",
           soundfont="MuseScore"),
    Melody("voice_oohs_slides", 53, "Voice Oohs", 76, -4.0,
           "57/1l 60/1g 64/1l 62/1l 60/2 r/1 64/1g 67/1 65/1l 64/1l 62/1g 60/1 "
           "57/2l 55/1 57/3",
           vibrato=0.25, fold="held"),
    Melody("tuba_low", 58, "Tuba", 84, -4.0,
           "34/1 30/1 34/1 37/1 41/1l 39/1l 37/1l 34/1 r/1 30/1 30/0.5s 30/0.5s 32/1 "
           "34/1 37/2 34/1 30/2",
           soundfont="MuseScore"),
    Melody("acoustic_bass_low", 32, "Acoustic Bass", 100, -3.0,
           "28/1 31/1 33/1 35/1 36/1 35/1 33/1 30/1 30/0.5 30/0.5 33/1 35/1 "
           "40/1 38/1 35/1 31/1 28/2",
           fold="held"),
    Melody("clarinet_chromatic", 71, "Clarinet", 120, -5.0,
           "60/0.5l 61/0.5l 62/0.5l 63/0.5l 64/0.5l 65/0.5l 66/0.5l 67/1 r/0.5 "
           "67/0.5l 67/0.5l 67/0.5l 66/0.5l 65/0.5l 64/0.5l 63/0.5l 62/1 r/0.5 "
           "70/0.5l 69/0.5l 70/0.5l 71/0.5l 72/2",
           soundfont="MuseScore", fold="held"),
    Melody("flute_legato_repeats", 73, "Flute", 100, -6.0,
           "79/0.5l 79/0.5l 79/0.5l 81/0.5l 83/1l 83/0.5l 83/0.5l 81/1 r/1 "
           "76/0.5l 76/0.5l 77/0.5l 77/0.5l 79/0.5l 79/0.5l 81/1 79/2",
           soundfont="MuseScore"),
    Melody("trumpet_fast", 56, "Trumpet", 180, -3.0,
           "67/0.5 72/0.5 76/0.5 79/0.5 76/0.5 72/0.5 67/1 r/0.5 74/0.25 76/0.25 74/0.5 "
           "72/0.5 71/0.5 69/0.5 67/0.5 67/0.5 67/0.5 72/2 r/1 79/0.5 77/0.5 76/0.5 74/0.5 72/2",
           soundfont="MuseScore", fold="held"),
    Melody("violin_vibrato", 40, "Violin", 90, -6.0,
           "69/1l 71/1l 72/2g 74/1 76/1l 77/1l 76/1 74/1 r/1 "
           "81/1.5l 79/0.5l 77/1g 76/1 74/1l 72/1l 71/2",
           vibrato=0.25, soundfont="MuseScore"),
    Melody("soprano_sax_runs", 64, "Soprano Sax", 140, -5.0,
           "72/0.25 74/0.25 76/0.25 77/0.25 79/0.5 77/0.5 76/0.25 74/0.25 72/0.25 71/0.25 "
           "72/1 r/0.5 79/0.5 79/0.5 81/0.25 79/0.25 77/0.25 76/0.25 74/1 72/2",
           fold="held"),
    Melody("horn_legato", 60, "French Horn", 70, -4.0,
           "53/1l 57/1l 60/1g 65/1 64/1l 62/1l 60/2 r/1 58/1l 60/1l 62/1l 65/1 60/2",
           soundfont="MuseScore"),
    Melody("choir_vowels", 52, "Choir Aahs", 84, -4.0,
           "64/1l 65/1l 67/2l 69/1g 72/1 71/1l 69/1l 67/2 r/1 60/1l 64/1l 67/1l 72/3",
           vibrato=0.2, soundfont="MuseScore", fold="held"),
    Melody("viola_detached", 41, "Viola", 120, -5.0,
           "60/0.5 62/0.5 64/0.5 64/0.5 64/0.5 62/0.5 60/1 r/0.5 55/0.5 57/0.5 59/0.5 60/0.5 "
           "60/0.5 60/0.5 62/0.5 64/2",
           soundfont="MuseScore"),

    # Real recordings of a struck instrument: the Salamander grand piano, one note at a time.
    Melody("piano_scale_fast", 0, "Grand Piano", 160, -4.0,
           "60/0.25 62/0.25 64/0.25 65/0.25 67/0.25 69/0.25 71/0.25 72/0.25 74/0.5 72/0.5 "
           "71/0.25 69/0.25 67/0.25 65/0.25 64/0.25 62/0.25 60/1 r/0.5 67/0.25 69/0.25 71/0.25 "
           "72/0.25 74/0.25 76/0.25 77/0.25 79/0.25 81/1",
           soundfont="Salamander"),
    Melody("piano_repeats", 0, "Grand Piano", 120, -4.0,
           "67/0.5 67/0.5 67/0.5 63/2 r/0.5 65/0.5 65/0.5 65/0.5 62/2 r/0.5 "
           "72/0.5l 72/0.5l 72/0.5l 71/0.5l 71/0.5l 71/0.5l 69/1 67/2",
           soundfont="Salamander", fold="held"),
    Melody("piano_bass", 0, "Grand Piano", 90, -3.0,
           "36/1 31/1 30/1 33/1 35/1 36/1 40/1 43/2 r/1 30/1 34/1 37/1 42/1 41/1 38/1 36/2",
           soundfont="Salamander"),
    Melody("piano_high", 0, "Grand Piano", 140, -5.0,
           "84/0.5 88/0.5 91/0.5 96/0.5 93/0.5 91/0.5 88/0.5 86/0.5 84/1 r/0.5 "
           "89/0.25 91/0.25 93/0.25 94/0.25 96/0.5 94/0.5 93/0.5 91/0.5 89/2",
           soundfont="Salamander", fold="held"),
    Melody("piano_song", 0, "Grand Piano", 100, -4.0,
           "60/1 60/0.5 62/0.5 64/1 60/1 64/0.5s 65/0.5s 67/2 r/0.5 "
           "67/0.5 69/0.5 67/0.5 65/0.5 64/1 60/1 62/1 55/1 60/2",
           soundfont="Salamander"),
    Melody("piano_arpeggios", 0, "Grand Piano", 132, -4.0,
           "48/0.5 52/0.5 55/0.5 60/0.5 64/0.5 60/0.5 55/0.5 52/0.5 "
           "50/0.5 53/0.5 57/0.5 62/0.5 65/0.5 62/0.5 57/0.5 53/0.5 48/2",
           soundfont="Salamander", fold="held"),
    Melody("piano_chromatic", 0, "Grand Piano", 120, -4.0,
           "64/0.5l 65/0.5l 66/0.5l 67/0.5l 68/0.5l 69/0.5l 70/0.5l 71/1 r/0.5 "
           "59/0.5l 58/0.5l 57/0.5l 56/0.5l 55/1l 54/1",
           soundfont="Salamander"),
    Melody("piano_repeated_notes", 0, "Grand Piano", 132, -4.0,
           "64/0.5 64/0.5 64/0.5 64/0.5 67/0.5l 67/0.5l 65/1 r/0.5 60/0.25 60/0.25 60/0.5 "
           "62/0.5 62/0.5 62/0.25 62/0.25 59/1 r/0.5 72/0.5l 72/0.5l 71/0.5 71/0.5 69/2",
           soundfont="Salamander"),
    Melody("piano_low_mid", 0, "Grand Piano", 108, -4.0,
           "43/0.5 45/0.5 47/0.5 48/0.5 50/1 47/1 45/0.5 43/0.5 42/1 r/0.5 "
           "38/0.5 42/0.5 45/0.5 50/0.5 49/1 45/1 40/2",
           soundfont="Salamander", fold="held"),
]

MELODIES += [Melody(**fields, soundfont="FluidR3") for fields in fluid_melodies.MELODIES]
MELODIES += [Melody(**fields, soundfont="Recorded") for fields in recorded_melodies.MELODIES]

# Each quick setting is measured on the melodies of its instrument family.
QUICK_SETTINGS_MELODIES = {
    "bass": ["bass_walk", "bassoon_march", "tuba_low", "acoustic_bass_low"],
    "cello": ["cello_song", "trombone_glides", "horn_legato"],
    "flute": ["flute_high", "pan_flute_dance", "recorder_repeats", "piccolo_sixteenths",
              "flute_legato_repeats"],
    "piano": ["piano_scale_fast", "piano_repeats", "piano_bass", "piano_high", "piano_song",
              "piano_arpeggios", "piano_chromatic", "piano_repeated_notes", "piano_low_mid"],
    "saxophone": ["alto_sax_ballad", "choir_aah", "soprano_sax_runs"],
    "trumpet": ["trumpet_repeats", "oboe_staccato", "trumpet_fast"],
    "violin": ["violin_runs", "oboe_staccato", "violin_vibrato", "viola_detached"],
    "voice": ["choir_aah", "alto_sax_ballad", "voice_oohs_slides", "choir_vowels"],
    "whistle": ["whistle_glides", "recorder_repeats", "pan_flute_dance"],
}

# The smoke test's melodies: one high and one low, both short, and one on the piano;
# all three held out of the tuning.
SMOKE = ["flute_high", "bassoon_march", "piano_repeats"]


def by_name(names):
    index = {m.name: m for m in MELODIES}
    return [index[n] for n in names]


def _bend_value(semitones):
    value = 8192 + round(semitones / SOURCE_BEND_RANGE * (8191 if semitones > 0 else 8192))
    return max(0, min(16383, value))


def write_midi(melody: Melody, path):
    """Write `melody` as a format 0 Standard MIDI File at `path`."""
    events = []  # (time_s, order, message); order keeps same-time messages in sequence

    def at(t, order, msg):
        events.append((t, order, msg))

    at(0.0, 0, mido.Message("program_change", channel=0, program=melody.program))
    # Bend range by registered parameter 0, then the null parameter; a reverb
    # send for the reverb variant (the clean rendering switches reverb off).
    for i, (cc, value) in enumerate([(101, 0), (100, 0), (6, SOURCE_BEND_RANGE), (38, 0),
                                     (101, 127), (100, 127), (91, 80), (93, 0)]):
        at(0.0, 1 + i, mido.Message("control_change", channel=0, control=cc, value=value))
    at(0.0, 10, mido.Message("pitchwheel", channel=0, pitch=0))

    notes = melody.notes()
    for start, sounding, key, glide_to in notes:
        end = start + sounding
        at(start, 20, mido.Message("pitchwheel", channel=0, pitch=0))
        at(start, 21, mido.Message("note_on", channel=0, note=key, velocity=96))
        for t, semitones in melody.bends(start, sounding, key, glide_to):
            at(t, 15, mido.Message("pitchwheel", channel=0,
                                   pitch=_bend_value(semitones) - 8192))
        at(end, 5, mido.Message("note_off", channel=0, note=key, velocity=0))

    events.sort(key=lambda e: (e[0], e[1]))
    mid = mido.MidiFile(type=0, ticks_per_beat=TICKS_PER_BEAT)
    track = mido.MidiTrack()
    mid.tracks.append(track)
    track.append(mido.MetaMessage("track_name", name=f"{melody.name} ({melody.instrument})"))
    track.append(mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(melody.bpm)))
    ticks_per_s = TICKS_PER_BEAT * melody.bpm / 60.0
    last = 0
    for t, _, msg in events:
        tick = round(t * ticks_per_s)
        track.append(msg.copy(time=tick - last))
        last = tick
    # A second of silence at the end lets the last note's release ring out.
    end_tick = round((melody.duration() + 1.0) * ticks_per_s)
    track.append(mido.MetaMessage("end_of_track", time=max(0, end_tick - last)))
    mid.save(str(path))
