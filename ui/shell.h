// shell.h - the main window and what every dialog shares with it.
//
// The main window owns the picture: every change to the scene, the camera or
// the light ends with RedrawScene, which renders at once; painting only copies
// the finished picture. GDlgs holds the one open dialog of each kind.
//
//   StartUp(instance, cmdline, show)  register the class, open the window, set the default
//                                     camera and light, load cmdline (the whole text is one
//                                     path) or start an empty scene 0, render and show it
//   MessageLoop()                     run until the main window is destroyed; returns 0
//   TranslateShortcut(msg)            Ctrl+N, Ctrl+O or Ctrl+S meant for the main window runs
//                                     its File command; true when msg was taken so
//   WndProc(...)                      the main window's procedure
//   RedrawScene()          the redraw sequence: ClearImage, PrepareScene, RenderScene of
//                          ActualScene (as PrepareScene and ClearAndRender: the same bytes in
//                          one pass), invalidate the main window without erasing
//   CloseEditingDialogs()  end every open dialog of slots 1 to 19 (the chooser stays)
//   MenuCommand(id)        one command of MainMenu (or any other id: only the redraw)
//   DropFiles(drop)        files dropped on the main window: each one loaded as "Load scene"
//                          loads the chosen file, then one redraw; releases drop
#pragma once

#include "ui/resources/resource.h"

#include <windows.h>

#include <shellapi.h>

constexpr int DialogSlots = 20;
constexpr int SlotChooser = 0, SlotPoints = 1, SlotVectors = 2, SlotColors = 3,
              SlotSpheres = 4, SlotPolygons = 5, SlotCamera = 18, SlotLight = 19;

extern const char* const lpszWCLASSNAME;  // "GRAPHIC WINDOW"
extern const char* const lpszTITLE;       // "3D scene"

extern HWND hWindow;
extern HINSTANCE hInst;
extern HWND GDlgs[DialogSlots];

void StartUp(HINSTANCE instance, const char* cmdline, int show);
int MessageLoop();
bool TranslateShortcut(MSG* msg);
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void RedrawScene();
void CloseEditingDialogs();
void MenuCommand(int id);
void DropFiles(HDROP drop);
