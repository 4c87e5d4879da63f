#!/usr/bin/env bash
# Serves the browser build on 127.0.0.1 and plays it in headless Chromium
# (tests/web/browser-test.mjs). The driver comes from npm into the build
# folder. usage: bash tests/web/run.sh WEB_FOLDER
set -euo pipefail
cd "$(dirname "$0")/../.."
web=$(realpath "$1")
driver=build-web/web-test
if [[ ! -d $driver/node_modules/puppeteer-core || ! -d $driver/node_modules/pngjs ]]; then
    mkdir -p "$driver"
    (cd "$driver" && { [[ -f package.json ]] || npm init -y >/dev/null; } &&
        npm install --no-audit --no-fund puppeteer-core@22 pngjs@7 >/dev/null)
fi
cp tests/web/browser-test.mjs "$driver/"
out=build-web/web-test/out
rm -rf "$out" && mkdir -p "$out"
# A free port: other checkouts on the machine may be testing at once.
port=${ZOLT_WEB_TEST_PORT:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web" >"$out/server.txt" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
python3 - "$port" <<'WAIT' || { echo "run.sh: the page's server did not start" >&2; exit 1; }
import sys, time, urllib.request
for _ in range(100):
    try:
        urllib.request.urlopen(f"http://127.0.0.1:{sys.argv[1]}/zolt.html", timeout=2)
        sys.exit(0)
    except OSError:
        time.sleep(0.1)
sys.exit(1)
WAIT
# The native game's first frame, as its end-to-end run records it (the
# documentation keeps it doubled, at scale 2; the test shrinks it back).
native=${ZOLT_NATIVE_FIRST_FRAME:-docs/screenshots/game.png}
node "$driver/browser-test.mjs" "http://127.0.0.1:$port/zolt.html" "$(realpath "$native")" "$(realpath "$out")"
