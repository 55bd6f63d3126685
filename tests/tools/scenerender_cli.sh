#!/bin/sh
# Command-line behaviour of scenerender: options, exit statuses, output formats.
#
#   scenerender_cli.sh WORKDIR PROGRAM...
#
# PROGRAM... is how to start it, e.g. build/native/tools/scenerender or
# /usr/lib/wine/wine64 build/win64/tools/scenerender.exe.
set -u
work=$1
shift
mkdir -p "$work" || exit 2
work=$(cd "$work" && pwd)
failed=0

fail() { echo "FAIL: $*"; failed=1; }

# expect STATUS DESCRIPTION ARGS...: run the program, check its exit status.
expect() {
    want=$1 what=$2
    shift 2
    "$@" >"$work/stdout" 2>"$work/stderr"
    got=$?
    [ "$got" -eq "$want" ] || fail "$what: exit status $got, expected $want ($(cat "$work/stderr"))"
}

# A wall filling the picture, lit straight on, with full ambient: every pixel is its colour.
cat >"$work/wall.item" <<'SCENE'
PNT a -5000 -5000 0
PNT b 5000 -5000 0
PNT c 5000 5000 0
PNT d -5000 5000 0
PAT paint RGB 10 20 30 AMB 255 255 255
POL wall 4 a b c d paint
SCENE
# Line 2 is no record, line 4 names a point that does not exist.
cat >"$work/faulty.item" <<'SCENE'
PAT red RGB 255 0 0 AMB 33 33 33
XYZ not a record
PNT here 0 0 0
SPH s nowhere 10 red
SPH t here 10 red
SCENE

expect 0 "--help" "$@" --help
grep -q "usage: scenerender" "$work/stdout" || fail "--help prints no usage"
expect 2 "no scene" "$@"
expect 2 "unknown option" "$@" --frobnicate "$work/wall.item"
expect 2 "two scenes" "$@" "$work/wall.item" "$work/wall.item"
expect 2 "--size without value" "$@" "$work/wall.item" --size
for size in 0x10 10x0 10 10x x10 axb 8193x10 10x8193 -5x5 10x10x10 " 10x10"; do
    expect 2 "size '$size'" "$@" --size "$size" --output "$work/x.ppm" "$work/wall.item"
done
expect 2 "missing scene" "$@" --output "$work/x.ppm" "$work/no-such-scene.item"
grep -q "no-such-scene.item" "$work/stderr" || fail "missing scene: message does not name the file"
expect 2 "a folder as scene" "$@" --output "$work/x.ppm" "$work"
expect 2 "unknown picture format" "$@" --output "$work/x.jpg" "$work/wall.item"
expect 2 "unwritable output" "$@" --output "$work/no-such-folder/x.png" "$work/wall.item"

# PPM: header and the exact pixels, red first.
expect 0 "ppm" "$@" --size 3x2 --output "$work/wall.ppm" "$work/wall.item"
[ "$(head -c 11 "$work/wall.ppm" | od -An -c | tr -d ' \n')" = 'P6\n32\n255\n' ] ||
    fail "ppm header: $(head -c 11 "$work/wall.ppm" | od -An -c)"
[ "$(tail -c +12 "$work/wall.ppm" | od -An -tu1 | tr -s ' \n' ' ')" = \
  " 10 20 30 10 20 30 10 20 30 10 20 30 10 20 30 10 20 30 " ] ||
    fail "ppm pixels: $(tail -c +12 "$work/wall.ppm" | od -An -tu1)"
# BMP and PNG: the right kind of file; the extension is read without regard to case.
expect 0 "bmp" "$@" --size 5x3 --output "$work/wall.BMP" "$work/wall.item"
[ "$(head -c 2 "$work/wall.BMP")" = "BM" ] || fail "bmp: no BMP signature"
expect 0 "png" "$@" --size 5x3 --output "$work/wall.png" "$work/wall.item"
[ "$(head -c 4 "$work/wall.png" | tail -c 3)" = "PNG" ] || fail "png: no PNG signature"
# Without --output the picture goes beside the scene.
rm -f "$work/wall.png"
expect 0 "default output" "$@" --size 4x4 "$work/wall.item"
[ -s "$work/wall.png" ] || fail "default output: no wall.png beside wall.item"

# The scene is never written over: not as the default output, not under another
# spelling, not through a link.
cp "$work/wall.item" "$work/scene.png"
expect 2 "scene as its own default output" "$@" "$work/scene.png"
expect 2 "scene as output, other spelling" "$@" --output "$work/./scene.png" "$work/scene.png"
ln -sf scene.png "$work/link.png"
expect 2 "scene as output through a link" "$@" --output "$work/link.png" "$work/scene.png"
cmp -s "$work/wall.item" "$work/scene.png" || fail "the scene was written over"
# A picture that cannot be written whole leaves the old one as it was, and no temporary file.
cp "$work/wall.ppm" "$work/old.ppm"
( trap '' XFSZ; ulimit -f 16; "$@" --size 400x400 --output "$work/old.ppm" "$work/wall.item" ) >"$work/stdout" 2>"$work/stderr"
[ $? -eq 2 ] || fail "a picture too large to write: exit status is not 2 ($(cat "$work/stderr"))"
cmp -s "$work/wall.ppm" "$work/old.ppm" || fail "a failed write damaged the old picture"
ls "$work" | grep -q '^~' && fail "temporary files left: $(ls "$work" | grep '^~')"

# --check: the loader's findings with line numbers, exit status 1; nothing for a clean scene.
expect 1 "--check faulty" "$@" --check "$work/faulty.item"
grep -q "line 2:" "$work/stdout" || fail "--check does not report line 2: $(cat "$work/stdout")"
grep -q "line 4:" "$work/stdout" || fail "--check does not report line 4: $(cat "$work/stdout")"
grep -q "line 5:" "$work/stdout" && fail "--check reports the good line 5"
[ -e "$work/faulty.png" ] && fail "--check alone wrote a picture"
expect 0 "--check clean" "$@" --check "$work/wall.item"
[ -s "$work/stdout" ] && fail "--check of a clean scene printed: $(cat "$work/stdout")"
expect 1 "--check with --output" "$@" --check --size 4x4 --output "$work/f.ppm" "$work/faulty.item"
[ -s "$work/f.ppm" ] || fail "--check with --output wrote no picture"

[ "$failed" -eq 0 ] && echo "scenerender_cli: all passed"
exit "$failed"
