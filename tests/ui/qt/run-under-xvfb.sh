#!/bin/sh
# Runs a test program on a private X display: xvfb-run -a picks a free one.
# Exits 77 (skipped) when Xvfb is not installed.
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run not installed: skipped"; exit 77; }
unset WAYLAND_DISPLAY
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$@"
