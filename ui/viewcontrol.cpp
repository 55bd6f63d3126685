#include "ui/viewcontrol.h"

#include "render/camera.h"
#include "render/image.h"
#include "ui/shell.h"

int32_t MClick = 0;
int32_t MouseX = 0, MouseY = 0;
int32_t Funckey = 0;
float Changegrades[9] = {1.0f, 0.3f, 0.1f, 0.03f, 0.01f, 0.003f, 0.001f, 0.0001f, 0.000001f};
float Chosengrade = 0.1f;

// Turns by rotation about the local point (0, 0, 1): the look-at point stays put.
static Matrix orbit(Matrix rotation)
{
    return multmm(translate(newv(0, 0, 1)), multmm(rotation, translate(newv(0, 0, -1))));
}

bool KeyMove(uint32_t key, int32_t funckey, float g, Matrix* frame)
{
    Matrix move;
    switch (key) {
    case VK_LEFT:
        move = funckey == 1 ? orbit(rotatey(-g)) : funckey == 2 ? rotatey(-g) : translate(newv(g, 0, 0));
        break;
    case VK_RIGHT:
        move = funckey == 1 ? orbit(rotatey(g)) : funckey == 2 ? rotatey(g) : translate(newv(-g, 0, 0));
        break;
    case VK_UP:
        move = funckey == 1 ? orbit(rotatex(g)) : funckey == 2 ? rotatex(g) : translate(newv(0, g, 0));
        break;
    case VK_DOWN:
        move = funckey == 1 ? orbit(rotatex(-g)) : funckey == 2 ? rotatex(-g) : translate(newv(0, -g, 0));
        break;
    case VK_OEM_4:
    case VK_OEM_6: {
        const bool longer = key == VK_OEM_4;
        if (funckey == 2) {
            // Zoom: only the distance of the image plane changes. Done on the column
            // itself, as a division, not through a matrix product.
            const float factor = 1 + g;
            for (int row = 0; row < 3; ++row)
                frame->m[row * 4 + 2] = longer ? frame->m[row * 4 + 2] / factor
                                               : frame->m[row * 4 + 2] * factor;
            return true;
        }
        if (funckey == 1)
            move = scale(longer ? 1 + g : 1 / (1 + g));
        else
            move = translate(newv(0, 0, longer ? -g : g));
        break;
    }
    default:
        return false;
    }
    *frame = multmm(*frame, move);
    return true;
}

void MouseButton(int32_t click, int32_t x, int32_t y)
{
    MouseX = x;
    MouseY = y;
    MClick = click;
}

void MouseRelease()
{
    MClick = 0;
}

void MouseMove(uint32_t buttons, int32_t x, int32_t y)
{
    // The pointer is not captured: a button released outside the window ends
    // the drag at the next move inside it.
    if ((MClick == 1 && !(buttons & MK_LBUTTON)) || (MClick == 2 && !(buttons & MK_RBUTTON)))
        MClick = 0;
    if (MClick == 0)
        return;
    const int32_t dx = x - MouseX;
    const int32_t dy = y - MouseY;
    MouseX = x;
    MouseY = y;
    const int32_t h = ActualImage.height;
    // Without a picture there is no height to measure the drag against.
    if (h <= 0)
        return;
    Matrix& frame = ActualCam.frame;
    if (MClick == 1) {
        const float f = 4.0f / float(h);
        frame = multmm(frame, orbit(multmm(rotatex(-f * float(dy)), rotatey(f * float(dx)))));
    } else {
        const float f = 2.0f / float(h);
        frame = multmm(frame, multmm(rotatex(f * float(dy)), rotatey(-f * float(dx))));
    }
    RedrawScene();
}

void KeyDown(uint32_t key)
{
    if (key == VK_SHIFT) {
        Funckey = 1;
    } else if (key == VK_CONTROL) {
        Funckey = 2;
    } else if (key >= '1' && key <= '9') {
        Chosengrade = Changegrades[key - '1'];
    } else if (KeyMove(key, Funckey, Chosengrade, &ActualCam.frame)) {
        RedrawScene();
    }
}

void KeyUp(uint32_t key)
{
    if (key == VK_SHIFT || key == VK_CONTROL)
        Funckey = 0;
}
