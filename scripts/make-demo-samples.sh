#!/usr/bin/env bash
# Puts the sample backup "2418.eep" and update "2418.upd" into the demo folder, once.
#   make-demo-samples.sh BIN_DIR DEMO_DIR
set -euo pipefail
bin=$1 demo=$2
[ -f "$demo/2418.eep" ] && [ -f "$demo/2418.upd" ] && exit 0
QT_QPA_PLATFORM=offscreen "$bin/vimbo_demo_samples" "$demo"
