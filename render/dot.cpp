// Dot (render.h): clipping, the depth test and the shading of one pixel.
#include "render/camera.h"
#include "render/image.h"
#include "render/render.h"

#include <cmath>

// cos of the angle between the light and the normal, at least 0. A zero-length
// light vector or normal has no direction: the point gets ambient light only.
static float lightcos(Vector light, Vector normal)
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
static uint8_t shade(uint32_t c, uint32_t a, float cos)
{
    const double value = double(c) * (double(a) * (1.0 - double(cos)) / 255.0 + double(cos));
    return uint8_t(int32_t(float(value)));
}

void Dot(int32_t col, int32_t row, float x, float y, float z, uint32_t colour, Vector normal,
         uint32_t ambient)
{
    const size_t index = size_t(ActualImage.width) * size_t(row) + size_t(col);
    if ((ActualCam.flags & CamClip) && z < 0)
        return;
    // Strict: of two surfaces at the same depth the first drawn stays.
    if (!(ActualImage.depth[index] > z))
        return;
    ActualImage.depth[index] = z;

    Vector light = ActualLightpos;
    if (!(ActualLight.flags & LightDirected))
        light = subv(ActualLightpos, Vector{x, y, z});
    const float cos = lightcos(light, normal);

    uint8_t* pixel = ActualImage.pixels + size_t(ActualImage.bytes_per_pixel) * index;
    pixel[0] = shade((colour >> 16) & 0xFF, (ambient >> 16) & 0xFF, cos);
    pixel[1] = shade((colour >> 8) & 0xFF, (ambient >> 8) & 0xFF, cos);
    pixel[2] = shade(colour & 0xFF, ambient & 0xFF, cos);
}
