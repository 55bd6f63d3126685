// fastdot.h - the literal Dot for four rows of one column (internal to render/).
//
// Lane i is the pixel (col, row0 + i). The clipping bit and the strict depth
// test run lane by lane; the light, the cosine and the shading of the lanes
// that were stored run side by side, with the literal expressions.
//
//   dots(view, col, row0, live, x, y, z, shade, nx, ny, nz)   one surface point per live lane;
//                                     returns the lanes stored
//   litdots(view, col, row0, live, z, bytes)   the same where cos is known: only the bytes differ
#pragma once

#include "render/fast.h"
#include "render/lanes.h"

// Clipping and the depth test; the stored lanes as bits.
inline int depthtest(const FastView& v, int32_t col, int32_t row0, M4 live, F4 z)
{
    if (v.clip)
        live = andnot(lt(z, f4(0)), live);
    const int bits = lanebits(live);
    if (!bits)
        return 0;
    int stored = 0;
    float* depth = v.depth + size_t(v.width) * size_t(row0) + size_t(col);
    for (int i = 0; i < 4; i++, depth += v.width) {
        if (!(bits >> i & 1))
            continue;
        const float zi = lane(z, i);
        if (*depth > zi) {
            *depth = zi;
            stored |= 1 << i;
        }
    }
    return stored;
}

inline uint8_t* pixelat(const FastView& v, int32_t col, int32_t row)
{
    return v.pixels + size_t(v.bpp) * (size_t(v.width) * size_t(row) + size_t(col));
}

inline int litdots(const FastView& v, int32_t col, int32_t row0, M4 live, F4 z, const uint8_t bytes[3])
{
    const int stored = depthtest(v, col, row0, live, z);
    for (int i = 0; i < 4; i++)
        if (stored >> i & 1) {
            uint8_t* pixel = pixelat(v, col, row0 + i);
            pixel[0] = bytes[0], pixel[1] = bytes[1], pixel[2] = bytes[2];
        }
    return stored;
}

inline int dots(const FastView& v, int32_t col, int32_t row0, M4 live, F4 x, F4 y, F4 z, Shade shade, F4 nx,
                F4 ny, F4 nz)
{
    const int stored = depthtest(v, col, row0, live, z);
    if (!stored)
        return 0;
    const F4 ln = sqrt4((nx * nx + ny * ny) + nz * nz);
    F4 lx = f4(v.light.x), ly = f4(v.light.y), lz = f4(v.light.z), ll = f4(v.lightlength);
    if (!v.directed) {
        lx = lx - x, ly = ly - y, lz = lz - z;
        ll = sqrt4((lx * lx + ly * ly) + lz * lz);
    }
    const F4 zero = f4(0);
    F4 cos = ((lx * nx + ly * ny) + lz * nz) / ll / ln;
    cos = select(gt(cos, zero), cos, zero);
    cos = select(gt(cos, f4(1)), f4(1), cos);
    cos = select(eq(ll, zero) | eq(ln, zero), zero, cos);
    uint8_t bytes[4][3];
    shadebytes(cos, shade.colour, shade.ambient, bytes);
    for (int i = 0; i < 4; i++)
        if (stored >> i & 1) {
            uint8_t* pixel = pixelat(v, col, row0 + i);
            pixel[0] = bytes[i][0], pixel[1] = bytes[i][1], pixel[2] = bytes[i][2];
        }
    return stored;
}
