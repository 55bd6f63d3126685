// dialogs.h - the eight modeless editing dialogs and what they share.
//
// Each dialog lists objects of the current scene (or shows the camera or the
// light), fills its fields from the object chosen in its list and writes the
// fields back into the scene. The dialogs keep no model state of their own:
// everything they show is read from ActualScene, ActualCam and ActualLight,
// and every change ends with RedrawScene. The shell opens each dialog with
// CreateDialogParamA and keeps its handle in its GDlgs slot; a dialog ended by
// its IDCANCEL button clears its own slot.
//
//   CheckChoosesceneProc   DialogChooser: make another scene current
//   CheckPointboxProc      DialogPoints: points
//   CheckVectorboxProc     DialogVectors: vectors
//   CheckColorboxProc      DialogColors: patterns and their back sides
//   CheckSphereboxProc     DialogSpheres: spheres
//   CheckPolygonboxProc    DialogPolygons: polygons, corner by corner
//   CheckCamboxProc        DialogCamera: view mode, camera <-> scene objects
//   CheckLightboxProc      DialogLight: light mode, position, direction
//
// Helpers shared by the procedures:
//   Warn(text)                       box captioned "WARNING" with OK, no owner
//   fieldtext(dlg, id, limit)        an edit field's text, at most limit - 1 characters
//   listtext(box, index)             a list-box line of any length; empty when index is invalid
//   takeselection(dlg, list, field, name)   the selected line into a field and name; false
//                                    when nothing is selected
//   findline(box, text)              index of the first line equal to text (case included), or -1
//   showvector(dlg, id, v)           "%g %g %g" into a field
//   readvector(text, v, field)       "%f %f %f" into v; coordinates without a number keep theirs;
//                                    false after the warning naming the field when a number read
//                                    is not a finite float (v untouched)
//   readreal(text, value, field)     "%f" into value, refused the same way
//   warnnotfinite(field)             the warning that the field takes finite numbers only
//   savablename(name)                false after a warning when a new object's name holds a blank
//                                    or a line break, which a scene file cannot keep
//   newvector()                      a Memory_Gra Vector at 0 0 0
//   loadcamera()                     the scene's camera objects into ActualCam's columns;
//                                    returns how many of the four were found
//   EndEditDialog(dlg, slot)         clear the slot and end the dialog with result 2
#pragma once

#include "core/objects.h"
#include "scenefile/tokenizer.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <string>

// Field limits, as passed to GetDlgItemTextA: the text is cut one byte below. A name
// field thus keeps the longest name that survives a save and a load (tokenizer.h).
constexpr int FieldNameLimit = NameWordLimit;
constexpr int FieldNumberLimit = 127;

// The ordering warning of the colour dialog is composed here.
constexpr int AlertSize = 4096;
extern char Alert[AlertSize];

INT_PTR CALLBACK CheckChoosesceneProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckPointboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckVectorboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckColorboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckSphereboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckPolygonboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckCamboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CheckLightboxProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);

void Warn(const char* text);
std::string fieldtext(HWND dlg, int id, int limit);
std::string listtext(HWND box, LRESULT index);
bool takeselection(HWND dlg, int list, int field, std::string* name);
LRESULT findline(HWND box, const char* text);
void showvector(HWND dlg, int id, Vector v);
bool readvector(const char* text, Vector* v, const char* field);
bool readreal(const char* text, float* value, const char* field);
void warnnotfinite(const char* field);
bool savablename(const std::string& name);
Vector* newvector();
int loadcamera();
void EndEditDialog(HWND dlg, int slot);
