// The Win32 side of platform.h: MessageBoxA, list-box lines and the common file dialog.
#include "core/platform.h"

#include <windows.h>
#include <commdlg.h>

MessageBoxFunction MessageBoxHook = nullptr;
FileDialogFunction FileDialogHook = nullptr;

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

bool AskFileName(WindowHandle owner, bool save, char* path, size_t size)
{
    if (FileDialogHook)
        return FileDialogHook(owner, save, path, size);
    if (size < 3)
        return false;
    path[0] = '\0';
    OPENFILENAMEA ofn = {};
    // The record as first defined, without the later extensions; computed, not
    // written as 76, because the 64-bit record is larger.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = static_cast<HWND>(owner);
    ofn.lpstrFilter = nullptr;
    ofn.lpstrFile = path;
    ofn.nMaxFile = DWORD(size - 2);
    ofn.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    ofn.lpstrDefExt = "item";
    return (save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn)) != 0;
}
