// The polygons dialog: a polygon is created empty and grows one corner at a time.
//
// "Create", "Delete" and the colour's "Use" act on the name typed in the name
// field; "Insert" and "Remove" on the polygon selected in the list and the
// corner selected in the corner list. The corner list mirrors the corner array
// of the polygon last selected, line i for corner i; when the polygon selected
// is no longer that one, Insert and Remove refill it and change nothing.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/registry.h"
#include "ui/shell.h"

#include <cstdlib>

namespace {

PolygonObject* findpolygon(const std::string& name)
{
    return static_cast<PolygonObject*>(searchlist(ActualScene, TagPolygon, name.c_str()));
}

// The corner list remembers the polygon it was filled from (its record, not
// its name: two polygons may share one), so that Insert and Remove never act
// on one polygon through the corners of another.
const PolygonObject* listedpolygon(HWND dlg)
{
    return reinterpret_cast<const PolygonObject*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

void listcorners(HWND dlg, const PolygonObject& polygon)
{
    const HWND box = GetDlgItem(dlg, CornerList);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < polygon.count; i++) {
        const char* name = searchtext(ActualScene, TagPoint, polygon.corners[i]);
        AppendListLine(box, name ? name : "");
    }
    SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&polygon));
}

// False, after refilling the list and a warning, when it showed another polygon:
// the corner chosen there means nothing for this one.
bool cornerslisted(HWND dlg, const PolygonObject& polygon)
{
    if (listedpolygon(dlg) == &polygon)
        return true;
    listcorners(dlg, polygon);
    Warn("The corner list showed another polygon; choose the corner again.");
    return false;
}

void selectpolygon(HWND dlg)
{
    std::string name;
    if (!takeselection(dlg, PolygonList, PolygonName, &name))
        return;
    const PolygonObject* polygon = findpolygon(name);
    if (!polygon)
        return;
    listcorners(dlg, *polygon);
    const char* pattern = searchtext(ActualScene, TagPattern, polygon->pattern);
    SetDlgItemTextA(dlg, PolygonColor, pattern ? pattern : "");
}

void selectcorner(HWND dlg)
{
    std::string name;
    takeselection(dlg, CornerList, CornerName, &name);
}

void createpolygon(HWND dlg)
{
    const std::string name = fieldtext(dlg, PolygonName, FieldNameLimit);
    if (findpolygon(name)) {
        Warn("Polygon already exists.");
        return;
    }
    if (!savablename(name))
        return;
    Pattern* pattern = static_cast<Pattern*>(
        searchlist(ActualScene, TagPattern, fieldtext(dlg, PolygonColor, FieldNameLimit).c_str()));
    if (!pattern) {
        Warn("Choose a color for this polygon.");
        return;
    }
    PolygonObject* polygon = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
    polygon->count = 0;
    polygon->corners = nullptr;
    polygon->pattern = pattern;
    insertlist(ActualScene, TagPolygon, polygon, copytext(name.c_str()));
    AppendListLine(GetDlgItem(dlg, PolygonList), name.c_str());
    // Nothing to draw until the polygon has corners.
}

void deletepolygon(HWND dlg)
{
    const std::string name = fieldtext(dlg, PolygonName, FieldNameLimit);
    // Its record is freed: the corner list must not take a later one at its address for it.
    if (findpolygon(name) == listedpolygon(dlg))
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
    if (deletelist(ActualScene, TagPolygon, name.c_str())) {
        const HWND box = GetDlgItem(dlg, PolygonList);
        const LRESULT line = findline(box, name.c_str());
        if (line >= 0)
            SendMessageA(box, LB_DELETESTRING, WPARAM(line), 0);
    } else {
        Warn("No polygon exists under this name.");
    }
    RedrawScene();
}

// The polygon selected in the list, or null after the warning for `none`.
PolygonObject* selectedpolygon(HWND dlg, const char* none)
{
    const HWND box = GetDlgItem(dlg, PolygonList);
    const LRESULT line = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (line < 0) {
        Warn(none);
        return nullptr;
    }
    PolygonObject* polygon = findpolygon(listtext(box, line));
    if (!polygon)
        Warn("Polygon not found.");
    return polygon;
}

void insertcorner(HWND dlg)
{
    PolygonObject* polygon = selectedpolygon(dlg, "Choose a polygon to extend.");
    if (!polygon || !cornerslisted(dlg, *polygon))
        return;
    LRESULT c = SendDlgItemMessageA(dlg, CornerList, LB_GETCURSEL, 0, 0);
    if (c < 0 || c >= polygon->count)
        c = -1;
    const std::string name = fieldtext(dlg, CornerName, FieldNameLimit);
    Vector* point = static_cast<Vector*>(searchlist(ActualScene, TagPoint, name.c_str()));
    if (!point) {
        Warn("Point name not found.");
        return;
    }
    const int32_t at = int32_t(c + 1);
    const int32_t count = polygon->count + 1;
    Vector** corners = static_cast<Vector**>(Memory_Gra(sizeof(Vector*) * size_t(count)));
    for (int32_t i = 0; i < at; i++)
        corners[i] = polygon->corners[i];
    corners[at] = point;
    for (int32_t i = at + 1; i < count; i++)
        corners[i] = polygon->corners[i - 1];
    std::free(polygon->corners);
    polygon->corners = corners;
    polygon->count = count;
    SendDlgItemMessageA(dlg, CornerList, LB_INSERTSTRING, WPARAM(at), LPARAM(name.c_str()));
    RedrawScene();
}

void removecorner(HWND dlg)
{
    PolygonObject* polygon = selectedpolygon(dlg, "Choose a polygon to reduce.");
    if (!polygon || !cornerslisted(dlg, *polygon))
        return;
    const LRESULT c = SendDlgItemMessageA(dlg, CornerList, LB_GETCURSEL, 0, 0);
    if (c < 0 || c >= polygon->count) {
        Warn("Choose a corner to delete.");
        return;
    }
    // The array keeps its size: only the first count pointers are ever read.
    for (int32_t i = int32_t(c) + 1; i < polygon->count; i++)
        polygon->corners[i - 1] = polygon->corners[i];
    polygon->count -= 1;
    SendDlgItemMessageA(dlg, CornerList, LB_DELETESTRING, WPARAM(c), 0);
    RedrawScene();
}

void usepolygoncolor(HWND dlg)
{
    PolygonObject* polygon = findpolygon(fieldtext(dlg, PolygonName, FieldNameLimit));
    if (!polygon) {
        Warn("Polygon not found.");
        return;
    }
    Pattern* pattern = static_cast<Pattern*>(
        searchlist(ActualScene, TagPattern, fieldtext(dlg, PolygonColor, FieldNameLimit).c_str()));
    if (!pattern) {
        Warn("Color not found.");
        return;
    }
    polygon->pattern = pattern;
    RedrawScene();
}

}  // namespace

INT_PTR CALLBACK CheckPolygonboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FillListbox(ActualScene, GetDlgItem(dlg, PolygonList), TagPolygon);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    const bool selchange = HIWORD(wparam) == LBN_SELCHANGE;
    switch (LOWORD(wparam)) {
    case PolygonList:
        if (selchange)
            selectpolygon(dlg);
        return TRUE;
    case CornerList:
        if (selchange)
            selectcorner(dlg);
        return TRUE;
    case PolygonCreate:
        createpolygon(dlg);
        return TRUE;
    case PolygonDelete:
        deletepolygon(dlg);
        return TRUE;
    case CornerInsert:
        insertcorner(dlg);
        return TRUE;
    case CornerRemove:
        removecorner(dlg);
        return TRUE;
    case PolygonUse:
        usepolygoncolor(dlg);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotPolygons);
        return TRUE;
    }
    return FALSE;
}
