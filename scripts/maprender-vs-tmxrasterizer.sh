#!/usr/bin/env bash
# zolt-maprender against Tiled's tmxrasterizer on the sewers example that
# Debian's `tiled` package ships, in the CSV form the editor also saves:
# whole processes, in alternation, wall time and peak memory from
# /usr/bin/time, medians and ratios.
#
#   scripts/maprender-vs-tmxrasterizer.sh [RUNS] [BUILD_DIR]
#
# zolt-maprender runs with DISPLAY unset (EGL, off-screen); tmxrasterizer
# with QT_QPA_PLATFORM=offscreen. Both draw at scale 2 without smoothing.
set -euo pipefail

runs=${1:-9}
build=${2:-build}
tool="$(cd "$build" && pwd)/zolt-maprender"
examples=/usr/share/doc/tiled/examples
[ -x "$tool" ] || { echo "no $tool: build zolt-maprender first" >&2; exit 1; }
[ -f "$examples/sewers.tmx" ] || { echo "no $examples/sewers.tmx: install the tiled package" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/sewer_tileset.png" "$work/"
# The example is saved as base64 of zlib; the editor writes the same layers
# as CSV when asked to, which is what this turns them into.
python3 - "$examples/sewers.tmx" "$work/sewers.tmx" <<'EOF'
import base64, re, struct, sys, zlib
text = open(sys.argv[1]).read()
def csv(match):
    raw = base64.b64decode(match.group(2).strip())
    if 'compression' in match.group(1):
        raw = zlib.decompress(raw, 47)
    ids = struct.unpack('<%dI' % (len(raw) // 4), raw)
    rows = [','.join(map(str, ids[i:i + 50])) for i in range(0, len(ids), 50)]
    return '<data encoding="csv">\n' + ',\n'.join(rows) + '\n</data>'
open(sys.argv[2], 'w').write(re.sub(r'<data([^>]*)>(.*?)</data>', csv, text, flags=re.S))
EOF

measure() { # label command... ; appends "wall_s peak_kb" to $work/label
    local label=$1
    shift
    /usr/bin/time -f "%e %M" -o "$work/one" "$@" >/dev/null 2>&1
    cat "$work/one" >>"$work/$label"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for _ in $(seq "$runs"); do
    measure zolt env -u DISPLAY -u WAYLAND_DISPLAY "$tool" "$work/sewers.tmx" "$work/zolt.png"
    measure tmxrasterizer env QT_QPA_PLATFORM=offscreen tmxrasterizer --scale 2 --no-smoothing \
        "$work/sewers.tmx" "$work/tiled.png"
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"

median() { # column file
    sort -n -k"$1" "$2" | awk -v c="$1" '{ v[NR] = $c } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
zw=$(median 1 "$work/zolt")
zm=$(median 2 "$work/zolt")
tw=$(median 1 "$work/tmxrasterizer")
tm=$(median 2 "$work/tmxrasterizer")
echo "zolt-maprender walls (s):   $(cut -d' ' -f1 "$work/zolt" | tr '\n' ' ')"
echo "tmxrasterizer walls (s):    $(cut -d' ' -f1 "$work/tmxrasterizer" | tr '\n' ' ')"
echo "zolt-maprender peaks (KB):  $(cut -d' ' -f2 "$work/zolt" | tr '\n' ' ')"
echo "tmxrasterizer peaks (KB):   $(cut -d' ' -f2 "$work/tmxrasterizer" | tr '\n' ' ')"
awk -v zw="$zw" -v tw="$tw" -v zm="$zm" -v tm="$tm" -v n="$runs" 'BEGIN {
    printf "medians of %d runs each: wall %.3f s against %.3f s (ratio %.2f), peak %.1f MB against %.1f MB (ratio %.2f)\n",
        n, zw, tw, zw / tw, zm / 1024, tm / 1024, zm / tm }'
