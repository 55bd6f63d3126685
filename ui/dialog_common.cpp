// The helpers the dialogs share (dialogs.h): fields, list lines, vectors, ending a dialog.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/platform.h"
#include "ui/shell.h"

#include <cmath>
#include <cstdio>
#include <cstring>

char Alert[AlertSize];

void Warn(const char* text)
{
    // No owner: the box must not disable the main window or another dialog.
    ShowMessageBox(nullptr, text, "WARNING", BoxOk);
}

std::string fieldtext(HWND dlg, int id, int limit)
{
    std::string text(size_t(limit), '\0');
    const UINT length = GetDlgItemTextA(dlg, id, text.data(), limit);
    text.resize(length);
    return text;
}

std::string listtext(HWND box, LRESULT index)
{
    // A name read from a file may be longer than any field: ask for the length first.
    // The line is read in its wide form and converted here, as the system would
    // convert it: the visual-style list boxes of the manifest keep wide text, and
    // Wine passes their narrow LB_GETTEXT through a buffer of 512 characters.
    if (index < 0)
        return std::string();
    const LRESULT length = SendMessageW(box, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length == LB_ERR)
        return std::string();
    std::wstring wide(size_t(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(box, LB_GETTEXT, WPARAM(index), LPARAM(wide.data()));
    if (copied == LB_ERR || copied == 0)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(copied), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(copied), text.data(), bytes, nullptr, nullptr);
    return text;
}

bool takeselection(HWND dlg, int list, int field, std::string* name)
{
    const HWND box = GetDlgItem(dlg, list);
    const LRESULT index = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return false;
    *name = listtext(box, index);
    SetDlgItemTextA(dlg, field, name->c_str());
    return true;
}

LRESULT findline(HWND box, const char* text)
{
    // LB_FINDSTRINGEXACT ignores case; names do not.
    const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++)
        if (listtext(box, i) == text)
            return i;
    return -1;
}

void showvector(HWND dlg, int id, Vector v)
{
    char text[128];
    std::snprintf(text, sizeof text, "%g %g %g", double(v.x), double(v.y), double(v.z));
    SetDlgItemTextA(dlg, id, text);
}

static bool finitenumbers(const float* values, int count)
{
    for (int i = 0; i < count; i++)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

bool readvector(const char* text, Vector* v, const char* field)
{
    // Whatever did not convert keeps its value. A number that is no finite float
    // would blank the picture: then nothing is taken.
    float xyz[3] = {v->x, v->y, v->z};
    const int count = std::sscanf(text, "%f %f %f", &xyz[0], &xyz[1], &xyz[2]);
    if (!finitenumbers(xyz, count)) {
        warnnotfinite(field);
        return false;
    }
    *v = Vector{xyz[0], xyz[1], xyz[2]};
    return true;
}

bool readreal(const char* text, float* value, const char* field)
{
    float read = *value;
    const int count = std::sscanf(text, "%f", &read);
    if (!finitenumbers(&read, count)) {
        warnnotfinite(field);
        return false;
    }
    *value = read;
    return true;
}

bool savablename(const std::string& name)
{
    // A blank or a line break would end the name's word in the scene file: the
    // saved scene would read back as other objects, or not at all.
    if (name.find_first_of(" \r\n") == std::string::npos)
        return true;
    Warn("A name may not hold blanks or line breaks: a scene file could not keep it.");
    return false;
}

void warnnotfinite(const char* field)
{
    const std::string text =
        std::string(field) + ": numbers must be finite (no nan or inf, nothing beyond 3.4e38).";
    Warn(text.c_str());
}

Vector* newvector()
{
    Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
    *v = nullv();
    return v;
}

void EndEditDialog(HWND dlg, int slot)
{
    GDlgs[slot] = nullptr;
    EndDialog(dlg, IDCANCEL);
    // A modeless dialog is only hidden by EndDialog; the next menu command makes a
    // new one, so this one would linger unseen until the end of the run.
    DestroyWindow(dlg);
}
