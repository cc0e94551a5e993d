#!/usr/bin/env bash
# Whole-process conversion speed of melovantis-cli against aubio's aubionotes
# and Spotify's Basic Pitch on the same three-minute recording, measured in the
# same run, the others timed between the runs of melovantis-cli so that all see
# the same machine. melovantis-cli analyses on every core unless told --jobs 1.
# Basic Pitch runs as a user would run it on one file: Node.js starting,
# TensorFlow.js and the model loading, the file resampled and transcribed
# (bench/accuracy/basic_pitch.mjs); it is installed with npm on first use into
# $MELOVANTIS_ACCURACY_WORK (default: $TMPDIR/melovantis-accuracy), and left
# out with a word when npm cannot install it.
#   bench/speed/run.sh [REPEATS] [BASIC_PITCH_REPEATS]   (best of 7 and of 1)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
repeats="${1:-7}"
bp_repeats="${2:-1}"

"$root/scripts/install-deps.sh"  # aubio-tools included

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
for fft in fftw2 fftw3; do
  cmake -S "$root" -B "$root/build-speed-$fft" -DCMAKE_BUILD_TYPE=Release -DMELOVANTIS_FFT=$fft \
    -DMELOVANTIS_BUILD_TESTS=OFF -DMELOVANTIS_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build "$root/build-speed-$fft" -j"$(nproc)" --target melovantis-cli >/dev/null
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Three minutes: the example melody eighteen times over.
ffmpeg -loglevel error -y -stream_loop 17 -i "$root/examples/melody.wav" -c copy "$work/song.wav"

bp_work="${MELOVANTIS_ACCURACY_WORK:-${TMPDIR:-/tmp}/melovantis-accuracy}"
bp_prefix=$(/usr/bin/python3 -c 'import sys; sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[1]); import basicpitch
try:
    print(basicpitch.install(sys.argv[2]))
except basicpitch.Unavailable as error:
    print(f"Basic Pitch left out: {error}", file=sys.stderr)' "$root/bench/accuracy" "$bp_work") || bp_prefix=""

/usr/bin/python3 - "$work" "$repeats" "$root" "$bp_prefix" "$bp_repeats" <<'PY'
import os, subprocess, sys, time
work, repeats, root = sys.argv[1], int(sys.argv[2]), sys.argv[3]
bp_prefix, bp_repeats = sys.argv[4], int(sys.argv[5])
song = os.path.join(work, "song.wav")
seconds = (os.path.getsize(song) - 44) / 88200.0
settings = os.path.join(root, "data", "Private")

def best(cmd, repeats=repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return min(times)

def cli(fft, setting):
    return [os.path.join(root, f"build-speed-{fft}", "cli", "melovantis-cli"), "convert", song,
            "--settings", os.path.join(settings, setting), "--midi", os.path.join(work, "out.mid"), "--quiet"]

rows = []
aubio = best(["aubionotes", "-i", song])
basic_pitch = None
if bp_prefix:
    basic_pitch = best(["node", os.path.join(root, "bench", "accuracy", "basic_pitch.mjs"), bp_prefix,
                        f"{song}={os.path.join(work, 'song.json')}"], bp_repeats)
for fft in ("fftw2", "fftw3"):
    rows.append((f"melovantis-cli, factory default.set, {fft}", best(cli(fft, "default.set"))))
    rows.append((f"melovantis-cli, factory default.set, {fft}, one core",
                 best(cli(fft, "default.set") + ["--jobs", "1"])))
    rows.append((f"melovantis-cli, factory default.set, {fft}, onsets at the frame",
                 best(cli(fft, "default.set") + ["--onset-placement", "frame"])))
# 60 ms frames without overlap: mode 0, the speed target's setting.
mode0 = os.path.join(work, "mode0.set")
with open(os.path.join(settings, "default.set")) as f:
    values = f.read().split()
values[0], values[4] = "60", "0"
with open(mode0, "w") as f:
    f.write("\n".join(values) + "\n")
for fft in ("fftw2", "fftw3"):
    cmd = cli(fft, "default.set")
    cmd[cmd.index("--settings") + 1] = mode0
    rows.append((f"melovantis-cli, 60 ms frames, mode 0, {fft}", best(cmd)))
rows.append(("aubionotes (default options)", min(aubio, best(["aubionotes", "-i", song]))))
aubio = rows[-1][1]
if basic_pitch is not None:
    rows.append(("Basic Pitch 1.0.1 (Node.js, TensorFlow.js 3.21 WebAssembly, default thresholds)",
                 basic_pitch))

print(f"Recording: {seconds:.1f} s, best of {repeats} runs (Basic Pitch: of {bp_repeats}), "
      "whole process; the last two columns: how many times faster than each")
print()
print("| Program | Time | Real time | vs aubionotes | vs Basic Pitch |")
print("|---|---|---|---|---|")
for name, t in rows:
    versus = f"{basic_pitch / t:.1f}x" if basic_pitch is not None else "–"
    print(f"| {name} | {t * 1000:.0f} ms | {seconds / t:.1f}x | {aubio / t:.2f}x | {versus} |")
PY
