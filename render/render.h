// render.h - from camera, light and scene to pixels in ActualImage.
//
// View coordinates (u, v, w) are measured in pixels: u to the right, v down, w
// the depth. In the parallel view (u, v) is the pixel itself; in the central
// view the eye is the origin and a point falls on column u·f/w + width/2, row
// v·f/w + height/2, with f = ActualWidth. Pixels are sampled at their integer
// coordinates. A render is ClearImage (or FormatImage), PrepareScene, then
// RenderScene, or PrepareScene, then ClearAndRender (the same bytes); the
// rasterisers read only the view globals that PrepareScene left.
//
//   PrepareScene()            view transform, pixel scale and light in view coordinates
//   RenderScene(list)         the same picture as RenderSceneLiteral, byte for byte: the fast
//                             pass (render/fast/), near things first, on all cores
//   ClearAndRender(list)      ClearImage(&ActualImage), then RenderScene(list), in one pass over the
//                             picture: each tile starts from black and +infinity instead of reading them
//   RenderSceneLiteral(list)  every sphere and polygon of the list, in list order, through Sphere
//                             and Porygon: the plain statement of what a picture is, and the
//                             oracle of the tests
//   Dot(col, row, x, y, z, colour, normal, ambient)   clipping, depth test, shading, one pixel
//   Sphere(centre, radius, pattern)                   one sphere, both meeting points per pixel
//   Porygon(corners, count, pattern)                  one flat polygon, even-odd filled
//
// Dot expects 0 ≤ col < width and 0 ≤ row < height and does not check it.
// Sphere, Porygon and both passes draw nothing while ActualViewOk is false: a
// camera with a zero front, a lower vector parallel to front, an empty picture
// or any non-finite view value leaves the picture as it was cleared. The light
// never does: a directed light is scaled to a length below 1 (a power of two,
// which changes no rounding), and a point light that is not finite in view
// coordinates leaves every surface its ambient colour.
#pragma once

#include "core/scenelist.h"
#include "math/matrix.h"

#include <cstdint>

// The view, written by PrepareScene only.
extern Matrix ActualTransform;  // scene -> view coordinates (pixels)
extern float ActualScale;       // scene length -> pixels
extern float ActualWidth;       // eye to image plane, in pixels (central view)
extern Vector ActualLightpos;   // the light in view coordinates (directed: length in [1/2, 1))
extern bool ActualViewOk;       // the values above are finite and usable

// The corner buffer of Porygon: view coordinates of the current polygon. It
// only grows (at least 40 corners) and is reused by every polygon of every render.
extern Vector* poly_crn;
extern int32_t poly_maxsize;

void PrepareScene();
void RenderScene(SceneList* list);
void ClearAndRender(SceneList* list);
void RenderSceneLiteral(SceneList* list);
void Dot(int32_t col, int32_t row, float x, float y, float z, uint32_t colour, Vector normal,
         uint32_t ambient);
void Sphere(Vector centre, double radius, Pattern pattern);
void Porygon(Vector** corners, int32_t count, Pattern pattern);
