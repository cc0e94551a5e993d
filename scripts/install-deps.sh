#!/usr/bin/env bash
# Installs, with apt-get, only the Debian packages that are missing.
#   scripts/install-deps.sh           what the build, the tests and the package need
#   scripts/install-deps.sh --bench   also the sounds only the full accuracy run plays
set -euo pipefail

packages=(
  build-essential
  cmake
  pkg-config
  fftw-dev
  libfftw3-dev
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  ffmpeg
  fluidsynth
  timgm6mb-soundfont
  musescore-general-soundfont-small
  midicsv
  clang
  libclang-rt-14-dev
  python3-mir-eval
  python3-mido
  python3-numpy
  aubio-tools
  qt6-base-dev
  xvfb
  xauth
  librtaudio-dev
  libfluidsynth-dev
  groff-base
  man-db
  # The LV2 plugin: its headers and resampler, the tests' host library, and
  # lv2_validate (lv2-dev) with the sord_validate it runs (sordi).
  lv2-dev
  libspeexdsp-dev
  liblilv-dev
  lilv-utils
  sordi
  # The Debian package build (cpack -G DEB): CPack's DEB generator needs
  # `file`, and dpkg-shlibdeps (dpkg-dev) reads the package's dependencies.
  file
  dpkg-dev
)

# The full accuracy run's unseen SoundFont (120 MB) and organ recordings: the
# tests' smoke run does without them.
if [ "${1:-}" = "--bench" ]; then
  packages+=(fluid-soundfont-gm grandorgue-demo)
fi

# RtMidi goes in one command with JACK 2: asked for alone, apt satisfies its
# JACK dependency with JACK 1 and removes jackd2 (and jack_lsp, jack_connect).
# jalv, the LV2 host the plugin is tested in, depends on JACK too.
jack_group=(librtmidi-dev jackd2 libjack-jackd2-dev jalv)

# The accuracy evaluation installs its piano and instrument recordings and Basic
# Pitch with npm; a machine whose Node.js came with its own npm needs nothing more.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

for p in "${jack_group[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("${jack_group[@]}")
    break
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
