#!/usr/bin/env bash
# check_resources.sh - reads the version resource and the manifest back from built programs.
#
#   tests/package/check_resources.sh WIN32_BUILD WIN64_BUILD
#
#   WIN32_BUILD, WIN64_BUILD   the i686 and the x86_64 build folders, holding ui/scene3d.exe,
#                              tools/scenerender.exe and tools/sceneconvert/sceneconvert.exe
#
# In each program the version must be the one of project(... VERSION ...) in
# CMakeLists.txt, with the program's own file name, and the program must be of
# the build's processor; the editor's manifest must ask for the visual styles,
# declare the Windows versions and DPI awareness, and run it without elevation.
set -uo pipefail

top="$(cd "$(dirname "$0")/../.." && pwd)"
version="$("$top/scripts/version.sh")" || exit 1
IFS=. read -r major minor patch <<<"$version"

failures=0
fail() { echo "check_resources: FAILED: $*" >&2; failures=$((failures + 1)); }

[ $# -eq 2 ] || { sed -n '2,/^set /p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2; }

for build in "$1:i686-w64-mingw32:pei-i386" "$2:x86_64-w64-mingw32:pei-x86-64"; do
    IFS=: read -r folder tools format <<<"$build"
    for exe in "$folder/ui/scene3d.exe" "$folder/tools/scenerender.exe" "$folder/tools/sceneconvert/sceneconvert.exe"; do
        [ -f "$exe" ] || { fail "missing $exe"; continue; }
        program="$(basename "$exe")"
        "$tools-objdump" -f "$exe" | grep -q "file format $format" || fail "$exe is not $format"

        before=$failures
        rc="$("$tools-windres" -J coff -O rc -i "$exe")" || { fail "cannot read the resources of $exe"; continue; }
        info="$(sed -n '/^1 VERSIONINFO/,/^END/p' <<<"$rc")"
        for line in " FILEVERSION $major, $minor, $patch, 0" " PRODUCTVERSION $major, $minor, $patch, 0" \
                    "VALUE \"ProductName\", \"3D scene\"" "VALUE \"FileVersion\", \"$version\"" \
                    "VALUE \"ProductVersion\", \"$version\"" "VALUE \"OriginalFilename\", \"$program\"" \
                    "VALUE \"FileDescription\", \"3D scene: "; do
            grep -qF -- "$line" <<<"$info" || fail "$exe: no '$line' in its version resource"
        done
        what="version $version"

        # The editor's manifest as windres prints it: quoted lines with doubled quotes.
        if [ "$program" = scene3d.exe ]; then
            manifest="$(sed -n '/^1 24 /,/^END/p' <<<"$rc" | sed -n 's/^  "\(.*\)"$/\1/p' | sed 's/""/"/g; s/\\n$//')"
            [ -n "$manifest" ] || { fail "$exe has no manifest"; continue; }
            for text in "name=\"scene3d\" version=\"$version.0\"" \
                        'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
                        '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
                        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
                        '>PerMonitorV2, PerMonitor</dpiAwareness>' \
                        '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
                        '</assembly>'; do
                grep -qF -- "$text" <<<"$manifest" || fail "$exe: no '$text' in its manifest"
            done
            what="$what, manifest with styles, DPI awareness and OS list"
        fi
        [ "$failures" -eq "$before" ] && echo "check_resources: $exe ($format): $what"
    done
done
[ "$failures" -eq 0 ]
