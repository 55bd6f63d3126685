#include "tests/ui/shellfixture.h"

#include <cstdio>
#include <cstring>

std::vector<RecordedBox> ShellTest::boxes;
int ShellTest::boxanswer = AnswerYes;
std::vector<RecordedFileDialog> ShellTest::filedialogs;
std::string ShellTest::fileanswer;

static std::vector<HWND> StandIns;

static int recordbox(WindowHandle owner, const char* text, const char* caption, uint32_t buttons)
{
    ShellTest::boxes.push_back({owner, text, caption, buttons});
    return ShellTest::boxanswer;
}

static bool answerfile(WindowHandle, bool save, char* path, size_t size)
{
    ShellTest::filedialogs.push_back({save, size});
    if (ShellTest::fileanswer.empty() || ShellTest::fileanswer.size() + 2 >= size)
        return false;
    std::strcpy(path, ShellTest::fileanswer.c_str());
    return true;
}

void ShellTest::pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ShellTest::SetUp()
{
    boxes.clear();
    boxanswer = AnswerYes;
    filedialogs.clear();
    fileanswer.clear();
    MessageBoxHook = recordbox;
    FileDialogHook = answerfile;
    MClick = 0;
    MouseX = MouseY = 0;
    Funckey = 0;
    Chosengrade = Changegrades[2];
    for (HWND& slot : GDlgs)
        slot = nullptr;
    StartUp(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    pump();
}

void ShellTest::TearDown()
{
    for (HWND window : StandIns)
        if (IsWindow(window))
            DestroyWindow(window);
    StandIns.clear();
    for (HWND& slot : GDlgs) {
        if (slot && IsWindow(slot))
            DestroyWindow(slot);
        slot = nullptr;
    }
    if (IsWindow(hWindow))
        DestroyWindow(hWindow);
    pump();
    MessageBoxHook = nullptr;
    FileDialogHook = nullptr;
}

void ShellTest::restart(const char* cmdline)
{
    DestroyWindow(hWindow);
    pump();
    StartUp(GetModuleHandleA(nullptr), cmdline, SW_SHOWNORMAL);
    pump();
}

LRESULT ShellTest::send(UINT message, WPARAM wparam, LPARAM lparam)
{
    return SendMessageA(hWindow, message, wparam, lparam);
}

void ShellTest::command(int id)
{
    send(WM_COMMAND, WPARAM(id), 0);
}

void ShellTest::keydown(uint32_t key)
{
    send(WM_KEYDOWN, key, 1);
}

void ShellTest::keyup(uint32_t key)
{
    send(WM_KEYUP, key, LPARAM(0xC0000001u));
}

void ShellTest::clientsize(int width, int height)
{
    RECT outer, inner;
    GetWindowRect(hWindow, &outer);
    GetClientRect(hWindow, &inner);
    const int framew = (outer.right - outer.left) - inner.right;
    const int frameh = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(hWindow, nullptr, 0, 0, width + framew, height + frameh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump();
}

void ShellTest::markpicture()
{
    pump();
    const size_t bytes = size_t(ActualImage.width) * ActualImage.height * 4;
    if (bytes > 0)
        std::memset(ActualImage.pixels, 0x77, bytes);
    ValidateRect(hWindow, nullptr);
}

bool ShellTest::redrawn()
{
    const bool cleared = ActualImage.width * ActualImage.height == 0 || ActualImage.pixels[0] != 0x77;
    const bool invalid = GetUpdateRect(hWindow, nullptr, FALSE) != 0;
    EXPECT_EQ(cleared, invalid) << "a redraw both renders and invalidates";
    return cleared && invalid;
}

Vector ShellTest::right()
{
    return columnm(ActualCam.frame, 0);
}

Vector ShellTest::lower()
{
    return columnm(ActualCam.frame, 1);
}

Vector ShellTest::front()
{
    return columnm(ActualCam.frame, 2);
}

Vector ShellTest::position()
{
    return columnm(ActualCam.frame, 3);
}

HWND ShellTest::fakechooser()
{
    HWND dialog = CreateWindowExA(0, "STATIC", "Choose scene", WS_POPUP, 0, 0, 200, 200, hWindow,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_NOTIFY, 0, 0, 200, 200, dialog,
                    reinterpret_cast<HMENU>(INT_PTR(ChooserList)), GetModuleHandleA(nullptr),
                    nullptr);
    // The chooser lists every scene when it opens.
    for (int scene = 0; scene < number_of_scenes; ++scene)
        AppendListLine(GetDlgItem(dialog, ChooserList),
                       SceneShort[scene] ? SceneShort[scene] : "(unnamed)");
    GDlgs[SlotChooser] = dialog;
    StandIns.push_back(dialog);
    return dialog;
}

std::vector<std::string> ShellTest::listlines(HWND dialog)
{
    const HWND box = GetDlgItem(dialog, ChooserList);
    std::vector<std::string> lines;
    const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(box, LB_GETTEXTLEN, WPARAM(i), 0);
        std::vector<char> text(size_t(length) + 1);
        SendMessageA(box, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text.data()));
        lines.emplace_back(text.data());
    }
    return lines;
}

HWND ShellTest::fakedialog(int slot)
{
    HWND dialog = CreateWindowExA(0, "STATIC", "stand-in", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                  hWindow, nullptr, GetModuleHandleA(nullptr), nullptr);
    GDlgs[slot] = dialog;
    StandIns.push_back(dialog);
    return dialog;
}

std::string ShellTest::temppath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "scene3d_ui_tests_" +
                       std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\" + name;
}

void ShellTest::writefile(const std::string& path, const char* text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text, file);
    std::fclose(file);
}

bool ShellTest::quitposted()
{
    MSG msg;
    bool found = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            found = found || msg.wParam == 0;
        else
            DispatchMessageA(&msg);
    }
    return found;
}
