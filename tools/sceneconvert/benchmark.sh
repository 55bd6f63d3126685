#!/bin/sh
# How fast a model of a million triangles comes in, and how fast the editor's
# loader reads the scene that results. Prints the figures and the load average
# (this machine's cores are shared, so the figures vary with it).
#
#   tools/sceneconvert/benchmark.sh SCENECONVERT [WORKDIR]
#
# The model is made here, a 708 x 708 grid of heights: 999 698 triangles.
set -eu
convert=$1
work=${2:-${TMPDIR:-/tmp}/sceneconvert-benchmark}
mkdir -p "$work"
awk 'BEGIN { n = 708
             for (i = 0; i < n; i++) for (j = 0; j < n; j++)
                 printf "v %d %.4f %d\n", i, 20 * sin(i / 37.0) * cos(j / 23.0), j
             for (i = 0; i < n - 1; i++) for (j = 0; j < n - 1; j++) {
                 a = i * n + j + 1; b = a + 1; c = a + n; d = c + 1
                 print "f " a " " c " " b; print "f " b " " c " " d } }' >"$work/grid.obj"
echo "model: $(grep -c '^f ' "$work/grid.obj") triangles, $(grep -c '^v ' "$work/grid.obj") vertices, $(wc -c <"$work/grid.obj") bytes"
for run in 1 2 3; do
    echo "load average before run $run: $(cut -d' ' -f1-3 /proc/loadavg)"
    start=$(date +%s.%N)
    "$convert" --timings "$work/grid.obj" "$work/grid.item" >/dev/null
    echo "  import (OBJ -> scene file), whole run: $(echo "$(date +%s.%N) - $start" | bc) s"
    # Reading a scene file is ReadScene, the editor's own loader: the "read" figure.
    "$convert" --timings "$work/grid.item" "$work/grid.glb" >/dev/null
done
echo "scene file: $(wc -c <"$work/grid.item") bytes"
