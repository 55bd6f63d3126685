#!/bin/sh
# version.sh - prints the program's version, the one of project(... VERSION ...) in CMakeLists.txt.
sed -n 's/^project(scene3d VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt" | grep . ||
    { echo "version.sh: no version in CMakeLists.txt" >&2; exit 1; }
