#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite under a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
cd "$BUILD_DIR"
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a
# client that connects during the reset can be refused a GL context.
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure "$@"
