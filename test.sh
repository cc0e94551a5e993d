#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite in a
# normal build and in an AddressSanitizer + UndefinedBehaviorSanitizer build,
# the fuzz targets for a bounded time, and the analysis tests again with the
# optional FFTW 3 backend.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== Sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DMELOVANTIS_SANITIZE=ON \
  -DMELOVANTIS_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

echo "== ThreadSanitizer build of the live tests"
# The capture thread, the device threads and the window share the engine's
# live controls and display, and the sample queue between the device and the
# capture thread; this build checks them for data races.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELOVANTIS_TSAN=ON \
  -DMELOVANTIS_BUILD_BENCH=OFF -DMELOVANTIS_BUILD_GUI=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target audio_tests conversion_tests live_tests ui_tests
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/../tests/live/tsan.supp" \
  ctest --output-on-failure -j"$jobs" -R '^(SampleQueue|LiveRun|LiveDisplayValues|LiveThroughJack|LiveCommandThroughJack|LiveCommandWithFrozenServer|LiveCommandWithoutSoundServer|RealTime|Player)\.')

echo "== Fuzz targets"
# Replays fuzz/regressions, then 30 s per target (scripts/fuzz.sh 600 is the long run).
./scripts/fuzz.sh 30

echo "== FFTW 3 backend"
cmake -S . -B build-fftw3 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELOVANTIS_FFT=fftw3 \
  -DMELOVANTIS_BUILD_BENCH=OFF >/dev/null
cmake --build build-fftw3 -j"$jobs" --target engine_tests conversion_tests
(cd build-fftw3 && ctest --output-on-failure -j"$jobs" -R '^(RealFft|FrameAnalysis|AnalysisEngine|AttackDetector|ConversionDriverTest)\.')
