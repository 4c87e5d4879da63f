#!/usr/bin/env bash
# Runs a command under an X server of its own, then stops the server:
#
#   bash scripts/private-display.sh COMMAND [ARGUMENTS...]
#
# CTest runs every test binary through this, so that binaries running side by
# side (ctest -j) never draw into, read back from or take the focus of one
# another's windows. Xvfb picks a free display number itself (-displayfd),
# so two starting at once cannot both claim the same one. The command's exit
# status is the script's.
set -uo pipefail
if [ $# -eq 0 ]; then
  echo "private-display.sh: no command to run" >&2
  exit 2
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/zolt-display-XXXXXX")"
server=""
stop() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$scratch"
}
trap stop EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
mkfifo "$scratch/display"
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a
# client that connects during the reset can be refused a GL context.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$scratch/display" 2>"$scratch/log" &
server=$!
number=""
read -r number <"$scratch/display"
if ! [[ "$number" =~ ^[0-9]+$ ]]; then
  echo "private-display.sh: Xvfb did not start:" >&2
  cat "$scratch/log" >&2
  exit 2
fi
DISPLAY=":$number" "$@"
status=$?
exit "$status"
