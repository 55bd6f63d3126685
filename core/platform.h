// platform.h - the seam between the engine and the window system.
//
// The engine needs two services of the platform: a message box and the
// appending of a line to a list box; the shell adds the file chooser. The Win32 build (platform_win32.cpp)
// uses MessageBoxA and SendMessageA; the headless build (platform_headless.cpp)
// prints boxes to stderr and keeps list boxes as plain line lists, so that
// tests and command-line tools run without a window system.
//
// Every message box of the program goes through ShowMessageBox and every
// file chooser through AskFileName. A test may set MessageBoxHook or
// FileDialogHook to read and answer them without a modal window blocking.
#pragma once

#include <cstddef>
#include <cstdint>

using WindowHandle = void*;

// Buttons and answers, with the values of the Win32 API.
constexpr uint32_t BoxOk = 0x0;       // MB_OK
constexpr uint32_t BoxYesNo = 0x4;    // MB_YESNO
constexpr int AnswerOk = 1;           // IDOK
constexpr int AnswerYes = 6;          // IDYES
constexpr int AnswerNo = 7;           // IDNO

// A replacement for every message box; null shows real boxes.
using MessageBoxFunction = int (*)(WindowHandle owner, const char* text, const char* caption,
                                   uint32_t buttons);
extern MessageBoxFunction MessageBoxHook;

// Shows a modal box (or asks MessageBoxHook) and returns the button pressed.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t buttons);
// Appends one line to a list box (LB_ADDSTRING).
void AppendListLine(WindowHandle listbox, const char* text);

// A replacement for every file chooser; null shows real ones.
using FileDialogFunction = bool (*)(WindowHandle owner, bool save, char* path, size_t size);
extern FileDialogFunction FileDialogHook;

// Asks for a file to open (save false) or to save to; no name is proposed, no
// filter is offered, a name without extension gets ".item". Fills path (size
// bytes) and returns true when a file was chosen, false when cancelled.
bool AskFileName(WindowHandle owner, bool save, char* path, size_t size);
