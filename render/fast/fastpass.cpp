#include "render/fast/fast.h"
#include "render/image.h"
#include "render/render.h"
#include "render/workers.h"

#include <algorithm>

// Bands are handed out from both ends towards the middle, so that two threads
// rarely draw neighbouring bands at the same time: neighbours share the cache
// lines where they meet.
static void drawband(int32_t job)
{
    const int32_t band = job % 2 ? FastBands - 1 - job / 2 : job / 2;
    const int32_t c0 = band * BandWidth;
    const int32_t c1 = std::min(FastFrame.width, c0 + BandWidth);
    for (int32_t i = FastBandStart[band]; i < FastBandStart[band + 1]; i++) {
        const ShapeRef ref = FastOrder[FastBandShapes[i]];
        if (ref.kind == ShapeKind::Sphere)
            drawsphere(FastSpheres[ref.index], c0, c1);
        else
            drawpolygon(FastPolygons[ref.index], c0, c1);
    }
}

void RenderScene(SceneList* list)
{
    // The fast pass writes whole 4-byte pixels; any other layout takes the literal pass.
    if (ActualImage.bytes_per_pixel != ImageBytesPerPixel) {
        RenderSceneLiteral(list);
        return;
    }
    if (PrepareShapes(list))
        runparallel(FastBands, drawband);
}
