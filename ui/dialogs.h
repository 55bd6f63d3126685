// dialogs.h - the procedures of the eight modeless editing dialogs.
//
// The shell creates each dialog from its template with CreateDialogParamA and
// keeps its handle in its GDlgs slot (shell.h); the procedure clears the slot
// when its dialog ends.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CheckChoosesceneProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckPointboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckVectorboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckColorboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckSphereboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckPolygonboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckCamboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckLightboxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
