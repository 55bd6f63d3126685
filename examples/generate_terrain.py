#!/usr/bin/env python3
"""Writes terrain.item: a generated landscape of a few thousand triangles, a lake
and a forest of spheres. Deterministic: the same file on every run.

    python3 generate_terrain.py > terrain.item
"""
import math

N = 56            # grid cells per side
SIZE = 16000.0    # side of the terrain, scene units
WATER = 40.0      # water level (y points down: higher ground has smaller y)


def height(x, z):
    """Ground height above the water level's zero, positive upwards."""
    h = 330 + 420 * math.sin(x / 1900.0) * math.cos(z / 2300.0)
    h += 260 * math.sin((x + 2 * z) / 1300.0 + 1.0)
    h += 2300 * math.exp(-((x - 2600) ** 2 + (z - 3600) ** 2) / 4.0e6)   # the mountain
    h += 1500 * math.exp(-((x + 3300) ** 2 + (z - 4300) ** 2) / 2.6e6)   # its neighbour
    h -= 1300 * math.exp(-((x + 900) ** 2 + (z - 200) ** 2) / 3.6e6)    # the lake's bowl
    return h


def fmt(v):
    s = "%.6g" % v
    return "0" if s == "-0" else s


def main():
    out = []
    w = out.append
    w("NOP A generated landscape: %d triangles of a height field, coloured by height" % (2 * N * N))
    w("NOP and slope, a lake, and a forest of sphere trees; written by generate_terrain.py.")
    w("NOP A low evening sun (a directed light) brings out the relief.")
    w("CAM CX")
    w("LGT II")
    eye, target = (-6800, -2600, -7400), (600, 100, 2500)
    front = [t - e for t, e in zip(target, eye)]
    length = math.sqrt(sum(c * c for c in front))
    front = [1000 * c / length for c in front]
    right = [front[2], 0, -front[0]]            # level, square to the view
    length = math.sqrt(sum(c * c for c in right))
    right = [1000 * c / length for c in right]
    w("PNT cam_position %s %s %s" % tuple(fmt(c) for c in eye))
    w("VEC cam_right %s %s %s" % tuple(fmt(c) for c in right))
    w("VEC cam_lower 0 430 0")
    w("VEC cam_front %s %s %s" % tuple(fmt(c) for c in front))
    w("VEC light_direction -800 -420 -300")
    for name, rgb, amb in [("water", (40, 110, 170), 150), ("sand", (214, 196, 140), 80),
                           ("grass", (92, 150, 60), 80), ("meadow", (130, 170, 70), 80),
                           ("rock", (128, 118, 108), 80), ("snow", (245, 248, 252), 110),
                           ("tree", (40, 105, 45), 70), ("tree2", (70, 125, 40), 70),
                           ("sky", (150, 182, 220), 255)]:
        w("PAT %s RGB %d %d %d AMB %d %d %d" % ((name,) + rgb + (amb, amb, amb)))
    w("NOP The sky: a huge sphere round everything, seen from inside, so its back colour shows.")
    w("PAT dome RGB 0 0 0 AMB 0 0 0 BCK sky")
    w("PNT sky_c 0 0 0")
    w("SPH sky sky_c 60000 dome")
    w("NOP The grid points.")
    step = SIZE / N
    H = {}
    for i in range(N + 1):
        for j in range(N + 1):
            x, z = -SIZE / 2 + i * step, -SIZE / 2 + j * step
            H[i, j] = height(x, z)
            w("PNT g%d_%d %s %s %s" % (i, j, fmt(x), fmt(-H[i, j]), fmt(z)))
    w("NOP Two triangles per cell; the colour follows the height and the slope.")
    for i in range(N):
        for j in range(N):
            for k, tri in enumerate((((i, j), (i + 1, j), (i, j + 1)),
                                     ((i + 1, j), (i + 1, j + 1), (i, j + 1)))):
                hs = [H[p] for p in tri]
                mean, rise = sum(hs) / 3, max(hs) - min(hs)
                if mean < WATER + 60:
                    pat = "sand"
                elif mean > 1900:
                    pat = "snow"
                elif rise > 0.42 * step or mean > 1350:
                    pat = "rock"
                else:
                    pat = "grass" if (i * 7 + j * 3) % 5 else "meadow"
                names = " ".join("g%d_%d" % p for p in tri)
                w("POL t%d_%d_%d 3 %s %s" % (i, j, k, names, pat))
    w("NOP The lake: one flat polygon at the water level; the ground below it is hidden.")
    lake = [(-4200, -3200), (2200, -3200), (2200, 3000), (-4200, 3000)]
    for n, (x, z) in enumerate(lake):
        w("PNT lake_%d %s %s %s" % (n, fmt(x), fmt(-WATER), fmt(z)))
    w("POL lake 4 lake_0 lake_1 lake_2 lake_3 water")
    w("NOP Trees on the gentle slopes between the shore and the rocks.")
    seed = 12345
    trees = 0
    for n in range(900):
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        u = seed / 2 ** 31
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        v = seed / 2 ** 31
        x, z = -SIZE / 2 + 600 + u * (SIZE - 1200), -SIZE / 2 + 600 + v * (SIZE - 1200)
        h = height(x, z)
        slope = abs(height(x + 50, z) - h) + abs(height(x, z + 50) - h)
        if h < WATER + 150 or h > 1150 or slope > 25:
            continue
        r = 110 + 60 * ((n * 37) % 5) / 4
        w("PNT tree%d %s %s %s" % (trees, fmt(x), fmt(-(h + r * 0.8)), fmt(z)))
        w("SPH tree%d tree%d %s %s" % (trees, trees, fmt(r), "tree" if n % 3 else "tree2"))
        trees += 1
    print("\n".join(out))


if __name__ == "__main__":
    main()
