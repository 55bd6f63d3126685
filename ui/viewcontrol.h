// viewcontrol.h - moving the camera with the mouse and the keyboard.
//
// Every move replaces the camera frame F by F·M, so M acts in the camera's own
// axes (x along right, y along lower, z along front, origin at the position),
// and ends with the redraw. Left drag orbits about the look-at point
// (position + front), right drag turns in place; arrows and "[" "]" shift,
// and with Shift orbit and scale, with Ctrl turn and zoom, by Chosengrade.
//
//   MouseButton(click, x, y)       a press: start drag 1 (left) or 2 (right) at (x, y)
//   MouseRelease()                 either button released: no drag
//   MouseMove(buttons, x, y)       continue the drag (MK_LBUTTON/MK_RBUTTON in buttons)
//   KeyDown(key), KeyUp(key)       modifiers, step size (digits 1..9) and the move keys
//   KeyMove(key, funckey, g, frame)  apply a move key to frame; false (frame kept) for others
#pragma once

#include "math/matrix.h"

#include <cstdint>

extern int32_t MClick;           // 0 no drag, 1 left-button drag, 2 right-button drag
extern int32_t MouseX, MouseY;   // pointer at the press or at the last handled move
extern int32_t Funckey;          // 0 none, 1 Shift, 2 Ctrl: the last pressed wins
extern float Changegrades[9];    // the steps of the digit keys 1 to 9
extern float Chosengrade;        // the current step: camera units, or radians for turns

void MouseButton(int32_t click, int32_t x, int32_t y);
void MouseRelease();
void MouseMove(uint32_t buttons, int32_t x, int32_t y);
void KeyDown(uint32_t key);
void KeyUp(uint32_t key);
bool KeyMove(uint32_t key, int32_t funckey, float g, Matrix* frame);
