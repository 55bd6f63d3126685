# Sourced by test.sh and run.sh: a private Wine prefix and, when asked, a private X server.
#   wine_setup PREFIX        exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, WINE32, WINE64;
#                            boots the prefix once, with the crash dialog off
#   wine_stop                ends the prefix's wine server
#   xvfb_start               starts Xvfb on a free display, exports DISPLAY, XVFB_PID
#   xvfb_stop                stops that Xvfb

wine_setup() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    WINE64=""
    for w in /usr/lib/wine/wine64 /usr/lib64/wine/wine64 "$(command -v wine64 || true)"; do
        if [ -n "$w" ] && [ -x "$w" ]; then WINE64="$w"; break; fi
    done
    # 32-bit Windows programs need a kernel that runs 32-bit Linux programs.
    WINE32=""
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WINE32="$(command -v wine)"
    fi
    export WINE32 WINE64
    local boot="${WINE64:-$WINE32}"
    [ -n "$boot" ] || return 0
    if [ ! -f "$WINEPREFIX/.booted" ]; then
        mkdir -p "$WINEPREFIX"
        "$boot" wineboot -i >/dev/null 2>&1 || true
        "$boot" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.booted"
    fi
    # The prefix's desktop process keeps the display it was started with: let the
    # boot's wine server end, so the programs that follow start on our display.
    wine_stop
    wine_wait
}

wine_wait() {
    local server
    for server in /usr/lib/wine/wineserver64 /usr/lib64/wine/wineserver64 "$(command -v wineserver || true)"; do
        if [ -n "$server" ] && [ -x "$server" ]; then "$server" -w >/dev/null 2>&1 || true; return 0; fi
    done
}

xvfb_start() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && return 0
                kill -0 "$XVFB_PID" 2>/dev/null || break
                sleep 0.1
            done
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

wine_stop() {
    local server
    for server in /usr/lib/wine/wineserver64 /usr/lib64/wine/wineserver64 "$(command -v wineserver || true)"; do
        if [ -n "$server" ] && [ -x "$server" ]; then "$server" -k >/dev/null 2>&1 || true; return 0; fi
    done
}
