#!/usr/bin/env bash
# package.sh [DIST] - builds the Windows release and packs it, into DIST (default dist/).
#
# For win32 (i686, the product) and win64 (x86_64) alike: builds the Release
# programs in build/win32 and build/win64 (the folders test.sh uses), then writes
#   scene3d-VERSION-ARCH.zip          the folder scene3d-VERSION-ARCH with scene3d.exe,
#                                     scenerender.exe, sceneconvert.exe, the example
#                                     scenes, README.txt, LICENSE.txt and
#                                     THIRD-PARTY-NOTICES.txt (the licences of the
#                                     libraries compiled into the programs)
#   scene3d-VERSION-ARCH-setup.exe    the installer (NSIS) of the same files, with a
#                                     Start-menu entry, the .item association and an
#                                     uninstaller; /S runs either without a window
# VERSION is the one of project(... VERSION ...) in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$PWD"
mkdir -p "${1:-dist}"
dist="$(cd "${1:-dist}" && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"
mkdir -p build

scripts/setup.sh
version="$(scripts/version.sh)"
# The same date on every file of the zip: the date of the last commit, if there is one.
stamp="$(git log -1 --format=%cd --date=format:'%Y-%m-%d %H:%M:%S' 2>/dev/null || date '+%Y-%m-%d %H:%M:%S')"

crlf() {  # crlf FILE: the text with the line ends Windows editors expect
    sed 's/\r*$/\r/' "$1"
}

for arch in win32 win64; do
    case "$arch" in
        win32) toolchain=mingw-i686 tools=i686-w64-mingw32 ;;
        win64) toolchain=mingw-x86_64 tools=x86_64-w64-mingw32 ;;
    esac
    build="build/$arch"
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain.cmake" \
          -DCMAKE_BUILD_TYPE=Release >"$build.package.log"
    cmake --build "$build" -j "$jobs" --target scene3d scenerender sceneconvert >>"$build.package.log" ||
        { cat "$build.package.log" >&2; exit 1; }

    name="scene3d-$version-$arch"
    stage="$dist/stage/$name"
    rm -rf "$dist/stage"
    mkdir -p "$stage/examples"
    "$tools-strip" -o "$stage/scene3d.exe" "$build/ui/scene3d.exe"
    "$tools-strip" -o "$stage/scenerender.exe" "$build/tools/scenerender.exe"
    "$tools-strip" -o "$stage/sceneconvert.exe" "$build/tools/sceneconvert/sceneconvert.exe"
    # A byte-order mark, so that every editor reads the arrows, dashes and names as UTF-8.
    { printf '\357\273\277'; crlf README.md; } >"$stage/README.txt"
    crlf LICENSE >"$stage/LICENSE.txt"
    { printf '\357\273\277'; crlf THIRD-PARTY-NOTICES; } >"$stage/THIRD-PARTY-NOTICES.txt"
    cp examples/*.item "$stage/examples/"

    rm -f "$dist/$name.zip"
    (cd "$dist/stage" && cmake -E tar cf "$dist/$name.zip" --format=zip --mtime="$stamp" "$name")

    for scene in "$stage"/examples/*.item; do
        printf 'Delete "$INSTDIR\\examples\\%s"\n' "$(basename "$scene")"
    done >"$stage/examples.nsh"
    makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" \
             -DICON="$top/ui/resources/scene3d.ico" -DOUTFILE="$dist/$name-setup.exe" \
             scripts/scene3d.nsi
    rm -rf "$dist/stage"
    echo "package.sh: $dist/$name.zip, $dist/$name-setup.exe"
done
