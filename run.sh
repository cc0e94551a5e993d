#!/usr/bin/env bash
# Installs what is missing, builds, and runs Melovantis.
#   ./run.sh FILE.wav          convert a recording (writes FILE.csv beside it)
#   ./run.sh convert ...       any melovantis-cli command, as it is
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc 2>/dev/null || echo 2)" --target melovantis-cli >/dev/null

cli="$here/build/cli/melovantis-cli"
export MELOVANTIS_DATA="$here/data"

if [ "$#" -eq 0 ]; then
  exec "$cli" --help
fi
case "$1" in
  convert|edit|wizard|devices|live|--help|-h) exec "$cli" "$@" ;;
esac

input="$1"
shift
exec "$cli" convert "$input" --summary --frames "${input%.*}.csv" "$@"
