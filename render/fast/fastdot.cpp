// The literal Dot on a FastView, for the few surface points the fast
// rasterisers handle one at a time. Same expressions as render/dot.cpp.
#include "render/fast/fast.h"

#include <cmath>

float lightcosone(Vector light, Vector normal)
{
    const float ll = lengthv(light);
    const float ln = lengthv(normal);
    if (ll == 0 || ln == 0)
        return 0;
    float cos = multvv(light, normal) / ll / ln;
    if (!(cos > 0))
        return 0;
    if (cos > 1)
        cos = 1;
    return cos;
}

static uint8_t shadechannel(uint32_t c, uint32_t a, float cos)
{
    const double value = double(c) * (double(a) * (1.0 - double(cos)) / 255.0 + double(cos));
    return uint8_t(int32_t(float(value)));
}

void shadeone(float cos, Shade shade, uint8_t* pixel)
{
    pixel[0] = shadechannel((shade.colour >> 16) & 0xFF, (shade.ambient >> 16) & 0xFF, cos);
    pixel[1] = shadechannel((shade.colour >> 8) & 0xFF, (shade.ambient >> 8) & 0xFF, cos);
    pixel[2] = shadechannel(shade.colour & 0xFF, shade.ambient & 0xFF, cos);
}

void dotone(const FastView& v, int32_t col, int32_t row, float x, float y, float z, Shade shade, Vector normal)
{
    const size_t index = size_t(v.width) * size_t(row) + size_t(col);
    if (v.clip && z < 0)
        return;
    if (!(v.depth[index] > z))
        return;
    v.depth[index] = z;
    Vector light = v.light;
    if (!v.directed)
        light = subv(v.light, Vector{x, y, z});
    shadeone(lightcosone(light, normal), shade, v.pixels + size_t(v.bpp) * index);
}
