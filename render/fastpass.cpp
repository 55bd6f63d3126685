#include "render/fast.h"
#include "render/fastrender.h"
#include "render/workers.h"

#include <algorithm>

// Narrow enough to share a frame fairly between threads and to keep a band's
// pixels and depths in the cache while all its shapes are drawn.
constexpr int32_t BandWidth = 32;

static void drawband(int32_t band)
{
    const int32_t c0 = band * BandWidth;
    const int32_t c1 = std::min(FastFrame.width, c0 + BandWidth);
    for (int32_t i = 0; i < FastOrderCount; i++) {
        const ShapeRef ref = FastOrder[i];
        if (ref.kind == ShapeKind::Sphere) {
            const SphereShape& s = FastSpheres[ref.index];
            if (s.box.x0 < c1 && s.box.x1 > c0)
                drawsphere(s, c0, c1);
        } else {
            const PolygonShape& p = FastPolygons[ref.index];
            if (p.box.x0 < c1 && p.box.x1 > c0)
                drawpolygon(p, c0, c1);
        }
    }
}

void RenderSceneFast(SceneList* list)
{
    if (!PrepareShapes(list))
        return;
    runparallel((FastFrame.width + BandWidth - 1) / BandWidth, drawband);
}
