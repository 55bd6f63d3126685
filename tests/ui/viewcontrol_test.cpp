// Moving the camera with keys and mouse drags, through the main window's messages.
#include "tests/ui/shellfixture.h"

#include <cmath>
#include <cstring>

namespace {

void expectnear(Vector actual, float x, float y, float z, float tolerance = 0.01f)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

void expectsameframe(const Matrix& a, const Matrix& b, float tolerance)
{
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

bool sameframe(const Matrix& a, const Matrix& b)
{
    return std::memcmp(&a, &b, sizeof(Matrix)) == 0;
}

}  // namespace

TEST_F(ShellTest, ArrowAndBracketKeysShiftTheCameraAlongItsAxes)
{
    markpicture();
    keydown(VK_LEFT);
    expectnear(position(), 100, 0, -1000);
    EXPECT_TRUE(redrawn());
    keydown(VK_RIGHT);
    expectnear(position(), 0, 0, -1000, 0);

    keydown(VK_UP);
    expectnear(position(), 0, 100, -1000);
    keydown(VK_DOWN);
    keydown(VK_OEM_4);
    expectnear(position(), 0, 0, -1100);
    keydown(VK_OEM_6);
    keydown(VK_OEM_6);
    expectnear(position(), 0, 0, -900);
    // Shifts keep the axes.
    expectnear(right(), 1000, 0, 0, 0);
    expectnear(front(), 0, 0, 1000, 0);
}

TEST_F(ShellTest, CtrlBracketsZoomByChangingFrontAlone)
{
    keydown(VK_CONTROL);
    keydown(VK_OEM_4);
    expectnear(front(), 0, 0, 909.09f);
    expectnear(position(), 0, 0, -1000, 0);
    expectnear(right(), 1000, 0, 0, 0);
    keydown(VK_OEM_6);
    expectnear(front(), 0, 0, 1000, 0.001f);
}

TEST_F(ShellTest, ShiftArrowsOrbitAboutTheLookAtPoint)
{
    keydown(VK_SHIFT);
    keydown(VK_LEFT);
    expectnear(position(), 99.83f, 0, -995.00f);
    expectnear(front(), -99.83f, 0, 995.00f);
    expectnear(addv(position(), front()), 0, 0, 0, 0.001f);

    keydown(VK_UP);
    expectnear(addv(position(), front()), 0, 0, 0, 0.001f);
    EXPECT_NEAR(lengthv(front()), 1000, 0.01f);
    // Front turned up (towards -lower), so the camera went down, along +lower.
    EXPECT_LT(front().y, 0);
    EXPECT_GT(position().y, 0);

    // Shift+brackets scale the axes and keep the position.
    const Vector where = position();
    keydown(VK_OEM_4);
    EXPECT_NEAR(lengthv(right()), 1100, 0.01f);
    EXPECT_NEAR(lengthv(front()), 1100, 0.01f);
    keydown(VK_OEM_6);
    EXPECT_NEAR(lengthv(right()), 1000, 0.01f);
    expectnear(position(), where.x, where.y, where.z, 0);
}

TEST_F(ShellTest, CtrlArrowsTurnInPlace)
{
    keydown('1');  // one radian
    keydown(VK_CONTROL);
    keydown(VK_LEFT);
    expectnear(position(), 0, 0, -1000, 0);
    expectnear(front(), -1000 * std::sin(1.0f), 0, 1000 * std::cos(1.0f));
    keydown(VK_RIGHT);
    keydown(VK_UP);
    // Tilted up: front turns towards -lower.
    EXPECT_LT(front().y, 0);
    expectnear(position(), 0, 0, -1000, 0);
}

TEST_F(ShellTest, ModifiersTheLastPressedWinsAnyReleaseClears)
{
    keydown(VK_SHIFT);
    keydown(VK_CONTROL);
    EXPECT_EQ(Funckey, 2);
    keyup(VK_SHIFT);  // Ctrl is still held, but the state is cleared
    EXPECT_EQ(Funckey, 0);
    keydown(VK_LEFT);
    expectnear(position(), 100, 0, -1000);
    expectnear(front(), 0, 0, 1000, 0);

    // Modifier keys alone draw nothing.
    markpicture();
    keydown(VK_SHIFT);
    keyup(VK_SHIFT);
    EXPECT_FALSE(redrawn());
}

TEST_F(ShellTest, DigitKeysChooseTheStep)
{
    markpicture();
    keydown('9');
    EXPECT_FALSE(redrawn());
    keydown(VK_LEFT);
    EXPECT_NEAR(position().x, 0.001f, 1e-6f);

    const float steps[] = {1.0f, 0.3f, 0.1f, 0.03f, 0.01f, 0.003f, 0.001f, 0.0001f, 0.000001f};
    for (int d = 1; d <= 9; ++d) {
        keydown(uint32_t('0' + d));
        EXPECT_FLOAT_EQ(Chosengrade, steps[d - 1]) << d;
    }
    // Neither 0 nor the keypad digits choose a step, and they do not move the camera.
    const Matrix before = ActualCam.frame;
    for (uint32_t key : {uint32_t('0'), uint32_t(VK_NUMPAD1), uint32_t(VK_NUMPAD5), uint32_t('A'),
                         uint32_t(VK_F1), uint32_t(VK_HOME)}) {
        markpicture();
        keydown(key);
        EXPECT_FLOAT_EQ(Chosengrade, steps[8]) << key;
        EXPECT_FALSE(redrawn()) << key;
    }
    EXPECT_TRUE(sameframe(before, ActualCam.frame));
}

TEST_F(ShellTest, LeftDragOrbitsLikeShiftArrows)
{
    // h = 400: a drag of 10 pixels turns by 4/400·10 = 0.1 radians, the step of Shift+arrow.
    clientsize(400, 400);
    ASSERT_EQ(ActualImage.height, 400);
    const Matrix start = ActualCam.frame;

    keydown(VK_SHIFT);
    keydown(VK_RIGHT);
    keydown(VK_DOWN);
    keyup(VK_SHIFT);
    const Matrix bykeys = ActualCam.frame;

    ActualCam.frame = start;
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 100));
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 110));
    send(WM_LBUTTONUP, 0, MAKELPARAM(110, 110));
    expectsameframe(ActualCam.frame, bykeys, 0.05f);
    // Dragging right turns the scene right: the camera goes to the left.
    EXPECT_LT(position().x, 0);
    expectnear(addv(position(), front()), 0, 0, 0, 0.001f);
}

TEST_F(ShellTest, RightDragTurnsLikeCtrlArrows)
{
    // h = 400: 20 pixels turn by 2/400·20 = 0.1 radians.
    clientsize(400, 400);
    const Matrix start = ActualCam.frame;

    keydown(VK_CONTROL);
    keydown(VK_LEFT);
    keydown(VK_UP);
    keyup(VK_CONTROL);
    const Matrix bykeys = ActualCam.frame;

    ActualCam.frame = start;
    send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
    send(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(120, 100));
    send(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(120, 120));
    send(WM_RBUTTONUP, 0, MAKELPARAM(120, 120));
    expectsameframe(ActualCam.frame, bykeys, 0.05f);
    expectnear(position(), 0, 0, -1000, 0);
}

TEST_F(ShellTest, DragWithoutMovementAndButtonReleasedOutside)
{
    const Matrix start = ActualCam.frame;
    markpicture();
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    send(WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(MClick, 0);

    // A move without displacement still redraws.
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(sameframe(start, ActualCam.frame));

    // The button went up outside: the next move ends the drag and moves nothing.
    markpicture();
    send(WM_MOUSEMOVE, 0, MAKELPARAM(80, 20));
    EXPECT_EQ(MClick, 0);
    EXPECT_FALSE(redrawn());
    EXPECT_TRUE(sameframe(start, ActualCam.frame));

    // The last press wins and takes the position again.
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(30, 40));
    EXPECT_EQ(MClick, 2);
    EXPECT_EQ(MouseX, 30);
    EXPECT_EQ(MouseY, 40);
    send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 40));
    EXPECT_EQ(MClick, 0);
}
