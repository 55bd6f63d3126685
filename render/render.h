// render.h - from camera, light and scene to pixels.
//
//   PrepareScene()            view transform, pixel scale and light in view coordinates
//   RenderScene(list)         every sphere and polygon of the list, in list order
//   Dot(col, row, x, y, z, colour, normal, ambient)   depth test, shading, one pixel
//   Sphere(centre, radius, pattern)                   one sphere
//   Porygon(corners, count, pattern)                  one polygon
#pragma once

#include "core/scenelist.h"
#include "math/matrix.h"

#include <cstdint>

extern Matrix ActualTransform;  // scene -> view coordinates (pixels)
extern float ActualScale;       // scene length -> pixels
extern float ActualWidth;       // eye to image plane, in pixels (central view)
extern Vector ActualLightpos;   // the light in view coordinates

void PrepareScene();
void RenderScene(SceneList* list);
void Dot(int32_t col, int32_t row, float x, float y, float z, uint32_t colour, Vector normal,
         uint32_t ambient);
void Sphere(Vector centre, double radius, Pattern pattern);
void Porygon(Vector** corners, int32_t count, Pattern pattern);
