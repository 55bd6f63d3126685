// The display seam of image.h for tests and tools: DrawingArea and ShowImage on a HeadlessWindow.
#include "render/display_headless.h"
#include "render/image.h"

#include <cstring>

void DrawingArea(WindowHandle window, int32_t* width, int32_t* height)
{
    const HeadlessWindow* headless = static_cast<const HeadlessWindow*>(window);
    *width = headless ? headless->width : 0;
    *height = headless ? headless->height : 0;
}

void ShowImage(ImageBuffer image, WindowHandle window)
{
    HeadlessWindow* headless = static_cast<HeadlessWindow*>(window);
    if (!headless)
        return;
    headless->shows += 1;
    const int32_t cw = headless->width > 0 ? headless->width : 0;
    const int32_t ch = headless->height > 0 ? headless->height : 0;
    headless->screen.resize(size_t(cw) * size_t(ch) * ImageBytesPerPixel);
    if (!image.pixels)
        return;
    // Signed division rounds towards zero, as the window's placement does.
    const int32_t left = (cw - image.width) / 2;
    const int32_t top = (ch - image.height) / 2;
    for (int32_t row = 0; row < image.height; row++) {
        const int32_t y = top + row;
        if (y < 0 || y >= ch)
            continue;
        const int32_t first = left < 0 ? -left : 0;
        const int32_t last = left + image.width > cw ? cw - left : image.width;
        if (first >= last)
            continue;
        const uint8_t* from =
            image.pixels + (size_t(row) * size_t(image.width) + size_t(first)) * ImageBytesPerPixel;
        uint8_t* to = headless->screen.data() +
                      (size_t(y) * size_t(cw) + size_t(left + first)) * ImageBytesPerPixel;
        std::memcpy(to, from, size_t(last - first) * ImageBytesPerPixel);
    }
}
