// What a Windows user expects of the main window: files dropped on it, the File
// shortcuts, and a move to a screen of another resolution.
#include "tests/ui/shellfixture.h"

#include "core/objects.h"
#include "core/scenelist.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

namespace {

// The drop as the shell hands it over: a DROPFILES header in movable global
// memory, then the wide paths, each ended by a zero, the list by another one.
HGLOBAL droppedfiles(const std::vector<std::string>& paths)
{
    std::wstring list;
    for (const std::string& path : paths) {
        list.append(path.begin(), path.end());
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = POINT{10, 10};
    header->fWide = TRUE;
    std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

void drop(const std::vector<std::string>& paths)
{
    SendMessageA(hWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(droppedfiles(paths)), 0);
}

// The thread's own key state, as TranslateAcceleratorA reads it.
void holdcontrol(bool held)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = held ? 0x80 : 0;
    SetKeyboardState(state);
}

// Ctrl held for one test: released again however the test ends.
struct HeldControl {
    HeldControl() { holdcontrol(true); }
    ~HeldControl() { holdcontrol(false); }
};

// A key press as the message loop takes it from the queue.
bool shortcut(HWND target, uint32_t key)
{
    MSG msg = {};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1;
    return TranslateShortcut(&msg);
}

}  // namespace

TEST_F(ShellTest, DroppedFilesLoadAsLoadSceneLoadsThem)
{
    const std::string first = temppath("first.item");
    const std::string second = temppath("second.item");
    writefile(first, "PNT p 1 2 3\n");
    writefile(second, "PNT q 4 5 6\n");
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);

    const HWND chooser = fakechooser();
    const HWND points = fakedialog(SlotPoints);
    markpicture();
    drop({first});
    EXPECT_EQ(number_of_scenes, 2);
    EXPECT_EQ(chosen_scene, 1);
    EXPECT_STREQ(SceneShort[1], "first.item");
    EXPECT_NE(searchlist(ActualScene, TagPoint, "p"), nullptr);
    EXPECT_EQ(GDlgs[SlotPoints], nullptr);
    EXPECT_FALSE(IsWindow(points) && IsWindowVisible(points));
    EXPECT_TRUE(redrawn());

    // One scene per file, in the order given; a folder is a file that cannot be
    // read: an empty scene without name.
    drop({second, folder});
    EXPECT_EQ(number_of_scenes, 4);
    EXPECT_EQ(chosen_scene, 3);
    EXPECT_STREQ(SceneShort[2], "second.item");
    EXPECT_NE(searchlist(ListScene[2], TagPoint, "q"), nullptr);
    EXPECT_EQ(SceneName[3], nullptr);
    EXPECT_EQ(ListScene[3], ActualScene);
    EXPECT_EQ(GDlgs[SlotChooser], chooser);
    EXPECT_EQ(listlines(chooser),
              (std::vector<std::string>{"(unnamed)", "first.item", "second.item", "(unnamed)"}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(filedialogs.empty());

    // A full registry warns once for the whole drop and takes nothing.
    const int16_t held = number_of_scenes;
    number_of_scenes = MaxScenes;
    SceneList* current = ActualScene;
    drop({first, second});
    number_of_scenes = held;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No more scenes can be held.");
    EXPECT_EQ(boxes[0].caption, "WARNING");
    EXPECT_EQ(ActualScene, current);
    EXPECT_EQ(listlines(chooser).size(), 4u);
}

TEST_F(ShellTest, ControlShortcutsRunTheFileCommandsAndLeaveTheViewKeys)
{
    HeldControl held;
    keydown(VK_CONTROL);
    EXPECT_TRUE(shortcut(hWindow, 'N'));
    EXPECT_EQ(number_of_scenes, 2);
    EXPECT_TRUE(shortcut(hWindow, 'O'));
    ASSERT_EQ(filedialogs.size(), 1u);
    EXPECT_FALSE(filedialogs[0].save);
    // The new scene has no file yet: saving asks for one.
    EXPECT_TRUE(shortcut(hWindow, 'S'));
    ASSERT_EQ(filedialogs.size(), 2u);
    EXPECT_TRUE(filedialogs[1].save);

    // Ctrl with the view keys still reaches the view control: the camera turns in place.
    const Vector place = position(), ahead = front();
    for (uint32_t key : {uint32_t(VK_LEFT), uint32_t(VK_OEM_4), uint32_t('1')})
        EXPECT_FALSE(shortcut(hWindow, key)) << key;
    keydown(VK_LEFT);
    EXPECT_FLOAT_EQ(position().x, place.x);
    EXPECT_FLOAT_EQ(position().z, place.z);
    EXPECT_NE(front().x, ahead.x);

    // Keys typed into a dialog are the dialog's.
    EXPECT_FALSE(shortcut(fakedialog(SlotPoints), 'N'));
    EXPECT_EQ(number_of_scenes, 2);

    holdcontrol(false);
    EXPECT_FALSE(shortcut(hWindow, 'N'));
    EXPECT_EQ(number_of_scenes, 2);

    // Ctrl released while a file chooser had the keyboard is not seen here: the
    // window forgets the modifier when it loses the keyboard.
    keydown(VK_CONTROL);
    send(WM_KILLFOCUS);
    EXPECT_EQ(Funckey, 0);
}

TEST_F(ShellTest, ScreenOfAnotherResolutionGetsThePictureAtItsPixelSize)
{
    RECT outer;
    GetWindowRect(hWindow, &outer);
    RECT proposed = {outer.left, outer.top, outer.left + 300, outer.top + 250};
    markpicture();
    send(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&proposed));
    RECT now, client;
    GetWindowRect(hWindow, &now);
    GetClientRect(hWindow, &client);
    EXPECT_EQ(now.right - now.left, 300);
    EXPECT_EQ(now.bottom - now.top, 250);
    EXPECT_EQ(ActualImage.width, client.right);
    EXPECT_EQ(ActualImage.height, client.bottom);
    EXPECT_TRUE(redrawn());
}
