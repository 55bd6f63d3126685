#!/usr/bin/env bash
# installer_test.sh - the Windows installer as a user runs it, in a fresh Wine prefix.
#
#   tests/package/installer_test.sh SETUP NATIVE_BUILD WINE DISPLAY
#
#   SETUP         an installer, dist/scene3d-VERSION-win64-setup.exe or -win32-setup.exe
#   NATIVE_BUILD  a native build folder holding tools/scenerender
#   WINE          the Wine loader for SETUP's programs (wine64 for win64)
#   DISPLAY       a running X server without window manager (Xvfb)
#
# Installs silently (/S) into a new prefix beside SETUP (SETUP-test/), then
# checks the folder (Program Files; Program Files (x86) for win32), the files
# (and that the zip beside SETUP holds the same), the Start-menu entry, the
# .item association and the uninstall entry as the installer's kind of program
# sees the registry; opens a scene from a folder
# with blanks in its name as the file manager does (start, through the
# association) and checks that the window shows scenerender's picture of it;
# uninstalls silently and checks that no file, shortcut or registry entry of
# the program is left.
set -uo pipefail

if [ $# -lt 4 ]; then
    sed -n '2,/^set /p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
    exit 2
fi
setup="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
scenerender="$(cd "$2" && pwd)/tools/scenerender"
wine="$3"
export DISPLAY="$4"
top="$(cd "$(dirname "$0")/../.." && pwd)"
out="${setup%.exe}-test"
version="$("$top/scripts/version.sh")" || exit 1

fail() {
    echo "installer_test: FAILED: $*" >&2
    wine_stop
    exit 1
}
source "$top/scripts/wine-env.sh"
source "$top/tests/ui/e2e_window.sh"

[ -f "$setup" ] || fail "missing $setup"
[ -x "$scenerender" ] || fail "missing $scenerender"
rm -rf "$out"
mkdir -p "$out/my scenes"

# A fresh 64-bit prefix; no menu entries or file types leak into the Linux desktop.
export WINEPREFIX="$out/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
"$wine" wineboot -i >/dev/null 2>&1
wine_wait

reg() {  # reg KEY [VALUE]: the data of the value (default: the key's default value)
    local query
    if [ $# -ge 2 ]; then query=(/v "$2"); else query=(/ve); fi
    "$wine" reg query "$1" "${query[@]}" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    .*    REG_[A-Z_]*    //p'
}
haskey() {
    "$wine" reg query "$1" >/dev/null 2>&1
}

"$wine" "$setup" /S || fail "the installer ended with status $?"
wine_wait

uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\scene3d'
location="$(reg "$uninstall" InstallLocation)"
case "$setup" in
    *-win32-setup.exe) expected='C:\Program Files (x86)\3D scene' ;;
    *) expected='C:\Program Files\3D scene' ;;
esac
[ "$location" = "$expected" ] || fail "installed into '$location', not '$expected'"
program="$("$wine" winepath -u "$location" 2>/dev/null | tr -d '\r')"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/3D scene.lnk"
for file in scene3d.exe scenerender.exe sceneconvert.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt \
            uninstall.exe; do
    [ -f "$program/$file" ] || fail "not installed: $file"
done
for scene in "$top"/examples/*.item; do
    cmp -s "$scene" "$program/examples/$(basename "$scene")" || fail "not installed: examples/$(basename "$scene")"
done
[ -f "$shortcut" ] || fail "no Start-menu entry"
echo "installer_test: the files and the Start-menu entry are in place"

# The zip beside the installer holds the same files in one folder, and nothing else.
zip="${setup%-setup.exe}.zip"
name="$(basename "${zip%.zip}")"
mkdir -p "$out/zip"
(cd "$out/zip" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
installed="$(cd "$program" && find . -type f ! -name uninstall.exe | sort)"
[ "$(cd "$out/zip/$name" && find . -type f | sort)" = "$installed" ] ||
    fail "$zip does not hold the installed files"
while read -r file; do
    cmp -s "$out/zip/$name/$file" "$program/$file" || fail "$zip: $file differs from the installed one"
done <<<"$installed"
echo "installer_test: the zip holds the same files"

[ "$(reg 'HKCR\.item')" = "scene3d.item" ] || fail ".item is not associated with scene3d.item"
command="$(reg 'HKCR\scene3d.item\shell\open\command')"
[ "$command" = "\"$location\\scene3d.exe\" \"%1\"" ] || fail "open command is '$command'"
[ "$(reg "$uninstall" DisplayName)" = "3D scene" ] || fail "no uninstall entry"
[ "$(reg "$uninstall" DisplayVersion)" = "$version" ] || fail "uninstall entry without version $version"
[ "$(reg "$uninstall" UninstallString)" = "\"$location\\uninstall.exe\"" ] ||
    fail "uninstall entry without its command"
echo "installer_test: the registry holds the association ($command) and the uninstall entry"

# Opened as the file manager opens it: start looks the association up.
scene="$out/my scenes/still life.item"
cp "$top/examples/still_life.item" "$scene"
"$wine" start /wait /unix "$scene" &
startpid=$!
openwindow "$startpid"
"$scenerender" --size "${clientw}x$clienth" --output "$out/expected.png" "$scene" ||
    fail "scenerender could not render the scene"
showing "$out/shown.png" "$out/expected.png" ||
    fail "the window opened through the association does not show the scene (see $out/shown.png, expected.png)"
echo "installer_test: the association opens the scene in the editor, as scenerender draws it"
wine_stop
wait "$startpid" 2>/dev/null
wine_wait

"$wine" "$location\\uninstall.exe" /S || fail "the uninstaller ended with status $?"
# The uninstaller runs on from a copy of itself: wait for the prefix to go quiet.
wine_wait
[ ! -e "$program" ] || fail "left behind: $(find "$program" | head -5)"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is left"
for key in 'HKCR\.item' 'HKCR\scene3d.item' "$uninstall"; do
    haskey "$key" && fail "the key $key is left"
done
wine_wait
leftover="$(grep -il -e 'scene3d' -e '3D scene' "$WINEPREFIX"/*.reg)"
[ -z "$leftover" ] || fail "registry entries left in $leftover: $(grep -i -e 'scene3d' -e '3D scene' $leftover | head -5)"
echo "installer_test: the uninstaller left no file, shortcut or key"
rm -rf "$WINEPREFIX"
echo "installer_test: passed"
