// raster.h - small helpers the rasterisers share (internal to render/).
//
//   finitev(v)               all three components finite
//   clampbound(v, hi)        v limited to [0, hi]; NaN gives 0, so no bound ever overflows an int
//   frontside(pattern)       colour and ambient of the outside / front face
//   backside(pattern)        those of the back face: the back pattern's when it is set
//   patternusable(pattern)   the colour cell (and back pattern, when flagged) exist
#pragma once

#include "core/objects.h"

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
