// image.h - the off-screen picture and its depth buffer.
//
// Pixels are 4 bytes (blue, green, red, 0), rows top to bottom; one float depth
// per pixel, +infinity where nothing is drawn. The arrays only grow.
//
//   emptyimg()                 no arrays, all counts 0
//   FormatImage(image, window) size after the window's drawing area, then erase
//   ClearImage(image)          every pixel black, every depth +infinity
//   ShowImage(image, window)   copy the picture, centred, into the window
#pragma once

#include "core/platform.h"

#include <cstdint>

struct ImageBuffer {
    uint8_t* pixels;
    float* depth;
    int32_t width;
    int32_t height;
    int32_t bytes_per_pixel;
};

extern ImageBuffer ActualImage;

ImageBuffer emptyimg();
void FormatImage(ImageBuffer* image, WindowHandle window);
void ClearImage(ImageBuffer* image);
void ShowImage(ImageBuffer image, WindowHandle window);
