// shellfixture.h - the real main window, opened in-process for each test.
//
// Message boxes and file choosers are answered through the platform hooks and
// recorded; the helpers send real window messages to the main window.
#pragma once

#include "core/platform.h"
#include "core/registry.h"
#include "render/camera.h"
#include "render/image.h"
#include "ui/shell.h"
#include "ui/viewcontrol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct RecordedBox {
    WindowHandle owner;
    std::string text;
    std::string caption;
    uint32_t buttons;
};

struct RecordedFileDialog {
    bool save;
    size_t size;
};

class ShellTest : public ::testing::Test {
public:
    static std::vector<RecordedBox> boxes;
    static int boxanswer;
    static std::vector<RecordedFileDialog> filedialogs;
    static std::string fileanswer;  // empty: the chooser is cancelled

protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the window of SetUp and starts the program again with this command line.
    void restart(const char* cmdline);

    // Dispatches every message waiting in the queue; a WM_QUIT is dropped.
    static void pump();
    static LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
    static void command(int id);
    static void keydown(uint32_t key);
    static void keyup(uint32_t key);
    // Resizes the main window so that its client area has this size.
    static void clientsize(int width, int height);

    // Marks the picture and the window as up to date, so that redrawn() can
    // tell whether a redraw sequence ran since.
    static void markpicture();
    static bool redrawn();

    static Vector position();
    static Vector right();
    static Vector lower();
    static Vector front();

    // A stand-in for the scene chooser: a window with the chooser's list box.
    static HWND fakechooser();
    static std::vector<std::string> listlines(HWND dialog);
    // A stand-in for an editing dialog, put into its slot.
    static HWND fakedialog(int slot);
    // A file name in the test's own temporary folder.
    static std::string temppath(const char* name);
    static void writefile(const std::string& path, const char* text);
    // Removes WM_QUIT from the queue; true if there was one with exit code 0.
    static bool quitposted();
};
