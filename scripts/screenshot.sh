#!/usr/bin/env bash
# Renders the window under a virtual X server, talking to the board simulator, and saves
# docs/screenshot.png (after start), docs/screenshot-examples.png (the command examples
# list open) and docs/screenshot-eeprom-read.png (an EEPROM read in progress).
# Usage: scripts/screenshot.sh [OUTPUT_FOLDER]   (default: docs)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
out=$(realpath -m "${1:-docs}")
source scripts/deps.sh
vimbo_install_missing "${vimbo_packages[@]}" xvfb xauth
build=build/run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIMBO_BENCH=OFF >/dev/null
cmake --build "$build" --parallel --target vimbo_screenshots vimbo_sim
mkdir -p "$out"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  "$top/$build/bin/vimbo_screenshots" "$out" "$top/examples"
