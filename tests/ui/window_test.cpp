// Start-up, the window itself, painting, sizing and the ways to end the run.
#include "tests/ui/shellfixture.h"

#include "core/memory.h"
#include "core/objects.h"
#include "core/scenelist.h"

#include <cmath>
#include <cstring>

namespace {

std::string menutext(HMENU menu, UINT position)
{
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

bool picturecleared()
{
    const size_t bytes = size_t(ActualImage.width) * ActualImage.height * 4;
    for (size_t i = 0; i < bytes; ++i)
        if (ActualImage.pixels[i] != 0)
            return false;
    for (int32_t i = 0; i < ActualImage.width * ActualImage.height; ++i)
        if (!std::isinf(ActualImage.depth[i]))
            return false;
    return true;
}

}  // namespace

TEST_F(ShellTest, StartsWithOneEmptyUnnamedSceneAndTheDefaultView)
{
    EXPECT_EQ(number_of_scenes, 1);
    EXPECT_EQ(chosen_scene, 0);
    EXPECT_EQ(ListScene[0], ActualScene);
    EXPECT_EQ(SceneName[0], nullptr);
    EXPECT_EQ(SceneShort[0], nullptr);

    // A clipped central view from the default camera, and a directed light from it.
    EXPECT_EQ(ActualCam.flags, CamCentral | CamClip);
    const Camera standard = DefaultCam();
    EXPECT_EQ(std::memcmp(&ActualCam.frame, &standard.frame, sizeof(Matrix)), 0);
    EXPECT_EQ(ActualLight.flags, LightDirected);
    EXPECT_FLOAT_EQ(ActualLight.vector.z, -1000);

    // The picture has the client area's size and shows nothing.
    RECT client;
    GetClientRect(hWindow, &client);
    EXPECT_EQ(ActualImage.width, client.right);
    EXPECT_EQ(ActualImage.height, client.bottom);
    EXPECT_GT(ActualImage.width * ActualImage.height, 0);
    EXPECT_TRUE(picturecleared());
}

TEST_F(ShellTest, WindowHasItsClassCaptionSizeAndMenu)
{
    char text[64];
    GetClassNameA(hWindow, text, sizeof text);
    EXPECT_STREQ(text, "GRAPHIC WINDOW");
    GetWindowTextA(hWindow, text, sizeof text);
    EXPECT_STREQ(text, "3D scene");
    EXPECT_TRUE(IsWindowVisible(hWindow));

    RECT outer;
    GetWindowRect(hWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 148);
    EXPECT_EQ(outer.bottom - outer.top, 194);

    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(hWindow, GCLP_HCURSOR)),
              LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(hWindow, GCLP_HBRBACKGROUND)),
              GetStockObject(LTGRAY_BRUSH));
    EXPECT_NE(GetClassLongPtrA(hWindow, GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrA(hWindow, GCLP_HICONSM), 0);
    EXPECT_EQ(GetClassLongPtrA(hWindow, GCL_STYLE), 0);

    struct Item {
        const char* text;
        UINT id;
    };
    const std::vector<std::vector<Item>> items = {
        {{"New scene", CmdNewScene},
         {"Load scene", CmdLoadScene},
         {"Save scene", CmdSaveScene},
         {"Save scene as", CmdSaveSceneAs},
         {"Choose scene", CmdChooseScene},
         {"Quit", CmdQuit}},
        {{"Points", CmdPoints},
         {"Vectors", CmdVectors},
         {"Colors", CmdColors},
         {"Spheres", CmdSpheres},
         {"Polygons", CmdPolygons}},
        {{"Camera", CmdCamera}, {"Light", CmdLight}},
    };
    const char* popups[] = {"File", "Object", "View"};
    const HMENU menu = GetMenu(hWindow);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    for (UINT p = 0; p < 3; ++p) {
        EXPECT_EQ(menutext(menu, p), popups[p]);
        const HMENU popup = GetSubMenu(menu, int(p));
        ASSERT_EQ(GetMenuItemCount(popup), int(items[p].size())) << popups[p];
        for (UINT i = 0; i < items[p].size(); ++i) {
            EXPECT_EQ(menutext(popup, i), items[p][i].text);
            EXPECT_EQ(GetMenuItemID(popup, int(i)), items[p][i].id) << items[p][i].text;
            EXPECT_EQ(GetMenuState(popup, i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), 0u);
        }
    }
}

TEST_F(ShellTest, CommandLineIsOnePathWithBlanksAndQuotesRemoved)
{
    const std::string path = temppath("two words.item");
    writefile(path, "PNT p 1 2 3\n");
    restart(("\"" + path + "\"").c_str());
    EXPECT_EQ(number_of_scenes, 1);
    ASSERT_NE(SceneName[0], nullptr);
    EXPECT_EQ(std::string(SceneName[0]), path);
    EXPECT_STREQ(SceneShort[0], "two words.item");

    // Without quotes the blank is part of the path; a file that does not
    // exist gives an empty unnamed scene.
    restart((path + " more").c_str());
    EXPECT_EQ(number_of_scenes, 1);
    EXPECT_EQ(SceneName[0], nullptr);
    EXPECT_NE(ActualScene, nullptr);
}

TEST_F(ShellTest, CloseAsksAndEndsOnlyOnYes)
{
    boxanswer = AnswerNo;
    EXPECT_EQ(send(WM_CLOSE), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Should this program be ended?");
    EXPECT_EQ(boxes[0].caption, "Close window");
    EXPECT_EQ(boxes[0].buttons, BoxYesNo);
    EXPECT_EQ(boxes[0].owner, hWindow);
    EXPECT_TRUE(IsWindow(hWindow));
    EXPECT_FALSE(quitposted());

    boxanswer = AnswerYes;
    send(WM_CLOSE);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_FALSE(IsWindow(hWindow));
    EXPECT_TRUE(quitposted());
}

TEST_F(ShellTest, QuitEndsTheLoopWithoutAsking)
{
    PostMessageA(hWindow, WM_COMMAND, CmdQuit, 0);
    EXPECT_EQ(MessageLoop(), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(IsWindow(hWindow));
}

TEST_F(ShellTest, PaintingShowsThePictureWithoutRendering)
{
    markpicture();
    InvalidateRect(hWindow, nullptr, FALSE);
    UpdateWindow(hWindow);
    EXPECT_EQ(ActualImage.pixels[0], 0x77);
    EXPECT_EQ(GetUpdateRect(hWindow, nullptr, FALSE), 0);

    // What was painted is the picture, centred: here it fills the client area.
    const HDC dc = GetDC(hWindow);
    const COLORREF shown = GetPixel(dc, 0, 0);
    ReleaseDC(hWindow, dc);
    EXPECT_EQ(shown, RGB(0x77, 0x77, 0x77));
}

TEST_F(ShellTest, ResizeFormatsAndRedrawsMinimiseDoesNothing)
{
    clientsize(200, 150);
    EXPECT_EQ(ActualImage.width, 200);
    EXPECT_EQ(ActualImage.height, 150);

    markpicture();
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(redrawn());

    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150));
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(picturecleared());
}

TEST_F(ShellTest, SizeBeforeAnythingExistsIsHarmless)
{
    ActualScene = nullptr;
    ActualImage = emptyimg();
    ActualCam = Camera{};
    send(WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_GT(ActualImage.width * ActualImage.height, 0);
    EXPECT_TRUE(picturecleared());
}

TEST_F(ShellTest, EmptyClientAreaIsHarmless)
{
    // A window shrunk until nothing of its client area is left.
    SetWindowPos(hWindow, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
    send(WM_SIZE, SIZE_RESTORED, 0);
    RECT client;
    GetClientRect(hWindow, &client);
    ASSERT_EQ(ActualImage.width, client.right);
    ASSERT_EQ(ActualImage.height, client.bottom);
    ASSERT_EQ(client.right * client.bottom, 0);

    const Matrix before = ActualCam.frame;
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 40));
    send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(0, 0));
    send(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(30, 40));
    EXPECT_EQ(std::memcmp(&before, &ActualCam.frame, sizeof(Matrix)), 0);
    keydown(VK_LEFT);
    command(200);  // no command: only the redraw
    InvalidateRect(hWindow, nullptr, FALSE);
    UpdateWindow(hWindow);
    EXPECT_FLOAT_EQ(position().x, 100);
}

namespace {

// A red sphere about the origin, entered the way the dialogs enter objects.
void addsphere(SceneList* scene, float radius)
{
    auto* centre = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
    *centre = nullv();
    insertlist(scene, TagPoint, centre, copytext("c"));
    auto* pattern = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
    *pattern = RGBpattern(255, 0, 0, 33, 33, 33);
    insertlist(scene, TagPattern, pattern, copytext("red"));
    auto* sphere = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
    *sphere = SphereObject{centre, radius, pattern};
    insertlist(scene, TagSphere, sphere, copytext("ball"));
}

// Mean column of the pixels that show something; -1 for an empty picture.
double centrecolumn()
{
    double sum = 0;
    long count = 0;
    for (int32_t row = 0; row < ActualImage.height; ++row)
        for (int32_t col = 0; col < ActualImage.width; ++col) {
            const uint8_t* p = ActualImage.pixels + 4 * (size_t(row) * ActualImage.width + col);
            if (p[0] | p[1] | p[2]) {
                sum += col;
                count += 1;
            }
        }
    return count ? sum / count : -1;
}

}  // namespace

TEST_F(ShellTest, PictureFollowsTheSceneTheCameraAndTheWindow)
{
    clientsize(160, 120);
    addsphere(ActualScene, 200);
    command(200);  // no command: only the redraw
    const double centred = centrecolumn();
    EXPECT_NEAR(centred, 80, 1);

    // On screen the window shows exactly the picture.
    UpdateWindow(hWindow);
    const HDC dc = GetDC(hWindow);
    const uint8_t* middle = ActualImage.pixels + 4 * (size_t(60) * 160 + 80);
    EXPECT_EQ(GetPixel(dc, 80, 60), RGB(middle[2], middle[1], middle[0]));
    EXPECT_GT(middle[2], 0);
    ReleaseDC(hWindow, dc);

    // The left arrow moves the camera right: the scene moves left.
    keydown(VK_LEFT);
    EXPECT_LT(centrecolumn(), centred - 5);

    // A bigger window renders at its new size at once.
    clientsize(320, 240);
    EXPECT_EQ(ActualImage.width, 320);
    EXPECT_GT(centrecolumn(), 0);

    // A new scene is empty.
    command(CmdNewScene);
    EXPECT_EQ(centrecolumn(), -1);
}
