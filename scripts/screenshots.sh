#!/usr/bin/env bash
# Regenerates the pictures under docs/screenshots from the real game: the
# end-to-end tests save what they check when ZOLT_SCREENSHOT_DIR is set.
# The tests play at scale 1 (their clicks are in 640 x 480 pixels); the
# game's scale 2 is that picture with every pixel doubled, so each 640 x 480
# picture is doubled here to show the game as a player at scale 2 sees it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out="$(pwd)/docs/screenshots"
mkdir -p "$out"
ZOLT_SCREENSHOT_DIR="$out" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
  build/test_e2e --gtest_filter='Menus.*:Fights.*:Playthrough.*:SaveLoad.*:PlayerGame.*:Growth.*:ExampleGame.*:WalkingGridKey.*'
for picture in "$out"/*.png; do
  if [ "$(identify -format '%w' "$picture")" = 640 ]; then
    mogrify -filter point -resize 200% "$picture"
  fi
done
ls -1 "$out"
