#!/usr/bin/env bash
# Runs every libFuzzer target (or those named) for a given time each.
#
#   bash scripts/fuzz.sh [seconds per target, default 600] [target ...]
#   FUZZ_TIMEOUT=120 FUZZ_NICE=5 bash scripts/fuzz.sh ...   (on a busy machine)
#
# Needs clang. The fuzzers are built in build-asan/ (the sanitizer build of
# scripts/test.sh --sanitize, which makes them too) at low priority. Each
# target starts from a fresh corpus: an empty working folder with the
# repository's inputs (tests/fuzz/corpus/<target>/) read as seeds, so runs
# do not depend on one another. What a run finds is kept:
#   build-asan/fuzz/<target>/new/        inputs that reached new code
#   build-asan/fuzz/<target>/crash-*     inputs that found a fault (also
#                                        leak-*, timeout-*, oom-*)
#   build-asan/fuzz/<target>/log.txt     the fuzzer's output
# Copy an input that found a fault into tests/fuzz/corpus/<target>/ once it
# is fixed, so that test_fuzz keeps trying it.
#
# Every fuzzer runs with its own temporary folder, removed when it ends
# however it ends (crash, timeout, Ctrl-C), so no zolt-fuzz-<pid>/ folder
# is left behind. The exit status is 1 when any target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-600}"
shift || true
if ! [[ "$SECONDS_EACH" =~ ^[0-9]+$ ]] || [ "$SECONDS_EACH" -lt 1 ]; then
  echo "fuzz.sh: the time per target must be a whole number of seconds, not '$SECONDS_EACH'" >&2
  exit 2
fi
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: the fuzzers need clang (clang++ is not installed)" >&2
  exit 2
fi
BUILD_DIR="${BUILD_DIR:-build-asan}"
# One input may take at most FUZZ_TIMEOUT seconds of wall time. At the
# lowest priority behind a busy build a fuzzer gets little of the machine,
# and an input that decodes in a third of a second alone can pass 25 s:
# raise the limit, or FUZZ_NICE, on a shared machine.
FUZZ_TIMEOUT="${FUZZ_TIMEOUT:-25}"
FUZZ_NICE="${FUZZ_NICE:-19}"
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# The targets are the corpus folders; each has its fuzz_<name> executable.
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  for folder in tests/fuzz/corpus/*/; do
    TARGETS+=("$(basename "$folder")")
  done
fi
for target in "${TARGETS[@]}"; do
  if [ ! -d "tests/fuzz/corpus/$target" ]; then
    echo "fuzz.sh: no fuzz target named '$target' (no tests/fuzz/corpus/$target/)" >&2
    exit 2
  fi
done

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  CC=clang CXX=clang++ nice -n 19 cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOLT_FUZZ=ON
fi
nice -n 19 cmake --build "$BUILD_DIR" -j 2 --target "${TARGETS[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

RUN_TMP=""
cleanup() {
  if [ -n "$RUN_TMP" ]; then
    rm -rf "$RUN_TMP"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

status=0
summary=()
for target in "${TARGETS[@]}"; do
  out="$BUILD_DIR/fuzz/$target"
  mkdir -p "$out/new"
  # The working corpus and the fuzzer's scratch files live in a folder of
  # this run; TMPDIR sends the entry points' zolt-fuzz-<pid>/ there.
  RUN_TMP="$(mktemp -d "${TMPDIR:-/tmp}/zolt-fuzz-run-XXXXXX")"
  mkdir -p "$RUN_TMP/corpus" "$RUN_TMP/tmp"
  echo "== $target: $SECONDS_EACH s"
  result=0
  TMPDIR="$RUN_TMP/tmp" nice -n "$FUZZ_NICE" "$BUILD_DIR/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout="$FUZZ_TIMEOUT" \
    -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$out/" \
    "$RUN_TMP/corpus" "tests/fuzz/corpus/$target" >"$out/log.txt" 2>&1 || result=$?
  found=$(find "$RUN_TMP/corpus" -type f | wc -l)
  find "$RUN_TMP/corpus" -type f -exec mv -f {} "$out/new/" \;
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log.txt" | tail -n 1)
  if [ "$result" -ne 0 ]; then
    status=1
    fault=$(grep -a -m 1 -E "==[0-9]+==ERROR|runtime error:|deadly signal|ERROR: libFuzzer|Test unit written to" "$out/log.txt" || echo "exit status $result")
    summary+=("$target: FAULT after ${runs:-?} runs: $fault (see $out/log.txt)")
  else
    summary+=("$target: ${runs:-?} runs, $found new inputs, no fault")
  fi
  rm -rf "$RUN_TMP"
  RUN_TMP=""
done
echo
printf '%s\n' "${summary[@]}"
exit "$status"
