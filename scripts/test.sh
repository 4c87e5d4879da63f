#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, two test binaries at a time,
# each under an Xvfb display of its own.
#
#   bash scripts/test.sh [ctest arguments]              normal build in build/
#   bash scripts/test.sh --sanitize [ctest arguments]   AddressSanitizer with
#       UndefinedBehaviorSanitizer and LeakSanitizer, built in build-asan/;
#       any report fails the test that made it (the end-to-end tests' game
#       processes included, since they inherit these settings).
#
# The normal run also runs scripts/tidy.sh when clang-tidy is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache entries name paths relative to the checkout, so a fresh
# clone (as CI makes) reuses what an earlier build of the same sources made.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
TIDY=1
if [ "${1:-}" = "--sanitize" ]; then
  shift
  TIDY=0
  export BUILD_DIR="${BUILD_DIR:-build-asan}"
  export ZOLT_CMAKE_ARGS="-DZOLT_SANITIZE=ON"
  # With clang the same build also makes the libFuzzer targets.
  if command -v clang++ >/dev/null; then
    export CC=clang CXX=clang++ ZOLT_CMAKE_ARGS="-DZOLT_FUZZ=ON"
  fi
  # A report ends the process with status 86, never with the game's own
  # quit status 1 (the sanitizers' default), which the end-to-end tests
  # expect of a clean quit: a leak at quit would otherwise pass unseen.
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_odr_violation=0:exitcode=86"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0:exitcode=86"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=86"
  # The whole-story playthrough takes minutes even unsanitized; every
  # subsystem it drives is exercised here by the other end-to-end tests.
  export GTEST_FILTER="${GTEST_FILTER:--Playthrough.*}"
fi
bash scripts/setup.sh
BUILD_DIR="${BUILD_DIR:-build}"
status=0
# Two test binaries at a time: each runs under an X server of its own
# (scripts/private-display.sh, which CMakeLists.txt puts before every test),
# so none reads back or takes the focus of another's window.
(cd "$BUILD_DIR" && ctest -j2 --output-on-failure "$@") || status=$?
if [ "$TIDY" = 1 ]; then
  bash scripts/tidy.sh "$BUILD_DIR" || status=1
fi
exit "$status"
