#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the engine's sources and fails
# on any finding. A file whose text, headers and checks are unchanged since
# it last passed is not checked again (stamps in $BUILD_DIR/tidy-passed).
#
#   bash scripts/tidy.sh [BUILD_DIR]      default build/, which must hold
#                                         compile_commands.json
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
if ! command -v clang-tidy >/dev/null; then
  echo "tidy: clang-tidy is not installed; skipped"
  exit 0
fi
if [ ! -f "$BUILD_DIR/compile_commands.json" ]; then
  echo "tidy: $BUILD_DIR/compile_commands.json is missing; configure the build first" >&2
  exit 1
fi
STAMPS="$BUILD_DIR/tidy-passed"
mkdir -p "$STAMPS"
# Any header or the checks changing (the top file or a folder's own) makes
# every file due again.
shared=$( (cat .clang-tidy; find src -name .clang-tidy | sort | xargs cat; find src -name '*.h' | sort | xargs cat) |
  sha1sum | cut -c1-40)
due=()
while IFS= read -r file; do
  key=$( (echo "$shared"; cat "$file") | sha1sum | cut -c1-40)
  [ -f "$STAMPS/$key" ] || due+=("$file:$key")
# The browser's entry is compiled only by the emscripten build.
done < <(find src -name '*.cpp' -not -path 'src/main/web/*' | sort)
echo "tidy: ${#due[@]} file(s) to check"
[ ${#due[@]} -eq 0 ] && exit 0
check() {
  local file="${1%%:*}" key="${1##*:}"
  local out
  if out=$(clang-tidy -p "$BUILD_DIR" --quiet "$file" 2>/dev/null) && ! grep -q "warning:\|error:" <<<"$out"; then
    touch "$STAMPS/$key"
  else
    printf '%s\n' "$out"
    return 1
  fi
}
export -f check
export BUILD_DIR STAMPS
if printf '%s\n' "${due[@]}" | xargs -P "$(nproc)" -I{} bash -c 'check "$@"' _ {}; then
  echo "tidy: clean"
else
  echo "tidy: findings above" >&2
  exit 1
fi
