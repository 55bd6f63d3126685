#!/usr/bin/env bash
# e2e_smoke.sh - the real program on a real (virtual) screen, driven from outside.
#
#   tests/ui/e2e_smoke.sh WIN_BUILD NATIVE_BUILD WINE DISPLAY [SCENE]
#
#   WIN_BUILD     a Windows build folder holding ui/scene3d.exe
#   NATIVE_BUILD  a native build folder holding tools/scenerender
#   WINE          the Wine loader that runs WIN_BUILD's programs (wine64 for x86_64)
#   DISPLAY       a running X server without window manager (Xvfb), e.g. :99
#   SCENE         the scene to open; default: examples/still_life.item, else the first
#                 scene of examples/, else tests/ui/data/smoke.item
#
# Uses WINEPREFIX when set, else a prefix of its own in WIN_BUILD. Starts the
# editor with the scene, resizes its window, and checks that its client area
# shows exactly the pixels scenerender gives at that size; presses the left
# arrow and checks the picture against scenerender with the camera moved as
# the key moves it; makes a sphere in the "Draw Spheres" dialog with real clicks
# and keystrokes and checks the picture again (e2e_dialogs.sh); presses Ctrl+N
# and expects an empty picture; quits through
# the File menu with mouse clicks and expects exit status 0. Pictures are kept
# in WIN_BUILD/e2e for a look after a failure.
set -uo pipefail

if [ $# -lt 4 ]; then
    sed -n '2,/^set /p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
winbuild="$(cd "$1" && pwd)"
nativebuild="$(cd "$2" && pwd)"
wine="$3"
export DISPLAY="$4"
top="$(cd "$(dirname "$0")/../.." && pwd)"

exe="$winbuild/ui/scene3d.exe"
scenerender="$nativebuild/tools/scenerender"
out="$winbuild/e2e"
rm -rf "$out"
mkdir -p "$out"

fail() {
    echo "e2e_smoke: FAILED: $*" >&2
    [ -n "${apppid:-}" ] && kill "$apppid" 2>/dev/null
    exit 1
}
source "$top/tests/ui/e2e_window.sh"

for f in "$exe" "$scenerender"; do
    [ -x "$f" ] || [ -f "$f" ] || fail "missing $f"
done
for tool in xdotool import convert compare xwininfo; do
    command -v "$tool" >/dev/null || fail "missing the tool $tool"
done

if [ $# -ge 5 ]; then
    scene="$5"
else
    scene="$top/tests/ui/data/smoke.item"
    for s in "$top/examples/still_life.item" "$top"/examples/*.item; do
        if [ -f "$s" ]; then scene="$s"; break; fi
    done
fi
echo "e2e_smoke: scene $scene"
cp "$scene" "$out/scene.item" || fail "cannot read $scene"

# The left arrow with the step 0.1 moves the camera by 0.1 of its right vector:
# the copy ends with the moved position, computed as the editor does in single
# precision (the product and the sum each rounded to float). The camera is the
# default one unless the scene sets it; the last camera record read wins.
moved="$(tr -d '\r' <"$scene" | awk '
    function fl(x,   sign, a, e, m, f) {  # x rounded to the nearest float, ties to even
        if (x == 0) return 0
        sign = x < 0 ? -1 : 1; a = x * sign; e = 0
        while (a >= 16777216) { a /= 2; e++ }
        while (a < 8388608) { a *= 2; e-- }
        m = int(a); f = a - m
        if (f > 0.5 || (f == 0.5 && m % 2 == 1)) m++
        for (; e > 0; e--) m *= 2
        for (; e < 0; e++) m /= 2
        return sign * m
    }
    BEGIN { p[1] = 0; p[2] = 0; p[3] = -1000; r[1] = 1000; r[2] = 0; r[3] = 0 }
    $1 == "PNT" && $2 == "cam_position" { for (i = 1; i <= 3; i++) p[i] = fl($(i + 2) + 0) }
    $1 == "VEC" && $2 == "cam_right" { for (i = 1; i <= 3; i++) r[i] = fl($(i + 2) + 0) }
    END {
        g = fl(0.1)
        for (i = 1; i <= 3; i++) q[i] = fl(fl(r[i] * g) + p[i])
        printf "%.9g %.9g %.9g\n", q[1], q[2], q[3]
    }')"
{
    cat "$scene"
    echo
    echo "PNT cam_position $moved"
} >"$out/moved.item"
echo "e2e_smoke: the left arrow should move the camera to $moved"

if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="$winbuild/wineprefix-e2e"
    [ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine shows the Linux root as drive Z:.
winpath="Z:${out//\//\\}\\scene.item"
"$wine" "$exe" "$winpath" &
apppid=$!

openwindow "$apppid"
echo "e2e_smoke: client area ${clientw}x$clienth below a menu bar of $menu rows"

"$scenerender" --size "${clientw}x$clienth" --output "$out/expected.png" "$out/scene.item" ||
    fail "scenerender could not render the scene"
showing "$out/shown.png" "$out/expected.png" ||
    fail "the window does not show scenerender's picture (see $out/shown.png, expected.png, diff.png)"
echo "e2e_smoke: the window shows scenerender's picture"

"$scenerender" --size "${clientw}x$clienth" --output "$out/expected-moved.png" "$out/moved.item" ||
    fail "scenerender could not render the moved scene"
same "$out/expected.png" "$out/expected-moved.png" && fail "moving the camera changes nothing in this scene"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" Left
showing "$out/shown-moved.png" "$out/expected-moved.png" ||
    fail "after the left arrow the window does not show the moved camera's picture (see $out/shown-moved.png, expected-moved.png)"
echo "e2e_smoke: the left arrow moved the camera as scenerender expects"

# openmenu X: clicks the menu bar X pixels from the window's left edge and sets
# popw, poph, popx, popy to the popup that opens (a window of the program
# without a name, larger than a marker). Fails when none opens.
openmenu() {
    xdotool mousemove $((winx + $1)) $((winy + menu / 2)) click 1
    local geometry attempt
    for attempt in $(seq 25); do
        sleep 0.2
        while read -r geometry; do
            IFS='x+' read -r popw poph popx popy <<<"$geometry"
            if [ "$popw" -gt 20 ] && [ "$poph" -gt 20 ]; then return 0; fi
        done < <(xwininfo -root -children | grep '"scene3d.exe"' | grep '(has no name)' |
                 grep -o '[0-9]\+x[0-9]\++-\?[0-9]\++-\?[0-9]\+')
    done
    return 1
}

source "$top/tests/ui/e2e_dialogs.sh"

# Ctrl+N through the real keyboard state and message loop: a new, empty scene.
: >"$out/empty.item"
"$scenerender" --size "${clientw}x$clienth" --output "$out/expected-new.png" "$out/empty.item" ||
    fail "scenerender could not render an empty scene"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" ctrl+n
showing "$out/shown-new.png" "$out/expected-new.png" ||
    fail "after Ctrl+N the window does not show an empty scene (see $out/shown-new.png)"
echo "e2e_smoke: Ctrl+N started a new, empty scene"

# File, then its last item, Quit, in the popup that opens below it.
openmenu 15 || fail "the File menu did not open"
xdotool mousemove $((popx + popw / 3)) $((popy + poph - 10)) click 1

status=""
for _ in $(seq 50); do
    if ! kill -0 "$apppid" 2>/dev/null; then
        wait "$apppid"
        status=$?
        break
    fi
    sleep 0.2
done
[ -n "$status" ] || fail "the program did not end after File, Quit"
apppid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "e2e_smoke: File, Quit ended the program with status 0"
echo "e2e_smoke: passed"
