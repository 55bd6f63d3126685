// scenes.h - the seeded scenes the benchmark measures.
//
// Every scene is built in memory from a fixed seed with our own uniform draws
// (mt19937 bits, not the library's distributions), so the same objects come
// out of every standard library. All scenes are seen by the start-up camera
// (position (0,0,-1000), looking along +z, 1000 units to the picture plane):
// in the central view an object at depth w scene units in front of the eye
// with radius r covers r * (H/2) / w pixels of an H-pixel-high picture.
//
//   SphereScene(seed, count)           spheres of 2 to 8 % of the picture height
//   PolygonScene(seed, count)          triangles, quads and a few 50-gons, plus the ground
//   MixedScene(seed, spheres, polys)   spheres of 2-8 %, triangles and quads of 1-5 %, ground
//   BigSphereScene(seed, count)        spheres of 10 to 40 % of the picture height, overlapping
//   SkyScene(seed, count)              the eye inside a huge sphere, a ground, count objects around
//   TinyScene(seed, spheres, polys)    spheres and triangles 9 to 26 pixels across (at 1080 rows)
//   MeshScene(seed, side)              a height field of side x side points, 2 (side - 1)² triangles
//   LargeScene(seed, count)            points, patterns, spheres, polygons for load and save
//
// Each render scene holds a point light ("light_position") and a ground plane
// at 300 units below the eye that reaches from 19 000 units behind the eye to
// 21 000 in front of it.
#pragma once

#include "core/scenelist.h"

#include <cstdint>

SceneList* SphereScene(uint32_t seed, int count);
SceneList* PolygonScene(uint32_t seed, int count);
SceneList* MixedScene(uint32_t seed, int spheres, int polygons);
SceneList* BigSphereScene(uint32_t seed, int count);
SceneList* SkyScene(uint32_t seed, int count);
SceneList* TinyScene(uint32_t seed, int spheres, int polygons);
SceneList* MeshScene(uint32_t seed, int side);
SceneList* LargeScene(uint32_t seed, int count);
