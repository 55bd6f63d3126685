# e2e_dialogs.sh - sourced by e2e_smoke.sh after the camera step, while the
# program runs with the moved camera: a sphere made with the mouse and the
# keyboard in the real "Draw Spheres" dialog.
#
# Opens Object, Spheres with clicks on the menu bar; types a name, a point of
# the scene as centre, a radius and a colour of the scene into the fields;
# presses "Use" and expects the window to show scenerender's picture of the
# moved scene with that sphere added; then closes the dialog with "Finish".
# Uses e2e_smoke.sh's out, scenerender, window, winx, winy, menu, clientw,
# clienth, fail, client and same.

# textruns FILE x|y: the runs of dark pixels of a light picture along x (columns)
# or y (rows), one "first last" line each; gaps of up to 6 pixels join a run.
textruns() {
    local size
    size="$(identify -format '%wx%h' "$1")"
    if [ "$2" = x ]; then size="${size%x*}x1!"; else size="1x${size#*x}!"; fi
    convert "$1" -colorspace gray -negate -threshold 50% -scale "$size" txt:- 2>/dev/null |
        awk -F'[,: ]+' -v axis="$2" 'NR > 1 && $0 !~ /#000000/ { print (axis == "x" ? $1 : $2) }' |
        awk 'BEGIN { s = -1 }
             { if (s < 0) { s = $1; e = $1 } else if ($1 - e > 6) { print s, e; s = $1; e = $1 } else e = $1 }
             END { if (s >= 0) print s, e }'
}

# The middle of run N (from 1) of textruns.
runmiddle() {
    textruns "$1" "$2" | sed -n "${3}p" | awk '{ print int(($1 + $2) / 2) }'
}

# Round a sphere that the scene shows, half as large again and in another
# colour; a scene without spheres gets one at its first point.
read -r sphere_centre sphere_radius sphere_color < <(tr -d '\r' <"$out/scene.item" | awk '
    $1 == "PAT" { pats[++npat] = $2 }
    $1 == "PNT" && $2 !~ /^(cam|light)_/ && first == "" { first = $2 }
    $1 == "SPH" && centre == "" { centre = $3; radius = sprintf("%g", $4 * 1.5); own = $5 }
    END {
        for (i = 1; i <= npat && color == ""; i++) if (pats[i] != own) color = pats[i]
        if (color == "") color = own
        if (centre == "") { centre = first; radius = 250 }
        print centre, radius, color
    }')
[ -n "$sphere_centre" ] && [ -n "$sphere_color" ] ||
    fail "the scene has no point or no colour to build a sphere on"
{
    cat "$out/moved.item"
    echo "SPH e2eball $sphere_centre $sphere_radius $sphere_color"
} >"$out/sphere.item"
"$scenerender" --size "${clientw}x$clienth" --output "$out/expected-sphere.png" "$out/sphere.item" ||
    fail "scenerender could not render the scene with the new sphere"
same "$out/expected-moved.png" "$out/expected-sphere.png" &&
    fail "a sphere of radius $sphere_radius at '$sphere_centre' changes nothing in this scene's picture"

# "Object" is the second word on the menu bar.
import -window root -crop "${clientw}x${menu}+${winx}+${winy}" +repage "$out/menubar.png" 2>/dev/null
objectx="$(runmiddle "$out/menubar.png" x 2)"
[ -n "$objectx" ] || fail "cannot find 'Object' on the menu bar (see $out/menubar.png)"
openmenu "$objectx" || fail "the Object menu did not open"
# "Spheres" is its fourth item.
import -window root -crop "${popw}x${poph}+${popx}+${popy}" +repage "$out/objectmenu.png" 2>/dev/null
spheresy="$(runmiddle "$out/objectmenu.png" y 4)"
[ -n "$spheresy" ] || fail "cannot find 'Spheres' in the Object menu (see $out/objectmenu.png)"
xdotool mousemove $((popx + popw / 3)) $((popy + spheresy)) click 1

dialog=""
for _ in $(seq 25); do
    sleep 0.2
    dialog="$(xdotool search --onlyvisible --name '^Draw Spheres$' 2>/dev/null | head -1)"
    [ -n "$dialog" ] && break
done
[ -n "$dialog" ] || fail "Object, Spheres did not open the 'Draw Spheres' dialog"
echo "e2e_smoke: Object, Spheres opened the dialog"

# Beside the main window, so that the picture can be seen whole.
xdotool windowmove "$dialog" $((winx + clientw + 20)) "$winy"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$dialog" | sed 's/^/dialog_/')"
# Without a window manager the X window is the dialog's client area, 170 by 180
# dialog units; a control's middle from its rectangle x, y, width, height:
control() {
    echo $((dialog_X + (2 * $1 + $3) * dialog_WIDTH / 340)) $((dialog_Y + (2 * $2 + $4) * dialog_HEIGHT / 360))
}
typeinto() {  # typeinto TEXT X Y W H
    local text="$1"
    shift
    xdotool mousemove $(control "$@") click 1
    sleep 0.2
    xdotool type --delay 30 "$text"
}
xdotool windowfocus "$dialog" 2>/dev/null
typeinto e2eball 6 92 81 13
typeinto "$sphere_centre" 46 109 81 13
typeinto "$sphere_radius" 46 124 81 13
typeinto "$sphere_color" 46 139 81 13
xdotool mousemove $(control 33 160 50 14) click 1

drawn=""
for _ in $(seq 50); do
    sleep 0.2
    client "$out/shown-sphere.png"
    if same "$out/shown-sphere.png" "$out/expected-sphere.png"; then drawn=1; break; fi
done
[ -n "$drawn" ] ||
    fail "after 'Use' the window does not show the new sphere (see $out/shown-sphere.png, expected-sphere.png)"
echo "e2e_smoke: the sphere typed into the dialog is drawn as scenerender draws it"

xdotool mousemove $(control 88 160 50 14) click 1
for _ in $(seq 25); do
    sleep 0.2
    [ -z "$(xdotool search --onlyvisible --name '^Draw Spheres$' 2>/dev/null)" ] && break
done
[ -z "$(xdotool search --onlyvisible --name '^Draw Spheres$' 2>/dev/null)" ] ||
    fail "'Finish' did not close the dialog"
echo "e2e_smoke: 'Finish' closed the dialog"
