#!/usr/bin/env bash
# Measured accuracy in one command: writes the test melodies as MIDI, renders
# them with FluidSynth (TimGM6mb, MuseScore General and FluidR3) and plays the
# piano and instrument melodies from real recordings of single notes (installed
# with npm or from Debian's grandorgue-demo into the work folder), each clean,
# with reverb and with noise, converts every rendering with melovantis-cli
# (factory settings, the notation workflow, the Settings Wizard), with Basic
# Pitch (installed with npm on first use; left out with a word when it cannot
# be) and with aubionotes, scores all of them against the source MIDI with
# mir_eval and prints Markdown tables.
#
#   bench/accuracy/run.sh                 the full run (builds melovantis-cli first)
#   bench/accuracy/run.sh --smoke         three melodies, clean only, no Basic Pitch
#   bench/accuracy/run.sh --cli PATH ...  measure that program; other options go
#                                         to evaluate.py (see --help)
#
# Exits 77 when a tool it needs is not installed, so that CTest reports a skip.
# Melodies whose sounds cannot be had (FluidR3, the recordings) are left out
# with a word on standard error.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
python=/usr/bin/python3

# The full run plays sounds the tests' smoke run does without; they are
# installed on its first use.
case " $* " in
  *" --smoke "*) ;;
  *) "$root/scripts/install-deps.sh" --bench ;;
esac

missing=()
for tool in fluidsynth ffmpeg aubionotes npm; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
[ -f /usr/share/sounds/sf2/TimGM6mb.sf2 ] || missing+=(timgm6mb-soundfont)
[ -f /usr/share/sounds/sf3/MuseScore_General.sf3 ] || missing+=(musescore-general-soundfont-small)
if [ ! -x "$python" ] || ! "$python" -c 'import mir_eval, mido, numpy' >/dev/null 2>&1; then
  missing+=("python3-mir-eval/python3-mido/python3-numpy")
fi
if [ "${#missing[@]}" -ne 0 ]; then
  echo "accuracy run skipped: not installed: ${missing[*]}" >&2
  exit 77
fi

cli=${MELOVANTIS_CLI:-}
smoke=0
args=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --cli=*) cli=${1#--cli=}; shift ;;
    --smoke) smoke=1; args+=("$1"); shift ;;
    *) args+=("$1"); shift ;;
  esac
done

if [ -z "$cli" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" -j"$(nproc 2>/dev/null || echo 2)" --target melovantis-cli >/dev/null
  cli=$root/build/cli/melovantis-cli
fi

if [ "$smoke" -eq 0 ]; then
  args=(--presets --per-melody "${args[@]}")
fi

start=$(date +%s)
status=0
"$python" "$here/evaluate.py" --cli "$cli" "${args[@]}" || status=$?
echo "Whole run: $(( $(date +%s) - start )) s."
exit "$status"
