// dialogfixture.h - what the dialog tests share: the real dialogs, opened
// from the menu and driven with the messages a user's actions produce (text set
// into fields, list selections with their LBN_SELCHANGE, button clicks).
#pragma once

#include "tests/ui/shellfixture.h"

#include "core/memory.h"
#include "ui/dialogs.h"

#include <cstring>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class DialogTest : public ShellTest {
protected:
    static HWND open(int cmd, int slot)
    {
        command(cmd);
        EXPECT_NE(GDlgs[slot], nullptr);
        return GDlgs[slot];
    }

    static void settext(HWND dlg, int id, const std::string& text)
    {
        SetDlgItemTextA(dlg, id, text.c_str());
    }

    static std::string text(HWND dlg, int id)
    {
        char buffer[4096];
        GetDlgItemTextA(dlg, id, buffer, sizeof buffer);
        return buffer;
    }

    static LRESULT click(HWND dlg, int id)
    {
        return SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            LPARAM(GetDlgItem(dlg, id)));
    }

    // A click in a list: the selection moves, then the list tells its dialog.
    static void select(HWND dlg, int list, int line)
    {
        SendDlgItemMessageA(dlg, list, LB_SETCURSEL, WPARAM(line), 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), LPARAM(GetDlgItem(dlg, list)));
    }

    static Lines lines(HWND dlg, int list)
    {
        const HWND box = GetDlgItem(dlg, list);
        Lines result;
        const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++)
            result.push_back(listtext(box, i));
        return result;
    }

    static LRESULT selection(HWND dlg, int list)
    {
        return SendDlgItemMessageA(dlg, list, LB_GETCURSEL, 0, 0);
    }

    static bool checked(HWND dlg, int id)
    {
        return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
    }

    static Lines warnings()
    {
        Lines result;
        for (const RecordedBox& box : boxes) {
            EXPECT_EQ(box.caption, "WARNING");
            EXPECT_EQ(box.buttons, BoxOk);
            EXPECT_EQ(box.owner, nullptr);
            result.push_back(box.text);
        }
        boxes.clear();
        return result;
    }

    static Vector* addpoint(const char* name, float x, float y, float z, ObjectTag tag = TagPoint)
    {
        Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
        *v = Vector{x, y, z};
        insertlist(ActualScene, tag, v, copytext(name));
        return v;
    }

    static Pattern* addpattern(const char* name, int r, int g, int b)
    {
        Pattern* p = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
        *p = RGBpattern(r, g, b, 40, 40, 40);
        insertlist(ActualScene, TagPattern, p, copytext(name));
        return p;
    }

    static int entries()
    {
        int count = 0;
        for (ListBlock* block = ActualScene; block; block = block->next)
            count += block->count;
        return count;
    }

    static const char* lastname()
    {
        ListBlock* block = ActualScene;
        while (block->next)
            block = block->next;
        return block->names[block->count - 1];
    }

    // The picture at the centre of the window, where the default camera looks at the origin.
    static uint32_t centrepixel()
    {
        const uint8_t* p = ActualImage.pixels +
                           (size_t(ActualImage.height / 2) * ActualImage.width + ActualImage.width / 2) * 4;
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }

    static size_t litpixels()
    {
        size_t lit = 0;
        const size_t count = size_t(ActualImage.width) * ActualImage.height;
        for (size_t i = 0; i < count; i++)
            if (ActualImage.pixels[4 * i] | ActualImage.pixels[4 * i + 1] | ActualImage.pixels[4 * i + 2])
                lit++;
        return lit;
    }
};

inline void expectvector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}
