#!/usr/bin/env bash
# Installs what is missing, builds, and runs Melovantis.
#   ./run.sh                   the desktop window (on a desktop: X11 or Wayland), else the usage
#   ./run.sh FILE              convert a recording: FILE.mid and FILE.csv beside it
#   ./run.sh convert|edit|wizard ...   any melovantis-cli command, as it is
#   ./run.sh window [OPTIONS]  the desktop window with its options (--no-splash, --program-folder DIR)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh"
# An optimised build of its own, apart from the test builds.
build="$here/build-release"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
jobs="$(nproc 2>/dev/null || echo 2)"

cli="$build/cli/melovantis-cli"
window="$build/ui/qt/melovantis"

run_window() {
  cmake --build "$build" -j"$jobs" --target melovantis >/dev/null
  exec "$window" "$@"
}

if [ "$#" -eq 0 ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    run_window
  fi
  cmake --build "$build" -j"$jobs" --target melovantis-cli >/dev/null
  echo "No display here, so no window: this is what the command line does." >&2
  exec "$cli" --help
fi
case "$1" in
  window) shift; run_window "$@" ;;
esac
cmake --build "$build" -j"$jobs" --target melovantis-cli >/dev/null
case "$1" in
  convert|edit|wizard|devices|live|help|--help|-h|--version) exec "$cli" "$@" ;;
esac

input="$1"
shift
base="${input%.*}"
exec "$cli" convert "$input" --summary --midi "$base.mid" --frames "$base.csv" "$@"
