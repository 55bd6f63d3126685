#!/bin/sh
# sceneconvert as a user runs it: real models from Debian's assimp-testmodels,
# hostile files, round trips, and the command-line conventions.
#
#   sceneconvert_cli.sh WORKDIR SCENECONVERT SCENERENDER [MODELFACES]
#
# SCENECONVERT and SCENERENDER are how to start each (one word each, or a
# quoted command such as "wine64 build/win64/tools/scenerender.exe").
# MODELFACES (native builds) counts faces with assimp; without it the models
# of the package are not read (the Windows builds read no STL or PLY anyway).
set -u
work=$1 convert=$2 render=$3 modelfaces=${4:-}
mkdir -p "$work" || exit 2
work=$(cd "$work" && pwd)
failed=0
# A sanitizer finding must not pass for exit status 1.
export ASAN_OPTIONS="detect_leaks=0:exitcode=99" UBSAN_OPTIONS="halt_on_error=1:exitcode=99"

fail() { echo "FAIL: $*"; failed=1; }

# run ARGS...: sceneconvert with its output in $work/stdout and $work/stderr; sets $got.
run() {
    $convert "$@" >"$work/stdout" 2>"$work/stderr"
    got=$?
    if grep -q -e Sanitizer -e 'runtime error' "$work/stderr"; then
        fail "sanitizer finding for $*: $(head -5 "$work/stderr")"
    fi
}

expect() {  # expect STATUSES WHAT ARGS...: STATUSES like "2" or "1 2"
    want=$1 what=$2
    shift 2
    run "$@"
    case " $want " in *" $got "*) ;; *) fail "$what: exit status $got, expected $want ($(head -3 "$work/stderr"))" ;; esac
    [ "$got" -eq 0 ] || grep -q "sceneconvert: " "$work/stderr" || fail "$what: no message"
}

# polygons FILE: "P T": polygon count and the sum of corners - 2 over them.
polygons() { awk '$1 == "POL" { p++; t += $3 - 2 } END { print p + 0, t + 0 }' "$1"; }
# colours FILE: the distinct RGB colours of the patterns, sorted.
colours() { awk '$1 == "PAT" { print $4, $5, $6 }' "$1" | sort -u | tr '\n' ';'; }

# picture SCENE PPM: render it small; true when some pixel is not black.
picture() {
    $render --size 96x72 --output "$2" "$1" >/dev/null 2>&1 || return 1
    [ "$(tail -c $((96 * 72 * 3)) "$2" | tr -d '\000' | wc -c)" -gt 0 ]
}

# covered PPM: one line per pixel of a 160x120 picture, 1 where it is not black.
covered() { tail -c $((160 * 120 * 3)) "$1" | od -An -v -tu1 | tr -s ' \n' '\n\n' | grep . |
            awk '{ s += $1 } NR % 3 == 0 { print (s > 0); s = 0 }'; }

# --- Models of the package: counts as assimp reports them, a picture each ------------------
if [ -n "$modelfaces" ]; then
    package=$(dpkg -L assimp-testmodels 2>/dev/null | grep '/OBJ/spider\.obj$' | sed 's|/OBJ/spider\.obj$||')
    [ -n "$package" ] || { echo "FAIL: assimp-testmodels is not installed (scripts/setup.sh installs it)"; exit 1; }
    for model in OBJ/spider.obj OBJ/WusonOBJ.obj OBJ/box.obj OBJ/cube_usemtl.obj OBJ/concave_polygon.obj \
                 OBJ/regr01.obj OBJ/box_longline.obj \
                 STL/Spider_ascii.stl STL/Spider_binary.stl STL/Wuson.stl STL/sphereWithHole.stl \
                 STL/3DSMaxExport.STL STL/triangle_with_two_solids.stl \
                 PLY/Wuson.ply PLY/cube.ply PLY/cube_binary.ply PLY/cube_uv.ply PLY/float-color.ply \
                 glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb glTF2/BoxTextured-glTF/BoxTextured.gltf \
                 glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf glTF2/IncorrectVertexArrays/Cube.gltf \
                 glTF2/ClearCoat-glTF/ClearCoatTest.gltf glTF2/simple_skin/simple_skin.gltf; do
        name=$(echo "$model" | tr '/' '_')
        expect "0 1" "$model" --fit "$package/$model" "$work/$name.item"
        library=$($modelfaces "$package/$model")
        read=$(sed -n 's/.*: \([0-9]*\) faces (\([0-9]*\) triangles) read.*/faces \1 triangles \2/p' "$work/stdout")
        [ "$read" = "$library" ] || fail "$model: read '$read', assimp reports '$library'"
        written=$(sed -n 's/.* read; \([0-9]*\) polygons (\([0-9]*\) triangles).*/\1 \2/p' "$work/stdout")
        [ "$(polygons "$work/$name.item")" = "$written" ] ||
            fail "$model: the scene holds '$(polygons "$work/$name.item")' polygons, the summary says '$written'"
        picture "$work/$name.item" "$work/$name.ppm" || fail "$model: the picture is empty"
    done
    # Colours: MTL diffuse, PLY vertex colours, glTF base colour factors (linear in the file).
    grep -q "^PAT color_0000FF RGB 0 0 255 " "$work/PLY_float-color.ply.item" || fail "PLY vertex colour lost"
    grep -q "^PAT Skin RGB 211 202 197 " "$work/OBJ_spider.obj.item" || fail "MTL colour lost"
    [ "$(grep -c '^PAT ' "$work/glTF2_2CylinderEngine-glTF-Binary_2CylinderEngine.glb.item")" -eq 34 ] ||
        fail "glTF materials: expected 34 patterns"

    # Hostile files of the package: refused or converted with a report, never a crash.
    for model in glTF2/IndexOutOfRange/IndexOutOfRange.gltf glTF2/IndexOutOfRange/AllIndicesOutOfRange.gltf \
                 glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb glTF2/RecursiveNodes/RecursiveNodes.gltf \
                 glTF2/draco/2CylinderEngine.gltf glTF2/MissingBin/BoxTextured.gltf \
                 invalid/empty.obj invalid/malformed.obj invalid/malformed2.obj invalid/empty.ply; do
        expect "1 2" "hostile $model" "$package/$model" "$work/hostile.item"
    done
    head -c 600 "$package/STL/Spider_binary.stl" >"$work/truncated.stl"
    expect "1 2" "truncated binary STL" "$work/truncated.stl" "$work/hostile.item"
    head -c 300 "$package/PLY/cube_binary.ply" >"$work/truncated.ply"
    expect "1 2" "truncated binary PLY" "$work/truncated.ply" "$work/hostile.item"
    printf 'ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\nproperty float z\n'\
'element face 2\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\nnan 1 0\n0 1 0\n3 0 1 2\n3 0 1 3\n' \
        >"$work/nan.ply"
    expect 1 "NaN coordinates in PLY" "$work/nan.ply" "$work/nan.item"
    [ "$(polygons "$work/nan.item")" = "1 1" ] || fail "NaN coordinates in PLY: $(polygons "$work/nan.item")"
    printf 'ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n'\
'element face 1\nproperty list uchar int vertex_indices\nproperty uchar red\nproperty uchar green\n'\
'property uchar blue\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2 255 0 0\n' >"$work/facecolour.ply"
    expect 1 "PLY face colours (not read by assimp)" "$work/facecolour.ply" "$work/facecolour.item"
    grep -q "face colours" "$work/stderr" || fail "PLY face colours: the loss is not told"
    # A face of 100 000 corners (a flat circle) in PLY: one polygon.
    awk 'BEGIN { n = 100000; print "ply\nformat ascii 1.0\nelement vertex " n
                 print "property float x\nproperty float y\nproperty float z\nelement face 1"
                 print "property list int int vertex_indices\nend_header"
                 for (i = 0; i < n; i++) printf "%.6f %.6f 0\n", cos(i * 6.283185307 / n), sin(i * 6.283185307 / n)
                 printf "%d", n; for (i = 0; i < n; i++) printf " %d", i; print "" }' >"$work/long.ply"
    expect "0 1" "a PLY face of 100 000 corners" "$work/long.ply" "$work/long.item"
    [ "$(polygons "$work/long.item")" = "1 99998" ] || fail "100 000 corners: got $(polygons "$work/long.item")"
fi

# --- Hostile files made here (every build reads OBJ and glTF) ------------------------------
# Six vertices, two triangles; the third vertex has a NaN x (bytes 00 00 c0 7f).
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\200\77\0\0\0\0\0\0\0\0\0\0\300\177\0\0\200\77\0\0\0\0'\
'\0\0\0\0\0\0\0\0\0\0\0\0\0\0\200\77\0\0\0\0\0\0\0\0\0\0\0\0\0\0\200\77\0\0\0\0' >"$work/nan.bin"
cat >"$work/nan.gltf" <<GLTF
{"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}], "nodes": [{"mesh": 0}],
 "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
 "buffers": [{"byteLength": 72, "uri": "data:application/octet-stream;base64,$(base64 -w0 "$work/nan.bin")"}],
 "bufferViews": [{"buffer": 0, "byteLength": 72}],
 "accessors": [{"bufferView": 0, "componentType": 5126, "count": COUNT, "type": "VEC3"}]}
GLTF
sed 's/COUNT/6/' "$work/nan.gltf" >"$work/nan6.gltf"
expect 1 "NaN coordinates" "$work/nan6.gltf" "$work/nan.item"
grep -q "not finite" "$work/stderr" || fail "NaN coordinates: not reported"
[ "$(polygons "$work/nan.item")" = "1 1" ] || fail "NaN coordinates: the good face is lost"
# An accessor that claims far more than its buffer holds.
sed 's/COUNT/1000000000/' "$work/nan.gltf" >"$work/liar.gltf"
expect "1 2" "accessor past its buffer" "$work/liar.gltf" "$work/liar.item"
grep -q "past its buffer" "$work/stderr" || fail "accessor past its buffer: not reported"
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 99\nf 1 2 3\nf -7 1 2\n' >"$work/range.obj"
expect "1 2" "indices out of range" "$work/range.obj" "$work/range.item"
awk 'BEGIN { n = 100000; for (i = 0; i < n; i++) printf "v %d %d %d\n", i % 7, int(i / 7) % 5, i % 3
             printf "f"; for (i = 1; i <= n; i++) printf " %d", i; print "" }' >"$work/long.obj"
expect "0 1 2" "an OBJ face of 100 000 corners" "$work/long.obj" "$work/longobj.item"
# Material names with blanks, names that meet once made valid, and one too long
# for a word of the format: valid, unique, cut to 1022 bytes.
printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\200\77\0\0\0\0\0\0\0\0\0\0\0\0\0\0\200\77\0\0\0\0' >"$work/tri.bin"
long=$(awk 'BEGIN { while (n++ < 2000) printf "x" }')
primitive() { echo "{\"attributes\": {\"POSITION\": 0}, \"material\": $1}"; }
cat >"$work/names.gltf" <<GLTF
{"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}], "nodes": [{"mesh": 0}],
 "meshes": [{"primitives": [$(primitive 0), $(primitive 1), $(primitive 2), $(primitive 3)]}],
 "materials": [{"name": "my red"}, {"name": "my_red"}, {"name": "$long"}, {"name": "$long"}],
 "buffers": [{"byteLength": 36, "uri": "data:application/octet-stream;base64,$(base64 -w0 "$work/tri.bin")"}],
 "bufferViews": [{"buffer": 0, "byteLength": 36}],
 "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}]}
GLTF
expect 0 "material names" "$work/names.gltf" "$work/names.item"
names=$(awk '$1 == "PAT" { print $2 }' "$work/names.item" | awk '{ print length($0) < 40 ? $0 : length($0) }' | tr '\n' ' ')
[ "$names" = "my_red my_red_2 1022 1022 " ] || fail "material names became: $names"
[ "$(awk '$1 == "PAT" { print $2 }' "$work/names.item" | sort | uniq -d)" = "" ] || fail "pattern names not unique"
$render --check "$work/names.item" >"$work/check" 2>&1 || fail "material names do not read back: $(head -3 "$work/check")"
printf 'glTF\002\000\000\000\377\377\377\177JSON' >"$work/truncated.glb"
expect 2 "truncated GLB" "$work/truncated.glb" "$work/truncated.item"

# A scene with a point that is not a number, and a comb of 5 002 corners.
{ echo "PAT p RGB 1 2 3 AMB 33 33 33"; echo "PNT a 0 0 0"; echo "PNT b 1 0 0"; echo "PNT n nan 1 0"
  echo "POL bad 3 a b n p"
  awk 'BEGIN { for (i = 0; i < 2500; i++) { printf "PNT u%d %d 0 0\nPNT v%d %d 100 0\n", i, 2 * i, i, 2 * i + 1 }
               print "PNT w1 5000 -10 0\nPNT w2 0 -10 0"; printf "POL comb 5002"
               for (i = 0; i < 2500; i++) printf " u%d v%d", i, i; print " w1 w2 p" }'; } >"$work/odd.item"
expect 1 "a scene with NaN and a long comb" "$work/odd.item" "$work/odd.glb"
grep -q "not finite" "$work/stderr" || fail "NaN corner: not reported"
grep -q "fans of their outline" "$work/stderr" || fail "long comb: not reported"

# --- Round trips ----------------------------------------------------------------------------
# Convex polygons keep their count through OBJ, their triangles through glTF; every colour stays.
cat >"$work/flat.item" <<'SCENE'
PAT red RGB 255 0 0 AMB 33 33 33
PAT olive RGB 128 128 1 AMB 33 33 33
PAT blue RGB 10 20 250 AMB 33 33 33
PNT a -600 -400 0
PNT b -200 -400 0
PNT c -200 0 0
PNT d -600 0 0
PNT e 0 -400 100
PNT f 300 -400 100
PNT g 400 -100 100
PNT h 150 100 100
PNT i -50 -100 100
POL quad 4 a b c d red
POL pentagon 5 e f g h i olive
POL triangle 3 a c i blue
SCENE
for via in obj glb; do
    expect 0 "scene to $via" "$work/flat.item" "$work/flat.$via"
    expect 0 "$via back to a scene" "$work/flat.$via" "$work/flat-$via.item"
    [ "$(colours "$work/flat-$via.item")" = "$(colours "$work/flat.item")" ] ||
        fail "round trip through $via: colours $(colours "$work/flat-$via.item")"
done
# The camera goes along: the start-up camera, 90 degrees high, 1000 before the origin.
at='"matrix":\[1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,1000.0,1.0\]'
grep -a -q '"yfov":1.5707963' "$work/flat.glb" && grep -a -q "$at" "$work/flat.glb" ||
    fail "glTF camera: $(grep -a -o '"cameras":[^]]*' "$work/flat.glb")"
[ "$(polygons "$work/flat-obj.item")" = "3 6" ] || fail "round trip through OBJ: $(polygons "$work/flat-obj.item")"
[ "$(polygons "$work/flat-glb.item" | cut -d' ' -f2)" = 6 ] || fail "round trip through glTF: $(polygons "$work/flat-glb.item")"
# Concave, crossing and round shapes cover the same pixels after the trip, but
# for their outlines. (Off the pixel grid: where a seam between two polygons
# runs exactly along a row of pixels, the central view can leave that row out
# of both.)
cat >"$work/cut.item" <<'SCENE'
PAT green RGB 0 200 0 AMB 255 255 255
PNT l1 -593 -493 0
PNT l2 -93 -493 0
PNT l3 -93 -393 0
PNT l4 -393 -393 0
PNT l5 -393 -93 0
PNT l6 -593 -93 0
PNT t1 7 7 0
PNT t2 607 507 0
PNT t3 607 -93 0
PNT t4 7 307 0
PNT s -293 307 0
POL ell 6 l1 l2 l3 l4 l5 l6 green
POL bowtie 4 t1 t2 t3 t4 green
SPH ball s 200 green
SCENE
expect 0 "cut shapes to glTF" --segments 64 "$work/cut.item" "$work/cut.glb"
expect 0 "cut shapes back" "$work/cut.glb" "$work/cut-glb.item"
$render --size 160x120 --output "$work/cut.ppm" "$work/cut.item" >/dev/null 2>&1
$render --size 160x120 --output "$work/cut-glb.ppm" "$work/cut-glb.item" >/dev/null 2>&1
covered "$work/cut.ppm" >"$work/cut.mask"
covered "$work/cut-glb.ppm" >"$work/cut-glb.mask"
differ=$(paste "$work/cut.mask" "$work/cut-glb.mask" |
         awk '{ c += $1 != $2; n += $1 } END { print (n > 1000 && c * 50 < n) ? "ok" : c " of " n }')
[ "$differ" = ok ] || fail "cut shapes through glTF cover other pixels: $differ"

# --- Conventions ----------------------------------------------------------------------------
expect 0 "--help" --help
grep -q "usage: sceneconvert" "$work/stdout" || fail "--help prints no usage"
expect 2 "no files"
expect 2 "one file" "$work/flat.item"
expect 2 "unknown option" --frobnicate "$work/flat.item" "$work/x.obj"
expect 2 "bad --back" --back 1,2 "$work/flat.obj" "$work/x.item"
expect 2 "bad --segments" --segments 3 "$work/flat.item" "$work/x.glb"
expect 2 "--fit on a scene" --fit "$work/flat.item" "$work/x.glb"
expect 2 "unknown input format" "$work/stdout" "$work/x.item"
expect 2 "STL cannot be written" "$work/flat.item" "$work/x.stl"
expect 2 "missing input" "$work/no-such.obj" "$work/x.item"
expect 2 "unwritable output" "$work/flat.item" "$work/no-such-folder/x.glb"
# Another name for the input is still the input.
cp "$work/flat.item" "$work/same.item" && ln -f "$work/same.item" "$work/link.item"
expect 2 "output is the input" "$work/same.item" "$work/link.item"
cmp -s "$work/same.item" "$work/flat.item" || fail "the input was written over"
# Links planted at the temporary names older versions used are left alone, and an
# output that is a link stays one: the file it names gets the whole output.
echo victim >"$work/victim" && mkdir -p "$work/elsewhere" && : >"$work/elsewhere/linked.glb"
for name in linked.obj linked.mtl linked.glb; do ln -sf victim "$work/$name~saving"; done
ln -sf elsewhere/linked.glb "$work/linked.glb"
expect 0 "OBJ beside planted links" "$work/flat.item" "$work/linked.obj"
expect 0 "glTF through a link" "$work/flat.item" "$work/linked.glb"
[ "$(cat "$work/victim")" = victim ] || fail "a planted link was followed"
[ -L "$work/linked.glb" ] && cmp -s "$work/elsewhere/linked.glb" "$work/flat.glb" ||
    fail "the output through a link is not the whole glTF, or no longer a link"
sed /^mtllib/d "$work/flat.obj" >"$work/flat.body"
sed /^mtllib/d "$work/linked.obj" | cmp -s - "$work/flat.body" && cmp -s "$work/linked.mtl" "$work/flat.mtl" ||
    fail "the OBJ beside planted links is not whole"
ls "$work"/~* >/dev/null 2>&1 && fail "temporary files left: $(ls "$work"/~*)"
# --back: every pattern gets it, and it stands before them so that it reads back.
expect 0 "--back" --back 10,20,30 "$work/flat.obj" "$work/back.item"
[ "$(tr -d '\r' <"$work/back.item" | grep -c ' BCK back$')" -eq "$(($(grep -c '^PAT ' "$work/back.item") - 1))" ] ||
    fail "--back: not every pattern has the back colour"
grep -q '^PAT back RGB 10 20 30 ' "$work/back.item" || fail "--back: no back pattern"

[ "$failed" -eq 0 ] && echo "sceneconvert_cli: all passed"
exit "$failed"
