#!/usr/bin/env bash
# keycycle.sh - the editor's whole interactive cycle under Wine: from a key press
# in the real window to the new picture on the X screen.
#
#   scripts/keycycle.sh WIN_BUILD [SCENE...]
#
#   WIN_BUILD   an x86_64 Windows build folder holding ui/scene3d.exe
#   SCENE       scenes to open, one editor run each (default: every example)
#   COUNT=N     presses per scene (default 21), alternately left and right arrow
#   SIZE=WxH    the drawing area (default 1920x1080)
#
# Starts its own Xvfb with a screen larger than the window and a Wine prefix
# of its own in WIN_BUILD, opens each scene in the editor, sizes the window so
# that its client area is SIZE (the X window holds the menu bar above it), and
# runs tools/keycycle/keycycle.c (built here against Xlib), which times each
# press until the picture on the screen changes. Prints the median per scene.
# Ends only the processes it started.
set -uo pipefail
if [ $# -lt 1 ]; then
    sed -n '2,/^set /p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
top="$(cd "$(dirname "$0")/.." && pwd)"
winbuild="$(cd "$1" && pwd)"
shift
scenes=("$@")
[ ${#scenes[@]} -gt 0 ] || scenes=("$top"/examples/*.item)
count="${COUNT:-21}"
size="${SIZE:-1920x1080}"
width="${size%x*}" height="${size#*x}"
menu=19  # Wine's menu bar without a window manager, in pixels
exe="$winbuild/ui/scene3d.exe"
[ -f "$exe" ] || { echo "keycycle: missing $exe" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "keycycle: missing xdotool" >&2; exit 2; }

source "$top/scripts/wine-env.sh"
probe="$winbuild/keycycle"
gcc -O2 -o "$probe" "$top/tools/keycycle/keycycle.c" -lX11 || exit 2

display=""
for n in $(seq 150 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        Xvfb ":$n" -screen 0 "$((width + 200))x$((height + 200))x24" -nolisten tcp >/dev/null 2>&1 &
        xvfbpid=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        [ -e "/tmp/.X11-unix/X$n" ] && { display=":$n"; break; }
    fi
done
[ -n "$display" ] || { echo "keycycle: could not start Xvfb" >&2; exit 1; }
export DISPLAY="$display"
apppid=""
cleanup() {
    [ -n "$apppid" ] && kill "$apppid" 2>/dev/null
    wine_stop 2>/dev/null
    kill "$xvfbpid" 2>/dev/null
}
trap cleanup EXIT
wine_setup "$winbuild/wineprefix-keycycle"
[ -n "$WINE64" ] || { echo "keycycle: no 64-bit Wine" >&2; exit 1; }

echo "keycycle: drawing area $size, $count presses per scene, load average $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
for scene in "${scenes[@]}"; do
    winpath="Z:${scene//\//\\}"
    "$WINE64" "$exe" "$winpath" &
    apppid=$!
    window=""
    for _ in $(seq 150); do
        window="$(xdotool search --name '^3D scene$' 2>/dev/null | head -1)"
        [ -n "$window" ] && break
        sleep 0.2
    done
    if [ -z "$window" ]; then
        echo "keycycle: no window for $scene" >&2; status=1; kill "$apppid"; wait "$apppid" 2>/dev/null; continue
    fi
    for _ in $(seq 50); do
        xdotool windowsize "$window" "$width" "$((height + menu))"
        sleep 0.3
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH" -eq "$width" ] && [ "$HEIGHT" -eq "$((height + menu))" ] && break
    done
    xdotool windowfocus "$window" 2>/dev/null
    sleep 1
    result="$("$probe" "$window" "$count" Left Right 300 | tail -1)" || status=1
    echo "$(basename "$scene"): $result"
    kill "$apppid" 2>/dev/null
    wait "$apppid" 2>/dev/null
    apppid=""
    wine_wait
done
exit $status
