// display_headless.h - the window that tests and tools render into.
//
// In the headless build a window handle points to a HeadlessWindow: the caller
// chooses the drawing area, FormatImage reads it, and ShowImage copies the
// picture into `screen` centred, the way the Win32 build paints the client
// area (parts outside the area are cut off, uncovered parts keep what they
// had). Without a window (a null handle) the drawing area is 0×0 and showing
// does nothing.
#pragma once

#include <cstdint>
#include <vector>

struct HeadlessWindow {
    int32_t width;                // drawing area, pixels
    int32_t height;
    std::vector<uint8_t> screen;  // width × height pixels of 4 bytes, as last shown
    int32_t shows;                // number of ShowImage calls
};
