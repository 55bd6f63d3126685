// fastrender.h - the render pass the program draws with.
//
// RenderSceneFast gives every pixel and every depth exactly the bytes that the
// literal RenderScene (render.h) gives, which stays as the plain statement of
// what a picture is and as the oracle of the tests. It reads the same globals
// (ActualImage, ActualCam, ActualLight and what PrepareScene left), leaves
// the literal's corner buffer alone, and spreads the work over the threads of
// workers.h; the result does not depend on their number.
//
//   RenderSceneFast(list)   every sphere and polygon of the list, as RenderScene draws them
#pragma once

#include "core/scenelist.h"

void RenderSceneFast(SceneList* list);
