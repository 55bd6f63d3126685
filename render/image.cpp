// The portable part of image.h: emptyimg, FormatImage and ClearImage.
#include "render/image.h"

#include "core/memory.h"

#include <cstdlib>
#include <cstring>
#include <limits>

ImageBuffer ActualImage = {};

ImageBuffer emptyimg()
{
    ImageBuffer image = {};
    return image;
}

// Bytes for count elements of the given size; a picture too large to address
// ends the run like any other exhausted allocation.
static size_t arraybytes(uint64_t count, size_t each)
{
    if (count > std::numeric_limits<size_t>::max() / each)
        HardError("Memory full! Graphic could not be opened.");
    return size_t(count) * each;
}

void FormatImage(ImageBuffer* image, WindowHandle window)
{
    int32_t w = 0, h = 0;
    DrawingArea(window, &w, &h);
    if (w < 0)
        w = 0;
    if (h < 0)
        h = 0;
    const uint64_t count = uint64_t(w) * uint64_t(h);
    const size_t pixelbytes = arraybytes(count, ImageBytesPerPixel);
    const size_t depthbytes = arraybytes(count, sizeof(float));

    // Capacities are kept in bytes, so a change of pixel size can never let a
    // smaller array pass for a larger one.
    if (!image->pixels || pixelbytes > image->pixels_capacity) {
        std::free(image->pixels);
        image->pixels = static_cast<uint8_t*>(Memory_Gra(pixelbytes));
        image->pixels_capacity = pixelbytes;
    }
    if (!image->depth || depthbytes > image->depth_capacity * sizeof(float)) {
        std::free(image->depth);
        image->depth = static_cast<float*>(Memory_Gra(depthbytes));
        image->depth_capacity = size_t(count);
    }
    image->width = w;
    image->height = h;
    image->bytes_per_pixel = ImageBytesPerPixel;
    ClearImage(image);
}

void ClearImage(ImageBuffer* image)
{
    if (!image->pixels || !image->depth || image->width <= 0 || image->height <= 0)
        return;
    const size_t count = size_t(image->width) * size_t(image->height);
    const float infinity = std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < count; i++)
        image->depth[i] = infinity;
    std::memset(image->pixels, 0, count * size_t(image->bytes_per_pixel));
}
