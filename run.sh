#!/usr/bin/env bash
# run.sh [SCENE] - build the editor and open it, under Wine on Linux.
#
#   ./run.sh                    open a demo scene from examples/
#   ./run.sh path/to/scene.item open that scene
#
# Installs what is missing (scripts/setup.sh), builds the Windows program and
# starts it on the current X display. The 32-bit build runs where the kernel can
# run 32-bit programs; elsewhere the 64-bit build runs (the same program).
set -euo pipefail
cd "$(dirname "$0")"
top="$PWD"

if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
run.sh: there is no X display (DISPLAY is not set), and the editor is a window program.
  - Run it from a terminal inside your desktop session, or
  - over ssh, log in with X forwarding (ssh -X host) and run it again, or
  - on a machine without a screen, start a virtual one and take pictures of it:
        Xvfb :5 -screen 0 1024x768x24 &
        DISPLAY=:5 ./run.sh &
        DISPLAY=:5 import -window root screen.png
TEXT
    exit 2
fi

scene=""
if [ $# -ge 1 ]; then
    if [ ! -f "$1" ]; then
        echo "run.sh: no such scene file: $1" >&2
        exit 2
    fi
    scene="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
else
    for demo in examples/still_life.item examples/*.item; do
        if [ -f "$demo" ]; then scene="$top/$demo"; break; fi
    done
fi

scripts/setup.sh
source scripts/wine-env.sh
wine_setup "$top/build/wineprefix-run"

if [ -n "$WINE32" ]; then
    wine="$WINE32" flavour=win32 toolchain=mingw-i686
elif [ -n "$WINE64" ]; then
    wine="$WINE64" flavour=win64 toolchain=mingw-x86_64
else
    echo "run.sh: Wine is not installed (scripts/setup.sh could not install it)" >&2
    exit 1
fi

mkdir -p build
build="build/run-$flavour"
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "run.sh: configuring $build"
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DSCENE_TESTS=OFF >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log" >&2; exit 1; }
fi
echo "run.sh: building $build"
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target scene3d >"$build.build.log" 2>&1 ||
    { cat "$build.build.log" >&2; exit 1; }

if [ -z "$scene" ]; then
    echo "run.sh: starting with an empty scene"
    exec "$wine" "$build/ui/scene3d.exe"
fi
# Wine shows the Linux root as drive Z:.
echo "run.sh: opening $scene"
exec "$wine" "$build/ui/scene3d.exe" "Z:${scene//\//\\}"
