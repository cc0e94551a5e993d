#!/usr/bin/env bash
# Renders examples/melody.wav from the MIDI melody that make-example.py writes,
# with FluidSynth and Debian's General MIDI SoundFont, as 44100 Hz mono 16-bit PCM.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

soundfont=/usr/share/sounds/sf2/TimGM6mb.sf2
python3 "$here/make-example.py" "$tmp/melody.mid"
fluidsynth -ni -q -g 0.8 -r 44100 -F "$tmp/stereo.wav" "$soundfont" "$tmp/melody.mid" >/dev/null
ffmpeg -loglevel error -y -i "$tmp/stereo.wav" -t 10 -ar 44100 -ac 1 -acodec pcm_s16le "$here/melody.wav"
cp "$tmp/melody.mid" "$here/melody-source.mid"
