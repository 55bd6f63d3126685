// The menu commands: scenes created, loaded, saved and chosen, and the dialogs opened.
#include "ui/shell.h"

#include "core/platform.h"
#include "core/registry.h"
#include "scenefile/scenefile.h"
#include "ui/dialogs.h"

#include <vector>

HWND GDlgs[DialogSlots] = {};

struct DialogSlot {
    int command;
    int slot;
    int dialogtemplate;
    DLGPROC procedure;
};

static const DialogSlot DialogTable[] = {
    {CmdChooseScene, SlotChooser, DialogChooser, CheckChoosesceneProc},
    {CmdPoints, SlotPoints, DialogPoints, CheckPointboxProc},
    {CmdVectors, SlotVectors, DialogVectors, CheckVectorboxProc},
    {CmdColors, SlotColors, DialogColors, CheckColorboxProc},
    {CmdSpheres, SlotSpheres, DialogSpheres, CheckSphereboxProc},
    {CmdPolygons, SlotPolygons, DialogPolygons, CheckPolygonboxProc},
    {CmdCamera, SlotCamera, DialogCamera, CheckCamboxProc},
    {CmdLight, SlotLight, DialogLight, CheckLightboxProc},
};

// The file chooser fills at most two bytes less than this.
constexpr size_t PathBuffer = 1024;

static const char* const Unnamed = "(unnamed)";

void CloseEditingDialogs()
{
    // Destroyed rather than only hidden: a run that creates many scenes would
    // otherwise pile up invisible dialogs.
    for (int slot = 1; slot < DialogSlots; ++slot) {
        if (GDlgs[slot]) {
            DestroyWindow(GDlgs[slot]);
            GDlgs[slot] = nullptr;
        }
    }
}

static HWND chooserlist()
{
    return GDlgs[SlotChooser] ? GetDlgItem(GDlgs[SlotChooser], ChooserList) : nullptr;
}

// The chooser keeps one line per scene, in scene order.
static void choosernewline(const char* shortname)
{
    if (const HWND box = chooserlist())
        AppendListLine(box, shortname ? shortname : Unnamed);
}

static void choosersetline(int scene, const char* shortname)
{
    const HWND box = chooserlist();
    if (!box || !shortname)
        return;
    SendMessageA(box, LB_INSERTSTRING, WPARAM(scene + 1), reinterpret_cast<LPARAM>(shortname));
    SendMessageA(box, LB_DELETESTRING, WPARAM(scene), 0);
}

// The registry never drops a scene, so a full one refuses before anything changes.
static bool roomforscene()
{
    if (number_of_scenes < MaxScenes)
        return true;
    ShowMessageBox(hWindow, "No more scenes can be held.", "WARNING", BoxOk);
    return false;
}

static void newscene()
{
    if (!roomforscene())
        return;
    SceneList* list = initlist();
    AddScene(list, nullptr);
    ActualScene = list;
    CloseEditingDialogs();
    choosernewline(nullptr);
    RedrawScene();
}

// The scene of the file becomes current, as "Load scene" makes it; the caller redraws.
static void enterscene(const char* path)
{
    ActualScene = ReadScene(path);
    CloseEditingDialogs();
    choosernewline(SceneShort[chosen_scene]);
}

static void loadscene()
{
    if (!roomforscene())
        return;
    char path[PathBuffer];
    if (!AskFileName(hWindow, false, path, sizeof path))
        return;
    enterscene(path);
    RedrawScene();
}

void DropFiles(HDROP drop)
{
    // A full registry warns once and takes none of the remaining files.
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    UINT loaded = 0;
    for (UINT i = 0; i < count && roomforscene(); ++i) {
        // The shell's paths are not bound by the file chooser's buffer.
        std::vector<char> path(size_t(DragQueryFileA(drop, i, nullptr, 0)) + 1);
        DragQueryFileA(drop, i, path.data(), UINT(path.size()));
        enterscene(path.data());
        ++loaded;
    }
    DragFinish(drop);
    if (loaded > 0)
        RedrawScene();
}

static void savescene(bool ask)
{
    char buffer[PathBuffer];
    const char* path = SceneName[chosen_scene];
    if (ask || !path) {
        if (!AskFileName(hWindow, true, buffer, sizeof buffer))
            return;
        path = buffer;
    }
    if (!SaveScene(path, ActualScene)) {
        ShowMessageBox(hWindow, "Scene could not be saved.", "WARNING", BoxOk);
        return;
    }
    choosersetline(chosen_scene, SceneShort[chosen_scene]);
}

static bool opendialog(int command)
{
    for (const DialogSlot& entry : DialogTable) {
        if (entry.command != command)
            continue;
        HWND& handle = GDlgs[entry.slot];
        if (!handle)
            handle = CreateDialogParamA(hInst, MAKEINTRESOURCEA(entry.dialogtemplate), hWindow,
                                        entry.procedure, 0);
        // A dialog that could not be created stays null and is tried again next time.
        if (handle)
            ShowWindow(handle, SW_SHOW);
        return true;
    }
    return false;
}

void MenuCommand(int id)
{
    switch (id) {
    case CmdNewScene:
        newscene();
        return;
    case CmdLoadScene:
        loadscene();
        return;
    case CmdSaveScene:
        savescene(false);
        return;
    case CmdSaveSceneAs:
        savescene(true);
        return;
    case CmdQuit:
        DestroyWindow(hWindow);
        return;
    default:
        if (!opendialog(id))
            RedrawScene();
        return;
    }
}
