// The scene chooser: line i of its list stands for scene i. The shell appends a
// line for every scene added while the chooser is open, and renames a line
// when its scene is saved under a new name.
#include "ui/dialogs.h"

#include "core/registry.h"
#include "ui/shell.h"

namespace {

void fillscenes(HWND dlg)
{
    const HWND box = GetDlgItem(dlg, ChooserList);
    for (int i = 0; i < number_of_scenes; i++)
        AppendListLine(box, SceneShort[i] ? SceneShort[i] : "(unnamed)");
}

INT_PTR choosescene(HWND dlg)
{
    const LRESULT line = SendDlgItemMessageA(dlg, ChooserList, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR || line >= number_of_scenes)
        return TRUE;
    if (line == chosen_scene)
        return FALSE;
    ChooseScene(int(line));
    // Every editing dialog lists the scene that was current; the chooser stays.
    CloseEditingDialogs();
    // The running program has one camera: the scene's camera objects take it over.
    loadcamera();
    RedrawScene();
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK CheckChoosesceneProc(HWND dlg, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        fillscenes(dlg);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wparam)) {
    case ChooserList:
        if (HIWORD(wparam) == LBN_SELCHANGE)
            return choosescene(dlg);
        return TRUE;
    case IDCANCEL:
        EndEditDialog(dlg, SlotChooser);
        return TRUE;
    }
    return FALSE;
}
