#!/bin/sh
# Run by test.sh after the builds: the native and the 64-bit Windows scenerender
# must render every example to the same bytes.
#   suite.sh TOP   (TOP: the source tree holding build/native-release and build/win64)
top=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
native="$top/build/native-release/tools/scenerender"
windows="$top/build/win64/tools/scenerender.exe"
wine=${WINE64:-/usr/lib/wine/wine64}
for f in "$native" "$windows" "$wine"; do
    [ -x "$f" ] || [ -f "$f" ] || { echo "suite.sh: $f is missing" >&2; exit 1; }
done
exec sh "$top/tests/tools/compare_renders.sh" "$native" "$wine $windows" "$top/build/compare_renders"
