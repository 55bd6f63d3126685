// fastdot.h - the literal Dot for four rows of one column of a tile (internal to render/fast/).
//
// Lane i is the pixel (col, row0 + i). The clipping bit and the depth test
// decide per lane which points are stored; the light, the cosine and the
// shading of the lanes run side by side with the literal expressions. The
// depth test is the literal's strict one extended by the drawing order: at
// an equal depth the point with the smaller order number (the tile's owner
// of the pixel, or NoOwner for what was there before) stays. A tile keeps
// its depths, pixels and owners column by column (Tile), so the four rows of
// a group are four neighbours: a full group is read and written back as one
// vector each (a lane that is not stored gets its own value back); the last
// rows of a column go lane by lane.
//
// A Painter holds what every Dot of a shape in a tile shares, copied into a
// local value: a loop that read it through references would read it again
// after every store of a pixel or an owner.
//
//   painter(view, tile, id, shade)   the Painter of the points numbered id in a tile, shade
//                                 their colour where the light shades them (shadelanes)
//   hidden4(paint, lanes)         whether every depth of the lanes is below the shape's nearest
//                                 depth in the tile, so that none of its points can be stored there
//   hidden4(paint, col, row0, end)  the same before the lanes are made (most groups of a small
//                                 polygon never need them)
//   rows4(paint, col, row0, end)  the lanes for rows row0 .. min(row0 + 4, end) − 1
//   cols4(paint, col0, row, end)  the lanes for columns col0 .. min(col0 + 4, end) − 1 of one row
//                                 (wide, low shapes); every operation below takes either
//   below4(lanes, row0, end)      the same for the next group down, row0 being its first row
//   dots(paint, rows, live, x, y, z, nx, ny, nz[, ln])   one surface point per live
//                                 lane, ln = lengthv of the normal; returns the lanes stored
//   litdots(paint, rows, live, z, word)   the same where the shading is known: word = blue,
//                                 green, red in bytes 0 to 2
//   dotpair(paint, a, na, b, nb, length)   two groups of rows (Points4) side by side, with
//                                 normals n of lengths length(n); returns the lanes stored, b's << 4
//   cos4(paint, x, y, z, nx, ny, nz, ln)   the literal lightcos of four points
//   selflit(shade), selflitword(shade)   whether a shade shows the same word under any light, and that word
//   dotone(paint, col, row, x, y, z, shade, normal)   one point, for the rare scalar cases
//   depthtest, writepixels        internal
#pragma once

#include "render/fast/fast.h"
#include "render/fast/lanes.h"

#include <cstring>

struct Painter {
    float* depth;       // the tile's own depths and pixels, column by column (Tile)
    uint32_t* pixels;
    bool clip;
    bool directed;
    Vector light;       // ActualLightpos
    F4 lx, ly, lz, ll;  // the same in lanes, and its length
    int32_t* owner;     // the tile's owners, and its corner
    int32_t x0, y0;
    int32_t id;         // the order number of the points drawn
    size_t at(int32_t col, int32_t row) const { return size_t(col - x0) * TileHeight + size_t(row - y0); }
    bool ties;          // owners kept and consulted (Tile)
    bool cull;          // hidden4 compares with near (Tile)
    float near;
    F4 nears;           // near in every lane
    const ShadeLanes* shade;  // the colour of the points drawn, where light shades them
};

inline Painter painter(const FastView& v, const Tile& tile, int32_t id, const ShadeLanes* shade)
{
    return Painter{tile.depth,    tile.pixels,   v.clip,        v.directed,    v.light,   f4(v.light.x),
                   f4(v.light.y), f4(v.light.z), f4(v.lightlength), tile.owner, tile.box.x0, tile.box.y0,
                   id,            tile.ties,     tile.cull,     tile.near,     f4(tile.near), shade};
}

// Four pixels of a tile, Stride places apart: Rows4, lane i the pixel (col,
// row0 + i), four neighbours; Cols4, lane i the pixel (col0 + i, row), for
// wide, low shapes, which fill their lanes better so, though the lanes are
// gathered and scattered.
template <size_t Stride>
struct Lanes4 {
    size_t index;  // lane 0's place in the tile
    int n;         // lanes that lie in the picture
};
using Rows4 = Lanes4<1>;
using Cols4 = Lanes4<TileHeight>;

inline Rows4 rows4(const Painter& d, int32_t col, int32_t row0, int32_t end)
{
    return Rows4{d.at(col, row0), end - row0 < 4 ? end - row0 : 4};
}

inline Rows4 below4(const Rows4& r, int32_t row0, int32_t end)
{
    return Rows4{r.index + 4, end - row0 < 4 ? end - row0 : 4};
}

// A group's points: their lanes in the tile, which of them are drawn, and where they lie.
struct Points4 {
    Rows4 at;
    M4 live;
    F4 x, y, z;
};

// Four vectors, one per lane.
struct Vector4 {
    F4 x, y, z;
};

inline Cols4 cols4(const Painter& d, int32_t col0, int32_t row, int32_t end)
{
    return Cols4{d.at(col0, row), end - col0 < 4 ? end - col0 : 4};
}

template <size_t Stride>
inline F4 loadlanes(const float* p)
{
    if constexpr (Stride == 1)
        return load4(p);
    else
        return f4(p[0], p[Stride], p[2 * Stride], p[3 * Stride]);
}

template <size_t Stride>
inline void storelanes(F4 x, float* p)
{
    if constexpr (Stride == 1) {
        store4(x, p);
    } else {
        float now[4];
        store4(x, now);
        p[0] = now[0], p[Stride] = now[1], p[2 * Stride] = now[2], p[3 * Stride] = now[3];
    }
}

// Strict: a depth equal to the nearest possible one could still be a tie the
// shape wins. A NaN depth is below nothing.
template <size_t Stride>
inline bool hidden4(const Painter& d, const Lanes4<Stride>& r)
{
    if (!d.cull)
        return false;
    const float* p = d.depth + r.index;
    if (!(p[0] < d.near))  // most groups of a shape that is seen, in one load
        return false;
    if (r.n == 4)
        return lanebits(lt(loadlanes<Stride>(p), d.nears)) == 15;
    for (int i = 1; i < r.n; i++)
        if (!(p[i * Stride] < d.near))
            return false;
    return true;
}

inline bool hidden4(const Painter& d, int32_t col, int32_t row0, int32_t end)
{
    if (!d.cull)
        return false;
    const float* p = d.depth + d.at(col, row0);
    if (!(p[0] < d.near))
        return false;
    if (end - row0 >= 4)
        return lanebits(lt(load4(p), d.nears)) == 15;
    for (int32_t row = row0 + 1; row < end; row++)
        if (!(p[row - row0] < d.near))
            return false;
    return true;
}

// Clipping and the depth test; the stored lanes as bits, which become the
// pixels' owners. Inlined by force: the large rasterisers reach the
// compiler's growth limit and would call it.
template <size_t Stride>
[[gnu::always_inline]] inline int depthtest(const Painter& d, const Lanes4<Stride>& r, M4 live, F4 z)
{
    if (d.clip)
        live = andnot(lt(z, f4(0)), live);
    int32_t* owner = d.owner + r.index;
    float* p = d.depth + r.index;
    if (r.n == 4) {
        const F4 old = loadlanes<Stride>(p);
        M4 pass = gt(old, z) & live;
        // Equal depths: the earlier point in the drawing order stays.
        const int ties = d.ties ? lanebits(eq(old, z) & live) : 0;
        if (ties) {
            int earlier = 0;
            for (int i = 0; i < 4; i++)
                if ((ties >> i & 1) && d.id < owner[i * Stride])
                    earlier |= 1 << i;
            pass = pass | lanemask(earlier);
        }
        const int bits = lanebits(pass);
        if (bits) {
            storelanes<Stride>(select(pass, z, old), p);
            if (d.ties && Stride == 1)
                setlanes(owner, bits, d.id);
            for (int i = 0; d.ties && Stride > 1 && i < 4; i++)
                if (bits >> i & 1)
                    owner[i * Stride] = d.id;
        }
        return bits;
    }
    const int bits = lanebits(live);
    int stored = 0;
    for (int i = 0; i < r.n; i++, p += Stride) {
        const float zi = lane(z, i);
        if ((bits >> i & 1) && (*p > zi || (d.ties && *p == zi && d.id < owner[i * Stride]))) {
            *p = zi;
            if (d.ties)
                owner[i * Stride] = d.id;
            stored |= 1 << i;
        }
    }
    return stored;
}

// Blue, green and red of the stored lanes, the fourth byte 0: the picture's
// own fourth byte is put back when the tile is (Tile). A pixel is one
// little-endian word, blue in its low byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are written as little-endian words");

template <size_t Stride>
inline void writepixels(const Painter& d, const Lanes4<Stride>& r, int stored, const uint32_t words[4])
{
    uint32_t* p = d.pixels + r.index;
    if (Stride == 1 && stored == 15) {  // the common case, without a branch per lane
        std::memcpy(p, words, 4 * sizeof(uint32_t));
        return;
    }
    for (int i = 0; i < r.n; i++, p += Stride)
        if (stored >> i & 1)
            *p = words[i];
}

// A shade whose three ambient channels are 255 shows its colour whatever the
// light: with a = 255, t = a·(1 − cos)/255 + cos is 1 within a few units of
// 2^-52 for every cos in [0, 1] (three roundings of relative size 2^-53 on the
// first term, one on the sum), so c·t lies within c·2^-50 of c, which rounds
// to the float c and truncates to c. (Checked for every float cos in [0, 1].)
inline bool selflit(Shade shade)
{
    return (shade.ambient & 0xFFFFFFu) == 0xFFFFFFu;
}

// Its pixel: blue, green, red in bytes 0 to 2.
inline uint32_t selflitword(Shade shade)
{
    return (shade.colour >> 16 & 0xFFu) | (shade.colour & 0xFF00u) | (shade.colour & 0xFFu) << 16;
}

template <typename Lanes>
inline int litdots(const Painter& d, const Lanes& r, M4 live, F4 z, uint32_t word)
{
    const int stored = depthtest(d, r, live, z);
    if (stored) {
        const uint32_t words[4] = {word, word, word, word};
        writepixels(d, r, stored, words);
    }
    return stored;
}

// The literal lightcos of four points (x, y, z) whose normals n have the length ln.
[[gnu::always_inline]] inline F4 cos4(const Painter& d, F4 x, F4 y, F4 z, F4 nx, F4 ny, F4 nz, F4 ln)
{
    F4 lx = d.lx, ly = d.ly, lz = d.lz, ll = d.ll;
    if (!d.directed) {
        lx = lx - x, ly = ly - y, lz = lz - z;
        ll = sqrt4((lx * lx + ly * ly) + lz * lz);
    }
    const F4 zero = f4(0);
    F4 cos = ((lx * nx + ly * ny) + lz * nz) / ll / ln;
    cos = select(gt(cos, zero), cos, zero);
    cos = select(gt(cos, f4(1)), f4(1), cos);
    return select(eq(ll, zero) | eq(ln, zero), zero, cos);
}

// Inlined into every rasteriser's loop: a call would pass its ten lane
// arguments through memory.
template <typename Lanes>
[[gnu::always_inline]] inline int dots(const Painter& d, const Lanes& r, M4 live, F4 x, F4 y, F4 z, F4 nx, F4 ny,
                                       F4 nz, F4 ln)
{
    const int stored = depthtest(d, r, live, z);
    if (!stored)
        return 0;
    uint32_t words[4];
    shadewords(cos4(d, x, y, z, nx, ny, nz, ln), *d.shade, words);
    writepixels(d, r, stored, words);
    return stored;
}

// Two groups of a column drawn side by side: a group's chain of division,
// square roots, two divisions and the shading is long, and the processor
// overlaps two such chains when they stand next to each other, not when one
// waits for the next turn of a loop. n are the groups' normals and
// length(n) their lengths, asked for only where a point is stored. Returns
// the stored lanes, b's shifted by 4.
template <typename Length>
[[gnu::always_inline]] inline int dotpair(const Painter& d, const Points4& a, const Vector4& na, const Points4& b,
                                          const Vector4& nb, Length length)
{
    // Clipped first: the near points of a sphere round the eye all are.
    const F4 zero = f4(0);
    const M4 livea = d.clip ? andnot(lt(a.z, zero), a.live) : a.live;
    const M4 liveb = d.clip ? andnot(lt(b.z, zero), b.live) : b.live;
    const int sa = lanebits(livea) ? depthtest(d, a.at, livea, a.z) : 0;
    const int sb = lanebits(liveb) ? depthtest(d, b.at, liveb, b.z) : 0;
    if (!sa || !sb) {  // one group or none: no pair to overlap
        const Points4& g = sa ? a : b;
        const Vector4& n = sa ? na : nb;
        if (sa | sb) {
            uint32_t words[4];
            shadewords(cos4(d, g.x, g.y, g.z, n.x, n.y, n.z, length(n)), *d.shade, words);
            writepixels(d, g.at, sa | sb, words);
        }
        return sa | sb << 4;
    }
    const F4 cosa = cos4(d, a.x, a.y, a.z, na.x, na.y, na.z, length(na));
    const F4 cosb = cos4(d, b.x, b.y, b.z, nb.x, nb.y, nb.z, length(nb));
    uint32_t wa[4], wb[4];
    shadewords(cosa, *d.shade, wa);
    shadewords(cosb, *d.shade, wb);
    writepixels(d, a.at, sa, wa);
    writepixels(d, b.at, sb, wb);
    return sa | sb << 4;
}

// The same with the normal's length computed here, only when a lane can be stored.
template <typename Lanes>
[[gnu::always_inline]] inline int dots(const Painter& d, const Lanes& r, M4 live, F4 x, F4 y, F4 z, F4 nx, F4 ny,
                                       F4 nz)
{
    M4 lit = live;
    if (d.clip)
        lit = andnot(lt(z, f4(0)), lit);
    if (!lanebits(lit))
        return 0;
    return dots(d, r, live, x, y, z, nx, ny, nz, sqrt4((nx * nx + ny * ny) + nz * nz));
}

// The literal Dot on one pixel, with the drawing order's tie rule.
inline void dotone(const Painter& d, int32_t col, int32_t row, float x, float y, float z, Shade shade, Vector normal)
{
    const size_t index = d.at(col, row);
    int32_t& owner = d.owner[index];
    if (d.clip && z < 0)
        return;
    if (!(d.depth[index] > z) && !(d.ties && d.depth[index] == z && d.id < owner))
        return;
    d.depth[index] = z;
    if (d.ties)
        owner = d.id;
    Vector light = d.light;
    if (!d.directed)
        light = subv(d.light, Vector{x, y, z});
    uint8_t bytes[3];
    shadebytes(lightcos(light, normal), shade, bytes);
    d.pixels[index] = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16;
}
