#!/usr/bin/env bash
# Sets up, builds and starts the game from the repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
if [ -n "${DISPLAY:-}" ]; then
  exec "$BUILD_DIR/zolt"
else
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD_DIR/zolt"
fi
