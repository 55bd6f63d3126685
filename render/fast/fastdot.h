// fastdot.h - the literal Dot for four rows of one column (internal to render/fast/).
//
// Lane i is the pixel (col, row0 + i). The clipping bit and the strict depth
// test decide per lane which points are stored; the light, the cosine and the
// shading of the lanes run side by side with the literal expressions. The
// depths of a full group of four rows are read and written back without
// branches (a lane that is not stored gets its own depth back; each band owns
// its pixels); the last rows of a column go lane by lane.
//
// A Painter holds what every Dot of a frame shares, copied out of FastFrame
// into a local value: pixel bytes may alias anything, so a loop that reads
// the globals through references would read them again after every store.
//
//   painter(view)                 the frame's Painter
//   rows4(paint, col, row0, end)  the lanes for rows row0 .. min(row0 + 4, end) − 1
//   dots(paint, rows, live, x, y, z, shade, nx, ny, nz[, ln])   one surface point per live
//                                 lane, ln = lengthv of the normal; returns the lanes stored
//   litdots(paint, rows, live, z, word)   the same where the shading is known: word = blue,
//                                 green, red in bytes 0 to 2
#pragma once

#include "render/fast/fast.h"
#include "render/fast/lanes.h"


struct Painter {
    float* depth;
    uint8_t* pixels;
    size_t width;
    size_t bpp;
    bool clip;
    bool directed;
    F4 lx, ly, lz, ll;  // the light in view coordinates and its length
};

inline Painter painter(const FastView& v)
{
    return Painter{v.depth,          v.pixels,         size_t(v.width),  size_t(v.bpp),        v.clip,
                   v.directed,       f4(v.light.x),    f4(v.light.y),    f4(v.light.z),        f4(v.lightlength)};
}

struct Rows4 {
    float* depth;    // lane 0's depth; lane i is i strides further
    uint8_t* pixel;  // lane 0's pixel
    size_t stride;   // one row, in depths
    size_t pixelstride;
    int n;           // lanes that lie in the picture
};

inline Rows4 rows4(const Painter& d, int32_t col, int32_t row0, int32_t end)
{
    const size_t index = d.width * size_t(row0) + size_t(col);
    const int n = end - row0 < 4 ? end - row0 : 4;
    return Rows4{d.depth + index, d.pixels + d.bpp * index, d.width, d.bpp * d.width, n};
}

// Clipping and the depth test; the stored lanes as bits.
inline int depthtest(const Painter& d, const Rows4& r, M4 live, F4 z)
{
    if (d.clip)
        live = andnot(lt(z, f4(0)), live);
    if (r.n == 4) {
        float* p = r.depth;
        const size_t s = r.stride;
        const F4 old = f4(p[0], p[s], p[2 * s], p[3 * s]);
        const M4 pass = gt(old, z) & live;
        const int bits = lanebits(pass);
        if (bits) {
            float now[4];
            store4(select(pass, z, old), now);
            p[0] = now[0], p[s] = now[1], p[2 * s] = now[2], p[3 * s] = now[3];
        }
        return bits;
    }
    const int bits = lanebits(live);
    int stored = 0;
    float* p = r.depth;
    for (int i = 0; i < r.n; i++, p += r.stride) {
        const float zi = lane(z, i);
        if ((bits >> i & 1) && *p > zi) {
            *p = zi;
            stored |= 1 << i;
        }
    }
    return stored;
}

// Blue, green and red of the stored lanes; the fourth byte of a pixel stays.
inline void writepixels(const Rows4& r, int stored, const uint32_t words[4])
{
    uint8_t* p = r.pixel;
    for (int i = 0; i < r.n; i++, p += r.pixelstride)
        if (stored >> i & 1) {
            p[0] = uint8_t(words[i]);
            p[1] = uint8_t(words[i] >> 8);
            p[2] = uint8_t(words[i] >> 16);
        }
}

inline int litdots(const Painter& d, const Rows4& r, M4 live, F4 z, uint32_t word)
{
    const int stored = depthtest(d, r, live, z);
    if (stored) {
        const uint32_t words[4] = {word, word, word, word};
        writepixels(r, stored, words);
    }
    return stored;
}

inline int dots(const Painter& d, const Rows4& r, M4 live, F4 x, F4 y, F4 z, Shade shade, F4 nx, F4 ny, F4 nz,
                F4 ln)
{
    const int stored = depthtest(d, r, live, z);
    if (!stored)
        return 0;
    F4 lx = d.lx, ly = d.ly, lz = d.lz, ll = d.ll;
    if (!d.directed) {
        lx = lx - x, ly = ly - y, lz = lz - z;
        ll = sqrt4((lx * lx + ly * ly) + lz * lz);
    }
    const F4 zero = f4(0);
    F4 cos = ((lx * nx + ly * ny) + lz * nz) / ll / ln;
    cos = select(gt(cos, zero), cos, zero);
    cos = select(gt(cos, f4(1)), f4(1), cos);
    cos = select(eq(ll, zero) | eq(ln, zero), zero, cos);
    uint32_t words[4];
    shadewords(cos, shade.colour, shade.ambient, words);
    writepixels(r, stored, words);
    return stored;
}

// The same with the normal's length computed here, only when a lane can be stored.
inline int dots(const Painter& d, const Rows4& r, M4 live, F4 x, F4 y, F4 z, Shade shade, F4 nx, F4 ny, F4 nz)
{
    M4 lit = live;
    if (d.clip)
        lit = andnot(lt(z, f4(0)), lit);
    if (!lanebits(lit))
        return 0;
    return dots(d, r, live, x, y, z, shade, nx, ny, nz, sqrt4((nx * nx + ny * ny) + nz * nz));
}
