// raster.h - what both render passes compute alike (internal to render/).
//
// The literal pass (Sphere, Porygon, Dot) and the fast pass (render/fast/)
// must agree to the last bit, so every scalar float expression they share is
// written once, here, and inlined into both. The fast pass's four-lane forms
// (render/fast/lanes.h) keep their own shape; the tests compare the pictures.
//
//   finitev(v)               all three components finite
//   clampbound(v, hi)        v limited to [0, hi]; NaN gives 0, so no bound ever overflows an int
//   frontside(pattern)       colour and ambient of the outside / front face
//   backside(pattern)        those of the back face: the back pattern's when it is set
//   patternusable(pattern)   the colour cell (and back pattern, when flagged) exist
//   pixelbox(xmin, xmax, ymin, ymax, W, H)   the pixel rectangle [x0, x1) × [y0, y1) of a range
//   emptybox(box)            no pixel in it
//   spherebox(C, rp, central, f, W, H)       where a sphere's projection may fall (empty: behind the eye)
//   cornerbounds(W, H), growbounds(bounds, p, central, f, W, H)   a polygon's screen range, corner by corner
//   fitplane(corners, count) the plane a polygon is drawn on
//   lightcos(light, normal)  cos of the angle between them, 0 to 1
//   shadebytes(cos, shade, pixel)   blue, green, red of a lit surface point
#pragma once

#include "core/objects.h"
#include "math/vector.h"

#include <cmath>
#include <cstdint>

struct Shade {
    uint32_t colour;
    uint32_t ambient;
};

inline bool finitev(Vector v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline float clampbound(float v, float hi)
{
    if (v > hi)
        return hi;
    if (v >= 0)
        return v;
    return 0;
}

inline bool patternusable(const Pattern& pattern)
{
    if (!pattern.color)
        return false;
    if ((pattern.flags & PatternHasBack) && (!pattern.back || !pattern.back->color))
        return false;
    return true;
}

inline Shade frontside(const Pattern& pattern)
{
    return Shade{*pattern.color, pattern.ambient};
}

inline Shade backside(const Pattern& pattern)
{
    if (pattern.flags & PatternHasBack)
        return Shade{*pattern.back->color, pattern.back->ambient};
    return frontside(pattern);
}

// A pixel rectangle [x0, x1) × [y0, y1).
struct PixelBox {
    int32_t x0, x1, y0, y1;
};

// ceil(v) for v in [0, 2^31): the truncation is the floor there, and a
// fraction (which only values below 2^23 have) adds one.
inline int32_t ceilbound(float v)
{
    const int32_t i = int32_t(v);
    return i + (float(i) < v);
}

inline PixelBox pixelbox(float xmin, float xmax, float ymin, float ymax, float W, float H)
{
    // Clamped before conversion, so far-off shapes cannot overflow an int.
    return PixelBox{ceilbound(clampbound(xmin, W)), ceilbound(clampbound(xmax, W)), ceilbound(clampbound(ymin, H)),
                    ceilbound(clampbound(ymax, H))};
}

inline bool emptybox(PixelBox b)
{
    return b.x0 >= b.x1 || b.y0 >= b.y1;
}

// C and rp in view coordinates. Central view: nothing when the sphere lies
// wholly behind the eye, the whole picture when it reaches the eye's plane,
// else each edge divided by the depth that makes it widest.
inline PixelBox spherebox(Vector C, float rp, bool central, float f, float W, float H)
{
    if (!central)
        return pixelbox(C.x - rp, C.x + rp, C.y - rp, C.y + rp, W, H);
    if (C.z + rp <= 0)
        return PixelBox{0, 0, 0, 0};
    float xmin = 0, xmax = W, ymin = 0, ymax = H;
    if (C.z - rp > 0) {
        xmin = (C.x - rp > 0 ? (C.x - rp) * f / (C.z + rp) : (C.x - rp) * f / (C.z - rp)) + W / 2;
        xmax = (C.x + rp > 0 ? (C.x + rp) * f / (C.z - rp) : (C.x + rp) * f / (C.z + rp)) + W / 2;
        ymin = (C.y - rp > 0 ? (C.y - rp) * f / (C.z + rp) : (C.y - rp) * f / (C.z - rp)) + H / 2;
        ymax = (C.y + rp > 0 ? (C.y + rp) * f / (C.z - rp) : (C.y + rp) * f / (C.z + rp)) + H / 2;
    }
    return pixelbox(xmin, xmax, ymin, ymax, W, H);
}

struct CornerBounds {
    float xmin, ymin, xmax, ymax;
};

inline CornerBounds cornerbounds(float W, float H)
{
    return CornerBounds{W, H, 0, 0};
}

// One corner p (view coordinates) more. Central view: a corner at or behind
// the eye's plane lets the polygon reach anywhere on the picture.
inline void growbounds(CornerBounds* b, Vector p, bool central, float f, float W, float H)
{
    float px = p.x, py = p.y;
    if (central) {
        if (p.z <= 0) {
            *b = CornerBounds{0, 0, W, H};
            return;
        }
        px = p.x * f / p.z + W / 2;
        py = p.y * f / p.z + H / 2;
    }
    b->xmin = px < b->xmin ? px : b->xmin;
    b->xmax = px > b->xmax ? px : b->xmax;
    b->ymin = py < b->ymin ? py : b->ymin;
    b->ymax = py > b->ymax ? py : b->ymax;
}

// The plane A·u + B·v + C·w + D = 0 through the corners in view coordinates.
// (A, B, C) is twice the area vector of the polygon; D puts the plane through
// the mean of the corners, which is what non-planar corners are drawn on.
struct Plane {
    float A, B, C, D;
};

inline Plane planesums(const Vector* p, int32_t count)
{
    float A = 0, B = 0, C = 0;
    for (int32_t i = 0; i < count; i++) {
        const int32_t j = i + 1 < count ? i + 1 : 0;
        A += (p[i].z + p[j].z) * (p[j].y - p[i].y);
        B += (p[i].x + p[j].x) * (p[j].z - p[i].z);
        C += (p[i].y + p[j].y) * (p[j].x - p[i].x);
    }
    float sum = 0;
    for (int32_t i = 0; i < count; i++)
        sum += p[i].x * A + p[i].y * B + p[i].z * C;
    return Plane{A, B, C, -sum / float(count)};
}

inline Plane fitplane(const Vector* p, int32_t count)
{
    // Triangles, the most common polygons, get the same sums unrolled.
    return count == 3 ? planesums(p, 3) : planesums(p, count);
}

// cos of the angle between the light and the normal, at least 0. A zero-length
// light vector or normal has no direction: the point gets ambient light only.
inline float lightcos(Vector light, Vector normal)
{
    const float ll = lengthv(light);
    const float ln = lengthv(normal);
    if (ll == 0 || ln == 0)
        return 0;
    float cos = multvv(light, normal) / ll / ln;
    if (!(cos > 0))  // facing away, or NaN from an overflowing product
        return 0;
    // Rounding can leave cos a hair above 1; that cannot change a truncated
    // channel but must never push one past 255.
    if (cos > 1)
        cos = 1;
    return cos;
}

// One channel: the ambient share a/255 where no light falls, the diffuse term
// scaling what it leaves; truncated towards zero.
inline uint8_t shadechannel(uint32_t c, uint32_t a, float cos)
{
    const double value = double(c) * (double(a) * (1.0 - double(cos)) / 255.0 + double(cos));
    return uint8_t(int32_t(float(value)));
}

// Colours are packed red | green << 8 | blue << 16; a pixel's bytes run
// blue, green, red.
inline void shadebytes(float cos, Shade shade, uint8_t* pixel)
{
    pixel[0] = shadechannel((shade.colour >> 16) & 0xFF, (shade.ambient >> 16) & 0xFF, cos);
    pixel[1] = shadechannel((shade.colour >> 8) & 0xFF, (shade.ambient >> 8) & 0xFF, cos);
    pixel[2] = shadechannel(shade.colour & 0xFF, shade.ambient & 0xFF, cos);
}
