#!/usr/bin/env bash
# Regenerates the pictures under docs/screenshots from the real game: the
# end-to-end tests save what they check when ZOLT_SCREENSHOT_DIR is set.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out="$(pwd)/docs/screenshots"
mkdir -p "$out"
ZOLT_SCREENSHOT_DIR="$out" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
  build/test_e2e --gtest_filter='Menus.*:Fights.*:Playthrough.*:SaveLoad.*'
ls -1 "$out"
