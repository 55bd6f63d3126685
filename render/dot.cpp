// Dot (render.h): clipping, the depth test and the shading of one pixel.
#include "render/camera.h"
#include "render/image.h"
#include "render/raster.h"
#include "render/render.h"

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
    uint8_t* pixel = ActualImage.pixels + size_t(ActualImage.bytes_per_pixel) * index;
    shadebytes(lightcos(light, normal), Shade{colour, ambient}, pixel);
}
