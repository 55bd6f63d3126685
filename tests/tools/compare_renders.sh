#!/bin/sh
# Renders scenes with two builds of scenerender and compares the pictures byte
# for byte: the native program and the Windows one (run through Wine) must give
# the same pixels.
#
#   compare_renders.sh NATIVE_EXE WINDOWS_EXE_WITH_RUNNER OUTDIR [SCENE...]
#
# WINDOWS_EXE_WITH_RUNNER is one argument holding the runner and the program,
# e.g. "/usr/lib/wine/wine64 build/win64/tools/scenerender.exe" (split at blanks,
# so neither path may contain one). Without SCENE arguments every examples/*.item
# is rendered. Each scene is rendered at 640x480 and at an odd size, as PPM (the
# pixels) and as PNG (the encoder too). Exit status 0 when every picture agrees.
set -u
if [ $# -lt 3 ]; then
    echo "usage: $0 NATIVE_EXE WINDOWS_EXE_WITH_RUNNER OUTDIR [SCENE...]" >&2
    exit 2
fi
native=$1
windows=$2
out=$3
shift 3
if [ $# -eq 0 ]; then
    set -- "$(cd "$(dirname "$0")/../.." && pwd)"/examples/*.item
fi
mkdir -p "$out" || exit 2
out=$(cd "$out" && pwd)

failed=0
count=0
for scene in "$@"; do
    name=$(basename "$scene" .item)
    for size in 640x480 333x217; do
        for ext in ppm png; do
            n="$out/$name-$size-native.$ext"
            w="$out/$name-$size-windows.$ext"
            if ! "$native" --size "$size" --output "$n" "$scene"; then
                echo "FAIL $name $size: the native program failed"; failed=1; continue
            fi
            # shellcheck disable=SC2086  # the runner and the program are two words
            if ! $windows --size "$size" --output "$w" "$scene"; then
                echo "FAIL $name $size: the Windows program failed"; failed=1; continue
            fi
            if cmp -s "$n" "$w"; then
                count=$((count + 1))
            else
                echo "FAIL $name $size .$ext: the pictures differ"; failed=1
            fi
        done
    done
done
if [ "$failed" -eq 0 ]; then
    echo "compare_renders: $count pictures identical"
fi
exit "$failed"
