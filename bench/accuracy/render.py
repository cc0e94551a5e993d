"""Render a melody to a 44.1 kHz mono 16-bit WAVE file, in three variants.

  clean   FluidSynth with its reverb and chorus off (the piano: dry)
  reverb  FluidSynth's own reverb on, a large room (the piano: a synthetic hall)
  noise   the clean rendering plus pink noise 20 dB below the music

General MIDI melodies are played by FluidSynth with the TimGM6mb, the
MuseScore General or the FluidR3 SoundFont; FluidSynth writes 32-bit float
stereo and ffmpeg mixes it down to mono. Piano melodies are played from real
recordings (piano.py), and so are the melodies of other recorded instruments
(recordings.py; reverb: the same synthetic hall). Each file is then normalised
to its melody's peak level and written as 16-bit PCM.
"""

from __future__ import annotations

import os
import subprocess
import tempfile
import wave

import numpy as np

import piano
import recordings

SOUNDFONT = "/usr/share/sounds/sf2/TimGM6mb.sf2"
SOUNDFONTS = {
    "TimGM6mb": SOUNDFONT,
    "MuseScore": "/usr/share/sounds/sf3/MuseScore_General.sf3",
    "FluidR3": "/usr/share/sounds/sf2/FluidR3_GM.sf2",
}
SAMPLE_RATE = 44100
VARIANTS = ("clean", "reverb", "noise")
NOISE_SNR_DB = 20.0

_REVERB_OPTIONS = ["-R", "1",
                   "-o", "synth.reverb.room-size=0.75",
                   "-o", "synth.reverb.damp=0.3",
                   "-o", "synth.reverb.width=1.0",
                   "-o", "synth.reverb.level=0.8"]


def _synthesize(midi_path, reverb, soundfont=SOUNDFONT):
    """Mono float samples of `midi_path` as FluidSynth plays it."""
    with tempfile.TemporaryDirectory(prefix="melovantis-render-") as tmp:
        stereo = os.path.join(tmp, "stereo.wav")
        command = ["fluidsynth", "-ni", "-q", "-C", "0", "-r", str(SAMPLE_RATE), "-g", "0.6",
                   "-O", "float", "-T", "wav", "-F", stereo]
        command += _REVERB_OPTIONS if reverb else ["-R", "0"]
        command += [soundfont, str(midi_path)]
        # Time limits, so a program that hangs fails the run instead of stalling it.
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       timeout=300)
        mono = subprocess.run(
            ["ffmpeg", "-nostdin", "-loglevel", "error", "-i", stereo, "-ac", "1",
             "-ar", str(SAMPLE_RATE), "-f", "f32le", "-c:a", "pcm_f32le", "-"],
            check=True, stdout=subprocess.PIPE, timeout=300).stdout
    return np.frombuffer(mono, dtype="<f4").astype(np.float64)


def _pink_noise(count, seed):
    rng = np.random.default_rng(seed)
    spectrum = np.fft.rfft(rng.standard_normal(count))
    freqs = np.fft.rfftfreq(count, 1.0 / SAMPLE_RATE)
    # 1/f power from 20 Hz up; nothing below.
    shape = np.where(freqs >= 20.0, 1.0 / np.sqrt(np.maximum(freqs, 20.0)), 0.0)
    noise = np.fft.irfft(spectrum * shape, count)
    return noise / np.sqrt(np.mean(noise ** 2))


def _active_rms(samples):
    """RMS over the 10 ms blocks that are within 40 dB of the loudest."""
    block = SAMPLE_RATE // 100
    count = len(samples) // block
    if count == 0:
        return 0.0
    power = np.mean(samples[: count * block].reshape(count, block) ** 2, axis=1)
    active = power[power >= power.max() * 1e-4]
    return float(np.sqrt(np.mean(active)))


def _write_wave(path, samples):
    pcm = np.clip(np.round(samples * 32767.0), -32768, 32767).astype("<i2")
    tmp = f"{path}.part"
    with wave.open(tmp, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SAMPLE_RATE)
        w.writeframes(pcm.tobytes())
    os.replace(tmp, path)


def render(melody, midi_path, wav_path, variant, seed, work):
    """Write `variant` of `melody` (written to `midi_path`) to `wav_path`, its peak at the
    melody's peak level."""
    if variant not in VARIANTS:
        raise ValueError(f"unknown variant {variant}")
    peak_db = melody.peak_db
    if melody.soundfont == "Salamander":
        samples = piano.synthesize(melody, work, reverb=(variant == "reverb"), seed=seed)
    elif melody.soundfont == "Recorded":
        samples = recordings.synthesize(melody, work, reverb=(variant == "reverb"), seed=seed)
    else:
        samples = _synthesize(midi_path, reverb=(variant == "reverb"),
                              soundfont=SOUNDFONTS[melody.soundfont])
    peak = np.max(np.abs(samples)) if len(samples) else 0.0
    target = 10.0 ** (peak_db / 20.0)
    if peak > 0.0:
        samples = samples * (target / peak)
    if variant == "noise":
        noise_rms = _active_rms(samples) * 10.0 ** (-NOISE_SNR_DB / 20.0)
        samples = samples + noise_rms * _pink_noise(len(samples), seed)
        peak = np.max(np.abs(samples))
        if peak > target:
            samples = samples * (target / peak)
    _write_wave(wav_path, samples)
