// image.h - the off-screen picture and its depth buffer.
//
// Pixels are always 4 bytes (blue, green, red, 0), rows top to bottom, each row
// directly after the previous one; pixel (col, row) starts at byte
// 4 × (row × width + col). One float depth per pixel, in the same order,
// +infinity where nothing is drawn; a smaller depth is nearer. The arrays only
// grow: the capacities remember the largest picture the buffer has held, in
// bytes and in depths, so shrinking and growing back reallocates nothing.
// The record is a plain value; a copy shares the arrays.
//
//   emptyimg()                 no arrays, all counts 0
//   FormatImage(image, window) size after the window's drawing area (0×0 allowed), then erase
//   ClearImage(image)          every pixel black, every depth +infinity
//   ShowImage(image, window)   copy the picture, centred, into the window (while painting)
//
// The display seam. The portable part lives in image.cpp; each platform library
// supplies the two window operations below (display_win32.cpp for Win32,
// display_headless.cpp for tests and tools, whose window is a HeadlessWindow):
//
//   DrawingArea(window, width, height)  the window's drawing area in pixels (0×0 without one)
//   ShowImage(image, window)            as above
#pragma once

#include "core/platform.h"

#include <cstddef>
#include <cstdint>

constexpr int32_t ImageBytesPerPixel = 4;

struct ImageBuffer {
    uint8_t* pixels;  // owned, Memory_Gra; pixels_capacity bytes
    float* depth;     // owned, Memory_Gra; depth_capacity floats
    int32_t width;
    int32_t height;
    int32_t bytes_per_pixel;  // 4 once the arrays exist, 0 in the empty record
    size_t pixels_capacity;
    size_t depth_capacity;
};

extern ImageBuffer ActualImage;

ImageBuffer emptyimg();
void FormatImage(ImageBuffer* image, WindowHandle window);
void ClearImage(ImageBuffer* image);
void ShowImage(ImageBuffer image, WindowHandle window);
void DrawingArea(WindowHandle window, int32_t* width, int32_t* height);
