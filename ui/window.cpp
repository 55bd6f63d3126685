// The main window: start-up, the message dispatch, paint, size, close and destroy.
#include "ui/shell.h"

#include "core/memory.h"
#include "core/platform.h"
#include "core/registry.h"
#include "render/camera.h"
#include "render/image.h"
#include "render/render.h"
#include "scenefile/scenefile.h"
#include "ui/viewcontrol.h"

const char* const lpszWCLASSNAME = "GRAPHIC WINDOW";
const char* const lpszTITLE = "3D scene";

HWND hWindow = nullptr;
HINSTANCE hInst = nullptr;

// Outer size of the window at start, frame, caption and menu bar included.
constexpr int StartWidth = 148;
constexpr int StartHeight = 194;

static void registerclass(HINSTANCE instance)
{
    const HMODULE self = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    // No class styles: a resize does not invalidate by itself; the size handler does.
    wc.style = 0;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(self, MAKEINTRESOURCEA(MainIcon));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(MainMenu);
    wc.lpszClassName = lpszWCLASSNAME;
    wc.hIconSm = static_cast<HICON>(
        LoadImageA(self, MAKEINTRESOURCEA(MainIcon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    // A failure shows up as a window that cannot be created.
    RegisterClassExA(&wc);
}

static void startscene(const char* cmdline)
{
    // The first scene of the run is scene 0.
    number_of_scenes = 0;
    if (cmdline && cmdline[0] != '\0') {
        // The whole rest of the line is one path, blanks included.
        ActualScene = ReadScene(cmdline);
        return;
    }
    ActualScene = initlist();
    AddScene(ActualScene, nullptr);
}

void StartUp(HINSTANCE instance, const char* cmdline, int show)
{
    registerclass(instance);
    hInst = instance;
    hWindow = CreateWindowExA(0, lpszWCLASSNAME, lpszTITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                              StartWidth, StartHeight, nullptr, nullptr, instance, nullptr);
    if (!hWindow)
        HardError("Error: Window could not be opened.");
    // Scene files dropped on the window are loaded (DropFiles).
    DragAcceptFiles(hWindow, TRUE);
    ShowWindow(hWindow, show);

    StartView();
    ActualImage = emptyimg();
    FormatImage(&ActualImage, hWindow);

    startscene(cmdline);
    PrepareScene();
    RenderScene(ActualScene);
    // Paint the first picture now, before the first message is taken.
    InvalidateRect(hWindow, nullptr, FALSE);
    UpdateWindow(hWindow);
}

// The File shortcuts. Ctrl with arrows, brackets and digits stays with the view control.
static HACCEL shortcuts()
{
    static const HACCEL table = [] {
        ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'N', CmdNewScene},
                        {FCONTROL | FVIRTKEY, 'O', CmdLoadScene},
                        {FCONTROL | FVIRTKEY, 'S', CmdSaveScene}};
        return CreateAcceleratorTableA(keys, int(sizeof keys / sizeof keys[0]));
    }();
    return table;
}

bool TranslateShortcut(MSG* msg)
{
    // Keys typed into a dialog stay the dialog's.
    return msg->hwnd == hWindow && TranslateAcceleratorA(hWindow, shortcuts(), msg) != 0;
}

int MessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateShortcut(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void RedrawScene()
{
    PrepareScene();
    ClearAndRender(ActualScene);
    InvalidateRect(hWindow, nullptr, FALSE);
}

static void resized(HWND window, WPARAM type)
{
    if (type == SIZE_MINIMIZED)
        return;
    FormatImage(&ActualImage, window);
    // The platform sizes the window while it is being created, before there is
    // a camera or a scene: then there is nothing to draw yet.
    if (ActualScene) {
        PrepareScene();
        RenderScene(ActualScene);
    }
    InvalidateRect(window, nullptr, FALSE);
}

// Moved to a screen of another resolution: the window takes the size the system
// proposes, and the size handler draws the picture anew at its real pixel size.
static void dpichanged(HWND window, LPARAM lparam)
{
    const RECT* proposed = reinterpret_cast<const RECT*>(lparam);
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

static void closing(HWND window)
{
    if (ShowMessageBox(window, "Should this program be ended?", "Close window", BoxYesNo) ==
        AnswerYes)
        DestroyWindow(window);
}

// Mouse positions are unsigned 16-bit client coordinates.
static int32_t pointerx(LPARAM lparam)
{
    return int32_t(LOWORD(lparam));
}

static int32_t pointery(LPARAM lparam)
{
    return int32_t(HIWORD(lparam));
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        resized(window, wparam);
        return 0;
    case WM_PAINT:
        ShowImage(ActualImage, window);
        return 0;
    case WM_CLOSE:
        closing(window);
        return 0;
    case WM_KEYDOWN:
        KeyDown(uint32_t(wparam));
        return 0;
    case WM_KEYUP:
        KeyUp(uint32_t(wparam));
        return 0;
    case WM_KILLFOCUS:
        // A modifier released in another window (a file chooser opened by Ctrl+O)
        // is never seen here: none counts as held any more.
        Funckey = 0;
        return DefWindowProcA(window, message, wparam, lparam);
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wparam));
        return 0;
    case WM_DPICHANGED:
        dpichanged(window, lparam);
        return 0;
    case WM_COMMAND:
        MenuCommand(LOWORD(wparam));
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(LOWORD(wparam), pointerx(lparam), pointery(lparam));
        return 0;
    case WM_LBUTTONDOWN:
        MouseButton(1, pointerx(lparam), pointery(lparam));
        return 0;
    case WM_RBUTTONDOWN:
        MouseButton(2, pointerx(lparam), pointery(lparam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        MouseRelease();
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
