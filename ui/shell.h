// shell.h - the main window and what every dialog shares with it.
//
//   RedrawScene()          the redraw sequence: ClearImage, PrepareScene, RenderScene of
//                          ActualScene, invalidate the main window without erasing
//   CloseEditingDialogs()  end every open dialog of slots 1 to 19 (the chooser stays)
#pragma once

#include <windows.h>

constexpr int DialogSlots = 20;
constexpr int SlotChooser = 0, SlotPoints = 1, SlotVectors = 2, SlotColors = 3,
              SlotSpheres = 4, SlotPolygons = 5, SlotCamera = 18, SlotLight = 19;

extern HWND hWindow;
extern HINSTANCE hInst;
extern HWND GDlgs[DialogSlots];

void RedrawScene();
void CloseEditingDialogs();
