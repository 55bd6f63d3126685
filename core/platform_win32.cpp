#include "core/platform.h"

#include <windows.h>

MessageBoxFunction MessageBoxHook = nullptr;

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t buttons)
{
    if (MessageBoxHook)
        return MessageBoxHook(owner, text, caption, buttons);
    return MessageBoxA(static_cast<HWND>(owner), text, caption, buttons);
}

void AppendListLine(WindowHandle listbox, const char* text)
{
    SendMessageA(static_cast<HWND>(listbox), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
