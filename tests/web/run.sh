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
port=${ZOLT_WEB_TEST_PORT:-8087}
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web" >"$out/server.txt" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$port/zolt.html" && break
    sleep 0.2
done
# The native game's first frame, as its end-to-end run records it.
native=${ZOLT_NATIVE_FIRST_FRAME:-docs/screenshots/game.png}
node "$driver/browser-test.mjs" "http://127.0.0.1:$port/zolt.html" "$(realpath "$native")" "$(realpath "$out")"
