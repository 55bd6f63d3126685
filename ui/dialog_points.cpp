// The points and the vectors dialogs: one procedure, two sets of ids.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/registry.h"
#include "ui/shell.h"

namespace {

struct VectorBox {
    ObjectTag tag;
    int list, name, numbers;
    int slot;
    const char* numberslabel;
};

constexpr VectorBox PointBox = {TagPoint, PointList, PointName, PointPosition, SlotPoints, "Position"};
constexpr VectorBox VectorsBox = {TagVector, VectorList, VectorName, VectorComponents, SlotVectors,
                                  "Components"};

void usevector(const VectorBox& box, HWND dlg)
{
    const std::string name = fieldtext(dlg, box.name, FieldNameLimit);
    const std::string numbers = fieldtext(dlg, box.numbers, FieldNumberLimit);
    Vector* v = static_cast<Vector*>(searchlist(ActualScene, box.tag, name.c_str()));
    // Read before anything is made: refused numbers leave the scene as it was.
    Vector value = v ? *v : nullv();
    if (!readvector(numbers.c_str(), &value, box.numberslabel))
        return;
    if (!v && !savablename(name))
        return;
    if (!v) {
        v = newvector();
        insertlist(ActualScene, box.tag, v, copytext(name.c_str()));
        AppendListLine(GetDlgItem(dlg, box.list), name.c_str());
    }
    *v = value;
    RedrawScene();
}

INT_PTR vectorbox(const VectorBox& box, HWND dlg, UINT message, WPARAM wparam)
{
    if (message == WM_INITDIALOG) {
        FillListbox(ActualScene, GetDlgItem(dlg, box.list), box.tag);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wparam);
    if (id == box.list) {
        std::string name;
        if (HIWORD(wparam) == LBN_SELCHANGE && takeselection(dlg, box.list, box.name, &name))
            if (const Vector* v = static_cast<Vector*>(searchlist(ActualScene, box.tag, name.c_str())))
                showvector(dlg, box.numbers, *v);
        return TRUE;
    }
    if (id == IDOK) {
        usevector(box, dlg);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndEditDialog(dlg, box.slot);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK CheckPointboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    return vectorbox(PointBox, dlg, message, wparam);
}

INT_PTR CALLBACK CheckVectorboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    return vectorbox(VectorsBox, dlg, message, wparam);
}
