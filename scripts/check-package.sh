#!/usr/bin/env bash
# Builds the Debian package and checks that it installs and starts on a clean
# Debian 12: debootstrap a minimal bookworm into a folder, apt install the
# .deb there, start both programs (the window on a private Xvfb display) and
# save a screenshot. Needs root, network access to a Debian mirror, and the
# packages debootstrap, xvfb and imagemagick.
#   scripts/check-package.sh [WORK_FOLDER [MIRROR]]
# WORK_FOLDER defaults to /tmp/melovantis-package-check; MIRROR (a URL) to the
# mirror this machine's own apt sources name for bookworm.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-/tmp/melovantis-package-check}"
root="$work/bookworm"

# The first enabled "deb" source for `suite` in the apt sources: one-line
# entries in sources.list and sources.list.d/*.list, deb822 stanzas in
# sources.list.d/*.sources.
mirror_from_apt_sources() {
  local suite="$1" file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" '
      $1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }  # [options]
        if ($(i + 1) == suite) { print $i; exit }
      }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" '
      BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; suites = ""; enabled = "yes"
        for (k = 1; k <= NF; k++) {
          if ($k ~ /^[ \t]*#/ || index($k, ":") == 0) continue
          key = tolower(substr($k, 1, index($k, ":") - 1))
          value = substr($k, index($k, ":") + 1)
          gsub(/^[ \t]+|[ \t]+$/, "", value)
          if (key == "types") types = value
          else if (key == "uris") uris = value
          else if (key == "suites") suites = value
          else if (key == "enabled") enabled = tolower(value)
        }
        if (enabled != "no" && index(" " types " ", " deb ") && index(" " suites " ", " " suite " ")) {
          split(uris, first, /[ \t]+/); print first[1]; exit
        }
      }' "$file"
  done
}

mirror="${2:-$(mirror_from_apt_sources bookworm | head -n 1)}"
if [ -z "$mirror" ]; then
  echo "No Debian mirror for bookworm in the apt sources; give one: $0 WORK_FOLDER MIRROR" >&2
  exit 2
fi
mkdir -p "$work"

cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DMELOVANTIS_BUILD_TESTS=OFF \
  -DMELOVANTIS_BUILD_BENCH=OFF >/dev/null
cmake --build "$work/build" -j"$(nproc)" >/dev/null
(cd "$work/build" && rm -f melovantis_*.deb && cpack -G DEB >/dev/null)
deb="$(ls "$work"/build/melovantis_*.deb)"
echo "Package: $deb"

[ -d "$root/usr" ] || debootstrap --variant=minbase bookworm "$root" "$mirror"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
mkdir -p "$root/tmp/.X11-unix"
mountpoint -q "$root/tmp/.X11-unix" || mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
cleanup() { umount "$root/tmp/.X11-unix" "$root/proc" 2>/dev/null || true; kill "${xvfb:-0}" 2>/dev/null || true; }
trap cleanup EXIT

chroot "$root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$(basename "$deb") >/dev/null"
chroot "$root" melovantis --version
chroot "$root" melovantis-cli --help | head -1
chroot "$root" melovantis-cli --version
for f in /usr/share/man/man1/melovantis-cli.1 /usr/share/man/man1/melovantis.1 \
  /usr/share/bash-completion/completions/melovantis-cli \
  /usr/share/bash-completion/completions/melovantis; do
  chroot "$root" test -f "$f" && echo "Installed: $f"
done
# The LV2 plugin where hosts look, found by lilv's own lister.
chroot "$root" sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq lilv-utils >/dev/null"
chroot "$root" lv2ls | grep -qx "urn:melovantis:lv2" && echo "LV2 plugin found in /usr/lib/lv2"

display=:$((RANDOM % 400 + 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
chroot "$root" sh -c "cd /root && DISPLAY=$display HOME=/root timeout 8 melovantis --no-splash" &
window=$!
sleep 5
DISPLAY="$display" import -window root "$work/installed-window.png"
wait "$window" || true  # the window's own job: the display server runs on until cleanup
ls "$root/root/Melovantis" >/dev/null && echo "Program folder seeded: $root/root/Melovantis"
echo "Screenshot: $work/installed-window.png"
