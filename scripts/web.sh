#!/usr/bin/env bash
# Builds the engine and the demo game for the browser into build-web/:
# zolt.html, zolt.js, zolt.wasm and zolt.data (the game folder, packed).
# Every library comes from its Debian source package, fetched into
# build-web/src; nothing of it enters the repository.
#   bash scripts/web.sh            build
#   bash scripts/web.sh --serve    build, then serve it on http://127.0.0.1:8086/
#   bash scripts/web.sh --test     build, then play it in headless Chromium
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build-web
SOURCES=$BUILD/src
DEPS=$BUILD/deps
PORT=${ZOLT_WEB_PORT:-8086}
JOBS=${JOBS:-2}
# Debian's emscripten finds its JavaScript helpers (acorn) where Debian's
# Node.js looks by itself; a Node.js from elsewhere needs telling.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

die() {
    echo "web.sh: $*" >&2
    exit 1
}

install_packages() {
    local wanted missing=()
    wanted=$(grep -v '^\s*#' scripts/web-packages.txt | grep -v '^\s*$')
    for package in $wanted; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    # The browser test's driver comes from npm; a machine may have Node.js
    # from elsewhere already.
    command -v node >/dev/null || missing+=(nodejs)
    command -v npm >/dev/null || missing+=(npm)
    if ((${#missing[@]})); then
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
    fi
}

# Source packages need a deb-src entry; it goes beside the machine's own
# list, which stays as it is.
enable_sources() {
    local list=/etc/apt/sources.list.d/zolt-web-src.sources
    if apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
        return
    fi
    cat >"$list" <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
    apt-get update -q
}

# Unpacks a Debian source package into build-web/src/<package> (once).
fetch() {
    local package=$1
    [[ -d $SOURCES/$package ]] && return
    local scratch=$SOURCES/.fetch-$package
    rm -rf "$scratch"
    mkdir -p "$scratch"
    (cd "$scratch" && apt-get source -q "$package" >/dev/null) || die "cannot fetch the source package $package"
    local unpacked
    unpacked=$(find "$scratch" -mindepth 1 -maxdepth 1 -type d | head -1)
    [[ -n $unpacked ]] || die "the source package $package unpacked nothing"
    mv "$unpacked" "$SOURCES/$package"
    rm -rf "$scratch"
}

# Compiles the given C or C++ files into one static library.
library() {
    local name=$1 flags=$2
    shift 2
    local objects=$DEPS/obj/$name
    mkdir -p "$objects" "$DEPS/lib"
    [[ -s $DEPS/lib/lib$name.a && $(emar t "$DEPS/lib/lib$name.a" | wc -l) -gt 0 ]] && return
    (($#)) || die "no sources for $name"
    local list=() commands=()
    for source in "$@"; do
        local object compiler=emcc
        object=$objects/$(basename "${source%.*}").o
        [[ $source == *.cpp ]] && compiler=em++
        list+=("$object")
        commands+=("$compiler $flags -O2 -c $source -o $object")
    done
    printf '%s\n' "${commands[@]}" | xargs -P "$JOBS" -I{} sh -c '{}' || die "compiling $name failed"
    rm -f "$DEPS/lib/lib$name.a"
    emar rcs "$DEPS/lib/lib$name.a" "${list[@]}"
}

build_dependencies() {
    mkdir -p "$SOURCES" "$DEPS/include"
    for package in zlib libzstd lua5.2 tinyxml2 freetype libogg libvorbis; do
        fetch "$package"
    done
    local inc=$DEPS/include

    local z=$SOURCES/zlib
    library z "-DHAVE_UNISTD_H -DHAVE_STDARG_H -I$z" "$z"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c
    cp "$z/zlib.h" "$z/zconf.h" "$inc/"

    local zs=$SOURCES/libzstd/lib
    library zstd "-DZSTD_DISABLE_ASM -DZSTD_MULTITHREAD=0 -I$zs -I$zs/common" "$zs"/common/*.c "$zs"/decompress/*.c
    cp "$zs/zstd.h" "$zs/zstd_errors.h" "$inc/"

    local lua=$SOURCES/lua5.2/src
    # Debian's configuration names the host's library folder for C modules,
    # which a page never loads.
    printf '#define DEB_HOST_MULTIARCH "wasm32-emscripten"\n' >"$lua/lua5.2-deb-multiarch.h"
    library lua "-DLUA_COMPAT_ALL -DLUA_USE_POSIX" $(ls "$lua"/*.c | grep -v -e '/lua\.c$' -e '/luac\.c$')
    mkdir -p "$inc/lua5.2"
    cp "$lua"/{lua.h,luaconf.h,lualib.h,lauxlib.h,lua5.2-deb-multiarch.h} "$inc/lua5.2/"
    [[ -f $lua/lua.hpp ]] && cp "$lua/lua.hpp" "$inc/lua5.2/"

    local xml=$SOURCES/tinyxml2
    library tinyxml2 "-I$xml" "$xml/tinyxml2.cpp"
    cp "$xml/tinyxml2.h" "$inc/"

    local ft=$SOURCES/freetype
    if [[ ! -f $DEPS/lib/libfreetype.a ]]; then
        emcmake cmake -S "$ft" -B "$DEPS/freetype-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$DEPS" -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$DEPS/lib/libz.a" \
            -DZLIB_INCLUDE_DIR="$DEPS/include" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
            -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
        cmake --build "$DEPS/freetype-build" -j "$JOBS" >/dev/null
        cmake --install "$DEPS/freetype-build" >/dev/null
    fi

    local ogg=$SOURCES/libogg
    mkdir -p "$inc/ogg"
    cp "$ogg"/include/ogg/ogg.h "$ogg"/include/ogg/os_types.h "$inc/ogg/"
    # What configure would write for a 32-bit target with stdint.h.
    cat >"$inc/ogg/config_types.h" <<'TYPES'
#ifndef __CONFIG_TYPES_H__
#define __CONFIG_TYPES_H__
#include <stdint.h>
typedef int16_t ogg_int16_t;
typedef uint16_t ogg_uint16_t;
typedef int32_t ogg_int32_t;
typedef uint32_t ogg_uint32_t;
typedef int64_t ogg_int64_t;
typedef uint64_t ogg_uint64_t;
#endif
TYPES
    library ogg "-I$inc" "$ogg"/src/{bitwise,framing}.c

    local vorbis=$SOURCES/libvorbis
    mkdir -p "$inc/vorbis"
    cp "$vorbis"/include/vorbis/*.h "$inc/vorbis/"
    library vorbis "-I$inc -I$vorbis/lib" $(ls "$vorbis"/lib/*.c | grep -v -e psytune -e tone.c -e barkmel -e misc.c)
}

build_engine() {
    emcmake cmake -S "$ROOT" -B "$BUILD/engine" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOLT_WEB_DEPS="$DEPS" >/dev/null
    local log=$BUILD/engine-build.txt
    echo "web.sh: building the engine for the browser (log: $log)"
    if ! cmake --build "$BUILD/engine" -j "$JOBS" --target zolt-web >"$log" 2>&1; then
        grep -v "^\[" "$log" | tail -40 >&2
        die "building the engine failed (see $log)"
    fi
    # The archive reader is left out on purpose (its source package cannot
    # be fetched): the page plays the packed folder, which needs none. Any
    # other missing function is a fault.
    if grep "undefined symbol" "$log" | grep -v "PHYSFS_" >&2; then
        die "the page calls functions that no library of the browser build has"
    fi
}

install_packages
enable_sources
build_dependencies
build_engine
echo "web.sh: the game is in $BUILD/engine/web/zolt.html"
case "${1:-}" in
--serve)
    echo "web.sh: serving on http://127.0.0.1:$PORT/zolt.html (Ctrl-C stops)"
    exec python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$BUILD/engine/web"
    ;;
--test)
    exec bash tests/web/run.sh "$BUILD/engine/web"
    ;;
esac
