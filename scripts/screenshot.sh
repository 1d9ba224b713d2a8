#!/usr/bin/env bash
# Renders the window under a virtual X server and saves it as a PNG.
# Usage: scripts/screenshot.sh BUILD_BIN_DIR OUTPUT.png [FOLDER]
set -euo pipefail
bin=$(realpath "$1")
out=$(realpath -m "$2")
folder=${3:-$(mktemp -d)}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null || {
  echo "needs xvfb, xdotool and imagemagick" >&2; exit 1; }
display=:$((90 + RANDOM % 9))
Xvfb "$display" -noreset -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $vimbo $xvfb 2>/dev/null || true' EXIT
sleep 1
cd "$folder"
DISPLAY=$display "$bin/vimbo" >/dev/null 2>&1 &
vimbo=$!
for _ in $(seq 300); do
  id=$(DISPLAY=$display xdotool search --onlyvisible --name "VIMBO" 2>/dev/null | tail -1 || true)
  [ -n "$id" ] && break
  sleep 0.1
done
sleep 1
[ -n "$id" ] || { echo "no window" >&2; exit 1; }
geometry=$(DISPLAY=$display xdotool getwindowgeometry --shell "$id")
eval "$geometry"
DISPLAY=$display import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "saved $out"
