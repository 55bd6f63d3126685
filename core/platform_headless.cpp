// The headless side of platform.h: boxes printed to stderr, list boxes kept as line lists.
#include "core/platform.h"
#include "core/platform_headless.h"

#include <cstdio>

MessageBoxFunction MessageBoxHook = nullptr;
FileDialogFunction FileDialogHook = nullptr;

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t buttons)
{
    if (MessageBoxHook)
        return MessageBoxHook(owner, text, caption, buttons);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return buttons == BoxYesNo ? AnswerYes : AnswerOk;
}

void AppendListLine(WindowHandle listbox, const char* text)
{
    if (listbox)
        static_cast<HeadlessListbox*>(listbox)->lines.emplace_back(text);
}

bool AskFileName(WindowHandle owner, bool save, char* path, size_t size)
{
    if (FileDialogHook)
        return FileDialogHook(owner, save, path, size);
    // Nobody to ask: as if cancelled.
    return false;
}
