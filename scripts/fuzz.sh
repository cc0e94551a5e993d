#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (-fsanitize=fuzzer,address,undefined)
# into build-fuzz/, replays every input kept in fuzz/regressions/, then fuzzes
# each target for SECONDS (default 30).
#
#   scripts/fuzz.sh               every target, 30 s each (what ./test.sh runs)
#   scripts/fuzz.sh 600           the long run: ten minutes each
#   scripts/fuzz.sh 600 FuzzWaveConversion
#
# Seeds come from fuzz/corpus/<target>/ (made by melovantis_fuzz_seeds, which
# fills in any that are missing); what the fuzzer learns is kept in
# build-fuzz/corpus/<target>/ for the next run; findings go to
# build-fuzz/findings/<target>/ and the log of each run to build-fuzz/logs/.
# A crash, a hang or undefined behaviour makes the script fail. Fix the fault,
# then keep the input in fuzz/regressions/<target>/ under a name that says what it is.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
all_targets=(FuzzWaveConversion FuzzProjectFile FuzzSettingsFile)
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  targets=("${all_targets[@]}")
fi

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz.sh: clang++ is missing (Debian packages clang and libclang-rt-14-dev)" >&2
  exit 1
fi

build=build-fuzz
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DMELOVANTIS_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" --target "${all_targets[@]}" melovantis_fuzz_seeds

for t in "${all_targets[@]}"; do
  if [ ! -d "fuzz/corpus/$t" ] || [ -z "$(ls -A "fuzz/corpus/$t")" ]; then
    "$build/melovantis_fuzz_seeds" fuzz/corpus
    break
  fi
done

max_len() {
  case "$1" in
    FuzzWaveConversion) echo 20000 ;;  # a few dozen frames at the shortest hop
    FuzzProjectFile) echo 8192 ;;
    FuzzSettingsFile) echo 1024 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()

# Every input that once found a fault must now pass.
for t in "${targets[@]}"; do
  shopt -s nullglob
  kept=(fuzz/regressions/"$t"/*)
  shopt -u nullglob
  if [ "${#kept[@]}" -gt 0 ]; then
    echo "== $t: replaying ${#kept[@]} regression input(s)"
    if ! "$build/$t" -timeout=25 -rss_limit_mb=2048 "${kept[@]}" >"$build/replay-$t.log" 2>&1; then
      echo "fuzz.sh: $t fails on a kept regression input; see $build/replay-$t.log" >&2
      failed+=("$t (regression)")
    fi
  fi
done

mkdir -p "$build/logs"
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/findings/$t"
  log="$build/logs/$t.log"
  echo "== $t: fuzzing for $seconds s (log: $log)"
  status=0
  "$build/$t" "$build/corpus/$t" "fuzz/corpus/$t" \
    -dict="fuzz/$t.dict" -max_len="$(max_len "$t")" -max_total_time="$seconds" \
    -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t/" >"$log" 2>&1 || status=$?
  # libFuzzer's closing lines: executions, coverage (cov), features (ft), corpus.
  grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb)' \
    "$log" | sed 's/^/   /' || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: $t found a fault (exit $status):" >&2
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written|melovantis fuzz:' "$log" | head -20 >&2 || true
    failed+=("$t")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: no findings (${targets[*]}, $seconds s each)"
