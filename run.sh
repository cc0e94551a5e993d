#!/usr/bin/env bash
# Installs what is missing, builds, and runs Melovantis.
#   ./run.sh FILE              convert a recording: FILE.mid and FILE.csv beside it
#   ./run.sh convert|edit|wizard ...   any melovantis-cli command, as it is
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh"
# An optimised build of its own, apart from the test builds.
cmake -S "$here" -B "$here/build-release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build-release" -j"$(nproc 2>/dev/null || echo 2)" --target melovantis-cli >/dev/null

cli="$here/build-release/cli/melovantis-cli"

if [ "$#" -eq 0 ]; then
  # The window version is not built yet; show what the command line does.
  exec "$cli" --help
fi
case "$1" in
  convert|edit|wizard|help|--help|-h) exec "$cli" "$@" ;;
esac

input="$1"
shift
base="${input%.*}"
exec "$cli" convert "$input" --summary --midi "$base.mid" --frames "$base.csv" "$@"
