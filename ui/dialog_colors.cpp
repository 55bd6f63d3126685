// The colours dialog: patterns with surface colour, ambient colour and back side.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/registry.h"
#include "ui/shell.h"

#include <cstdio>

namespace {

void showcolor(HWND dlg, int id, uint32_t color)
{
    char text[64];
    std::snprintf(text, sizeof text, "%i %i %i", int(color & 0xFF), int(color >> 8 & 0xFF),
                  int(color >> 16 & 0xFF));
    SetDlgItemTextA(dlg, id, text);
}

// "%i" into three components; a component without a number keeps the value given.
void readcolor(const char* text, int rgb[3], uint32_t previous)
{
    rgb[0] = int(previous & 0xFF);
    rgb[1] = int(previous >> 8 & 0xFF);
    rgb[2] = int(previous >> 16 & 0xFF);
    std::sscanf(text, "%i %i %i", &rgb[0], &rgb[1], &rgb[2]);
}

void selectcolor(HWND dlg)
{
    std::string name;
    if (!takeselection(dlg, ColorList, ColorName, &name))
        return;
    const Pattern* pattern = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, name.c_str()));
    if (!pattern)
        return;
    showcolor(dlg, ColorValue, *pattern->color);
    showcolor(dlg, ColorAmbient, pattern->ambient);
    const char* back = (pattern->flags & PatternHasBack)
                           ? searchtext(ActualScene, TagPattern, pattern->back)
                           : nullptr;
    SetDlgItemTextA(dlg, ColorBack, back ? back : "");
}

void usecolor(HWND dlg)
{
    const std::string name = fieldtext(dlg, ColorName, FieldNameLimit);
    Pattern* pattern = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, name.c_str()));
    uint32_t oldcolor = 0, oldambient = 0;
    if (pattern) {
        oldcolor = *pattern->color;
        oldambient = pattern->ambient;
    } else {
        if (!savablename(name))
            return;
        pattern = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
        insertlist(ActualScene, TagPattern, pattern, copytext(name.c_str()));
        AppendListLine(GetDlgItem(dlg, ColorList), name.c_str());
    }
    int color[3], ambient[3];
    readcolor(fieldtext(dlg, ColorValue, FieldNumberLimit).c_str(), color, oldcolor);
    readcolor(fieldtext(dlg, ColorAmbient, FieldNumberLimit).c_str(), ambient, oldambient);
    // A fresh colour cell: a pattern that shared the old one keeps its colour.
    *pattern = RGBpattern(color[0], color[1], color[2], ambient[0], ambient[1], ambient[2]);

    // A back side must stand earlier in the list, or the file written from this
    // scene could not be read back with it.
    const std::string backname = fieldtext(dlg, ColorBack, FieldNameLimit);
    Pattern* back = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, backname.c_str()));
    if (back) {
        if (isbefore(ActualScene, TagPattern, backname.c_str(), TagPattern, name.c_str())) {
            pattern->back = back;
            pattern->flags |= PatternHasBack;
        } else {
            std::snprintf(Alert, sizeof Alert,
                          "Warning: the background '%s' is not described before '%s'.",
                          backname.c_str(), name.c_str());
            Warn(Alert);
        }
    }
    RedrawScene();
}

}  // namespace

INT_PTR CALLBACK CheckColorboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FillListbox(ActualScene, GetDlgItem(dlg, ColorList), TagPattern);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wparam)) {
    case ColorList:
        if (HIWORD(wparam) == LBN_SELCHANGE)
            selectcolor(dlg);
        return TRUE;
    case IDOK:
        usecolor(dlg);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotColors);
        return TRUE;
    }
    return FALSE;
}
