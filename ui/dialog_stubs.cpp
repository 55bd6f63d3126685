// Placeholders until the dialogs are written: every message is left unhandled.
#include "ui/dialogs.h"

INT_PTR CALLBACK CheckChoosesceneProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckPointboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckVectorboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckColorboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckSphereboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckPolygonboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckCamboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK CheckLightboxProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
