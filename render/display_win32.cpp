// The display seam of image.h for Win32: DrawingArea from the client area, ShowImage as a DIB.
#include "render/image.h"

#include <windows.h>

void DrawingArea(WindowHandle window, int32_t* width, int32_t* height)
{
    RECT rect = {0, 0, 0, 0};
    if (!window || !GetClientRect(static_cast<HWND>(window), &rect))
        rect = RECT{0, 0, 0, 0};
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
}

void ShowImage(ImageBuffer image, WindowHandle window)
{
    const HWND hwnd = static_cast<HWND>(window);
    RECT rect = {0, 0, 0, 0};
    GetClientRect(hwnd, &rect);
    const LONG cw = rect.right - rect.left;
    const LONG ch = rect.bottom - rect.top;

    PAINTSTRUCT paint;
    const HDC hdc = BeginPaint(hwnd, &paint);
    if (hdc && image.pixels && image.width > 0 && image.height > 0) {
        // Our pixels are a top-down 32-bit DIB as they stand; the device
        // converts them to whatever depth the display has, and rows of 4-byte
        // pixels are always aligned as a DIB requires.
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = image.width;
        info.bmiHeader.biHeight = -image.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(hdc, (cw - image.width) / 2, (ch - image.height) / 2, image.width,
                      image.height, 0, 0, image.width, image.height, image.pixels, &info,
                      DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(hwnd, &paint);
}
