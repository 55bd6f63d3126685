// The camera and the light dialogs.
//
// The camera's four vectors and the light's position and direction also live
// in the scene as ordinary named points and vectors, so that a saved scene
// carries them; these dialogs copy between the records and those objects.
#include "ui/dialogs.h"

#include "core/memory.h"
#include "core/registry.h"
#include "render/camera.h"
#include "ui/shell.h"

namespace {

void usedefaultcam()
{
    if (loadcamera() < 4)
        Warn("The default position of the camera is not defined.");
    RedrawScene();
}

void storecam()
{
    for (const ViewObject& object : CamObjects) {
        Vector* v = static_cast<Vector*>(searchlist(ActualScene, object.tag, object.name));
        if (!v) {
            v = newvector();
            insertlist(ActualScene, object.tag, v, copytext(object.name));
        }
        *v = columnm(ActualCam.frame, object.column);
    }
    // The picture is the same: no redraw.
}

void setview(HWND dlg, bool central)
{
    CheckRadioButton(dlg, CamParallel, CamCentralView, central ? CamCentralView : CamParallel);
    // A central view is always clipped; leaving it keeps the clipping.
    if (central)
        ActualCam.flags |= CamCentral | CamClip;
    else
        ActualCam.flags &= uint8_t(~CamCentral);
    RedrawScene();
}

// Set once the light dialog has filled its fields: only the user's changes count.
constexpr LONG_PTR LightFilled = 1;

void showlightobject(HWND dlg, int id, const ViewObject& object)
{
    if (const Vector* v = static_cast<Vector*>(searchlist(ActualScene, object.tag, object.name)))
        showvector(dlg, id, *v);
    else
        SetDlgItemTextA(dlg, id, "undefined");
}

void initlight(HWND dlg)
{
    CheckRadioButton(dlg, LightPoint, LightDirection,
                     (ActualLight.flags & LightDirected) ? LightDirection : LightPoint);
    showlightobject(dlg, LightPosField, LightPositionObject);
    showlightobject(dlg, LightDirField, LightDirectionObject);
    CheckDlgButton(dlg, LightBind, (ActualLight.flags & LightBound) ? BST_CHECKED : BST_UNCHECKED);
    SetWindowLongPtrA(dlg, DWLP_USER, LightFilled);
}

void setlightkind(HWND dlg, bool directed)
{
    if (directed)
        ActualLight.flags |= LightDirected;
    else
        ActualLight.flags &= uint8_t(~LightDirected);
    CheckRadioButton(dlg, LightPoint, LightDirection, directed ? LightDirection : LightPoint);
    RedrawScene();
}

void togglebinding(HWND dlg)
{
    const bool bound = IsDlgButtonChecked(dlg, LightBind) != BST_CHECKED;
    CheckDlgButton(dlg, LightBind, bound ? BST_CHECKED : BST_UNCHECKED);
    if (bound)
        ActualLight.flags |= LightBound;
    else
        ActualLight.flags &= uint8_t(~LightBound);
    RedrawScene();
}

void editlightobject(HWND dlg, int id, const ViewObject& object)
{
    Vector* v = static_cast<Vector*>(searchlist(ActualScene, object.tag, object.name));
    const std::string text = fieldtext(dlg, id, FieldNumberLimit);
    Vector value = v ? *v : nullv();
    if (!readvector(text.c_str(), &value, object.tag == TagPoint ? "Position" : "Direction"))
        return;
    if (!v) {
        v = newvector();
        insertlist(ActualScene, object.tag, v, copytext(object.name));
    }
    *v = value;
    // Light needs a direction; summed in double so that tiny components are not lost.
    if (object.tag == TagVector &&
        double(v->x) * v->x + double(v->y) * v->y + double(v->z) * v->z == 0.0)
        v->z = -1.0f;
    RedrawScene();
}

}  // namespace

int loadcamera()
{
    int found = 0;
    for (const ViewObject& object : CamObjects)
        if (const Vector* v = static_cast<Vector*>(searchlist(ActualScene, object.tag, object.name))) {
            setcolumnm(&ActualCam.frame, object.column, *v);
            found += 1;
        }
    return found;
}

INT_PTR CALLBACK CheckCamboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CheckRadioButton(dlg, CamParallel, CamCentralView,
                         (ActualCam.flags & CamCentral) ? CamCentralView : CamParallel);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wparam)) {
    case CamUse:
        usedefaultcam();
        return TRUE;
    case CamStore:
        storecam();
        return TRUE;
    case CamParallel:
        setview(dlg, false);
        return TRUE;
    case CamCentralView:
        setview(dlg, true);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotCamera);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CheckLightboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        initlight(dlg);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wparam);
    if (id == LightPosField || id == LightDirField) {
        // Filling the fields at the start raises EN_CHANGE too; that is no edit.
        if (HIWORD(wparam) != EN_CHANGE || GetWindowLongPtrA(dlg, DWLP_USER) != LightFilled)
            return FALSE;
        if (id == LightPosField)
            editlightobject(dlg, id, LightPositionObject);
        else
            editlightobject(dlg, id, LightDirectionObject);
        return TRUE;
    }
    switch (id) {
    case LightPoint:
        setlightkind(dlg, false);
        return TRUE;
    case LightDirection:
        setlightkind(dlg, true);
        return TRUE;
    case LightBind:
        togglebinding(dlg);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotLight);
        return TRUE;
    }
    return FALSE;
}
