// resource.h - every resource and control id of the program, the one place they are numbered.
//
// scene3d.rc builds the menu, the icon and the dialog templates with these
// names; the shell, the dialog procedures and the tests address the same items
// through them. Macros, because the resource compiler reads only the
// preprocessor. The numbers are fixed: a dialog's controls are numbered from
// its template (1210 -> 1211, 1212, ...), and menu commands from their popup.
// Every "Use" button is IDOK and every closing button IDCANCEL (windows.h).
#pragma once

// The main window's menu and icon.
#define MainMenu 100
#define MainIcon 200

// Menu commands: File, Object and View.
#define CmdNewScene 111
#define CmdLoadScene 112
#define CmdSaveScene 113
#define CmdSaveSceneAs 114
#define CmdChooseScene 115
#define CmdQuit 119
#define CmdPoints 121
#define CmdVectors 122
#define CmdColors 123
#define CmdSpheres 124
#define CmdPolygons 125
#define CmdCamera 131
#define CmdLight 132

// Dialog templates.
#define DialogChooser 1120
#define DialogPoints 1210
#define DialogVectors 1220
#define DialogColors 1230
#define DialogSpheres 1240
#define DialogPolygons 1250
#define DialogCamera 1310
#define DialogLight 1320

// Labels and frames: never addressed.
#define IDC_STATIC (-1)

// The scene chooser: one line per scene.
#define ChooserList 1121

// Points and vectors.
#define PointList 1211
#define PointName 1212
#define PointPosition 1213
#define VectorList 1221
#define VectorName 1222
#define VectorComponents 1223

// Colours.
#define ColorList 1231
#define ColorName 1232
#define ColorValue 1233
#define ColorAmbient 1234
#define ColorBack 1235

// Spheres.
#define SphereList 1241
#define SphereName 1242
#define SphereDelete 1243
#define SphereCenter 1244
#define SphereRadius 1245
#define SphereColor 1246

// Polygons: the polygon's own controls, then its corners', then its colour's.
#define PolygonList 1251
#define PolygonName 12511
#define PolygonCreate 12512
#define PolygonDelete 12513
#define CornerList 1252
#define CornerName 12521
#define CornerInsert 12522
#define CornerRemove 12523
#define PolygonColor 1253
#define PolygonUse 12531

// Camera: two buttons and the two view radio buttons.
#define CamUse 1311
#define CamStore 1312
#define CamParallel 13131
#define CamCentralView 13132

// Light: the two kind radio buttons, the position and direction fields, the binding box.
#define LightPoint 1321
#define LightDirection 1322
#define LightPosField 1323
#define LightDirField 1324
#define LightBind 1325
