# e2e_window.sh - sourced by the end-to-end scripts: the program's main window on
# an X screen without window manager, where the X window holds the menu bar and
# the client area and nothing else. The caller defines fail MESSAGE and out (a
# folder for pictures).
#
#   openwindow PID   waits for the window named "3D scene" of the program PID (it must not
#                    end before), sizes it to 320x260 and finds its menu bar; sets window,
#                    WIDTH, HEIGHT, winx, winy, menu, clientw, clienth
#   capture FILE     the X window as it is on the screen
#   client FILE      the client area now
#   same A B         identical pixels (the difference in $out/diff.png)
#   showing FILE EXPECTED   waits up to 10 s for the client area to show EXPECTED;
#                    the last look in FILE

openwindow() {
    local pid="$1" _ y row bar
    window=""
    for _ in $(seq 150); do
        window="$(xdotool search --name '^3D scene$' 2>/dev/null | head -1)"
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended before its window appeared"
        sleep 0.2
    done
    [ -n "$window" ] || fail "no window named '3D scene'"

    # A window that has only just appeared may not take the first request.
    for _ in $(seq 50); do
        xdotool windowsize "$window" 320 260
        sleep 0.2
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH" -eq 320 ] && [ "$HEIGHT" -eq 260 ] && break
    done
    [ "$WIDTH" -eq 320 ] && [ "$HEIGHT" -eq 260 ] || fail "window is ${WIDTH}x$HEIGHT, not 320x260"
    sleep 0.5
    winx="$X" winy="$Y"

    # The menu bar is the top rows whose part right of the menu titles has the bar's
    # own colour throughout; the client area starts below them.
    for _ in $(seq 20); do
        capture "$out/window.png"
        bar="$(convert "$out/window.png" -format "%[pixel:p{$((WIDTH - 1)),0}]" info:)"
        menu=""
        for y in $(seq 0 60); do
            row="$(convert "$out/window.png" -crop "$((WIDTH - 150))x1+150+$y" +repage \
                   -format '%k %[pixel:p{0,0}]' info: 2>/dev/null)"
            if [ "$row" != "1 $bar" ]; then menu="$y"; break; fi
        done
        # A bar not yet painted shows no such band.
        [ -n "$menu" ] && [ "$menu" -ge 10 ] && break
        sleep 0.2
    done
    [ -n "$menu" ] && [ "$menu" -ge 10 ] || fail "cannot find the menu bar (see $out/window.png)"
    clientw="$WIDTH"
    clienth=$((HEIGHT - menu))
}

capture() {
    import -window root -crop "${WIDTH}x${HEIGHT}+${winx}+${winy}" +repage "$1" 2>/dev/null
}

client() {
    import -window root -crop "${clientw}x${clienth}+${winx}+$((winy + menu))" +repage "$1" 2>/dev/null
}

same() {
    local differing
    differing="$(compare -metric AE "$1" "$2" "$out/diff.png" 2>&1 >/dev/null)"
    [ "$differing" = "0" ]
}

showing() {
    local _
    for _ in $(seq 50); do
        client "$1"
        same "$1" "$2" && return 0
        sleep 0.2
    done
    return 1
}
