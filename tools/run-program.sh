#!/usr/bin/env bash
# Starts ゼント in its working folder. Without a display it runs the program
# under Xvfb for a few seconds and saves a screenshot of the screen.
set -euo pipefail
program=$(realpath "$1")
workdir=$2
cd "$workdir"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
shot=$(realpath .)/screenshot.png
echo "No display here: running ゼント under Xvfb for a few seconds instead."
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  "$1" &
  pid=$!
  sleep 4
  xwd -root -silent | convert xwd:- "$2"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
' _ "$program" "$shot"
echo "Screenshot of the running program: $shot"
