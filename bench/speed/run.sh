#!/usr/bin/env bash
# Whole-process conversion speed of melovantis-cli against aubio's aubionotes
# on the same three-minute recording, measured in the same run, aubionotes
# timed between the runs of melovantis-cli so that both see the same machine.
# melovantis-cli analyses on every core unless told --jobs 1.
#   bench/speed/run.sh [REPEATS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
repeats="${1:-7}"

"$root/scripts/install-deps.sh"  # aubio-tools included

for fft in fftw2 fftw3; do
  cmake -S "$root" -B "$root/build-speed-$fft" -DCMAKE_BUILD_TYPE=Release -DMELOVANTIS_FFT=$fft \
    -DMELOVANTIS_BUILD_TESTS=OFF -DMELOVANTIS_BUILD_BENCH=OFF >/dev/null
  cmake --build "$root/build-speed-$fft" -j"$(nproc)" --target melovantis-cli >/dev/null
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Three minutes: the example melody eighteen times over.
ffmpeg -loglevel error -y -stream_loop 17 -i "$root/examples/melody.wav" -c copy "$work/song.wav"

python3 - "$work" "$repeats" "$root" <<'PY'
import os, subprocess, sys, time
work, repeats, root = sys.argv[1], int(sys.argv[2]), sys.argv[3]
song = os.path.join(work, "song.wav")
seconds = (os.path.getsize(song) - 44) / 88200.0
settings = os.path.join(root, "data", "Private")

def best(cmd):
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

print(f"Recording: {seconds:.1f} s, best of {repeats} runs, whole process")
print()
print("| Program | Time | Real time | vs aubionotes |")
print("|---|---|---|---|")
for name, t in rows:
    print(f"| {name} | {t * 1000:.0f} ms | {seconds / t:.0f}x | {aubio / t:.2f}x |")
PY
