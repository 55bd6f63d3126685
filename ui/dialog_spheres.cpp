// The spheres dialog: a sphere holds its centre point and its pattern, not copies.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/registry.h"
#include "ui/shell.h"

#include <cstdio>

namespace {

void selectsphere(HWND dlg)
{
    std::string name;
    if (!takeselection(dlg, SphereList, SphereName, &name))
        return;
    const SphereObject* sphere =
        static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, name.c_str()));
    if (!sphere)
        return;
    const char* center = searchtext(ActualScene, TagPoint, sphere->center);
    const char* pattern = searchtext(ActualScene, TagPattern, sphere->pattern);
    char radius[64];
    std::snprintf(radius, sizeof radius, "%g", double(sphere->radius));
    SetDlgItemTextA(dlg, SphereCenter, center ? center : "");
    SetDlgItemTextA(dlg, SphereRadius, radius);
    SetDlgItemTextA(dlg, SphereColor, pattern ? pattern : "");
}

void deletesphere(HWND dlg)
{
    const std::string name = fieldtext(dlg, SphereName, FieldNameLimit);
    if (deletelist(ActualScene, TagSphere, name.c_str())) {
        const HWND box = GetDlgItem(dlg, SphereList);
        const LRESULT line = findline(box, name.c_str());
        if (line >= 0)
            SendMessageA(box, LB_DELETESTRING, WPARAM(line), 0);
    } else {
        Warn("No sphere exists under this name.");
    }
    RedrawScene();
}

void usesphere(HWND dlg)
{
    // Every lookup before any change, so that a refusal leaves the scene alone.
    const std::string name = fieldtext(dlg, SphereName, FieldNameLimit);
    SphereObject* sphere = static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, name.c_str()));
    Vector* center = static_cast<Vector*>(
        searchlist(ActualScene, TagPoint, fieldtext(dlg, SphereCenter, FieldNameLimit).c_str()));
    if (!center) {
        Warn("Center not found.");
        return;
    }
    Pattern* pattern = static_cast<Pattern*>(
        searchlist(ActualScene, TagPattern, fieldtext(dlg, SphereColor, FieldNameLimit).c_str()));
    if (!pattern) {
        Warn("Color not found.");
        return;
    }
    float radius = sphere ? sphere->radius : 0;
    if (!readreal(fieldtext(dlg, SphereRadius, FieldNameLimit).c_str(), &radius, "Radius"))
        return;
    if (!sphere && !savablename(name))
        return;
    if (!sphere) {
        sphere = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
        insertlist(ActualScene, TagSphere, sphere, copytext(name.c_str()));
        AppendListLine(GetDlgItem(dlg, SphereList), name.c_str());
    }
    sphere->center = center;
    sphere->radius = radius;
    sphere->pattern = pattern;
    RedrawScene();
}

}  // namespace

INT_PTR CALLBACK CheckSphereboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FillListbox(ActualScene, GetDlgItem(dlg, SphereList), TagSphere);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wparam)) {
    case SphereList:
        if (HIWORD(wparam) == LBN_SELCHANGE)
            selectsphere(dlg);
        return TRUE;
    case SphereDelete:
        deletesphere(dlg);
        return TRUE;
    case IDOK:
        usesphere(dlg);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotSpheres);
        return TRUE;
    }
    return FALSE;
}
