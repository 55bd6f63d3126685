// RenderScene (render.h): the frame's shapes prepared, then the tiles drawn
// on all threads, each tile's shapes near first (fast.h).
#include "render/fast/fastdot.h"
#include "render/image.h"
#include "render/render.h"
#include "render/workers.h"

#include <algorithm>

TileOrder FastTileOrder = TileOrder::NearFirst;

namespace {

// Whether every depth in the tile is below near, so that nothing at near or
// beyond can change it; a NaN depth is below nothing. Stops at the first
// depth that is not.
bool hidden(const PixelBox& box, float near)
{
    const FastView& v = FastFrame;
    const F4 limit = f4(near);
    for (int32_t row = box.y0; row < box.y1; row++) {
        const float* depth = v.depth + size_t(row) * size_t(v.width);
        int32_t col = box.x0;
        for (; col + 4 <= box.x1; col += 4)
            if (lanebits(lt(load4(depth + col), limit)) != 15)
                return false;
        for (; col < box.x1; col++)
            if (!(depth[col] < near))
                return false;
    }
    return true;
}

bool nearfirst(const TileEntry& a, const TileEntry& b)
{
    return a.near < b.near || (a.near == b.near && a.shape < b.shape);
}

bool listbackwards(const TileEntry& a, const TileEntry& b)
{
    return a.shape > b.shape;
}

void drawtile(int32_t index)
{
    const FastView& v = FastFrame;
    const int32_t tx = index % FastTilesAcross, ty = index / FastTilesAcross;
    int32_t owners[TileWidth * TileHeight];
    Tile tile{PixelBox{tx * TileWidth, std::min(v.width, (tx + 1) * TileWidth), ty * TileHeight,
                       std::min(v.height, (ty + 1) * TileHeight)},
              owners, true, false, 0};
    const PixelBox& box = tile.box;

    TileEntry* first = FastTileShapes + FastTileStart[index];
    TileEntry* last = FastTileShapes + FastTileStart[index + 1];
    for (TileEntry* e = first; e < last; e++) {
        const ShapeRef& ref = FastOrder[e->shape];
        const bool sphere = ref.kind == ShapeKind::Sphere;
        const PixelBox part = intile(sphere ? FastSpheres[ref.index].box : FastPolygons[ref.index].box, tile);
        e->near = sphere ? spherenear(FastSpheres[ref.index], part) : polygonnear(FastPolygons[ref.index], part);
    }
    const bool near = FastTileOrder == TileOrder::NearFirst;
    // Lambdas, so that each comparison is inlined rather than called.
    if (near)
        std::sort(first, last, [](const TileEntry& a, const TileEntry& b) { return nearfirst(a, b); });
    else
        std::sort(first, last, [](const TileEntry& a, const TileEntry& b) { return listbackwards(a, b); });

    // Owners matter only up to the last shape that comes earlier in the list
    // than one drawn before it: past it, every shape follows all the drawn
    // ones in the list, so a tie keeps what is stored, as the strict test does.
    const TileEntry* lastearlier = first;
    int32_t latest = INT32_MIN;
    for (const TileEntry* e = first; e < last; e++) {
        if (e->shape < latest)
            lastearlier = e + 1;
        latest = std::max(latest, e->shape);
    }
    if (lastearlier > first)
        std::fill(owners, owners + TileWidth * TileHeight, NoOwner);

    // Once shapes have covered half the tile since the last look, the tile is
    // searched for a depth at or beyond the next shape's nearest: without one,
    // that shape and every later one (at least as far) are hidden.
    const int64_t area = int64_t(box.x1 - box.x0) * (box.y1 - box.y0);
    int64_t covered = area, drawn = 0;
    for (const TileEntry* e = first; e < last; e++) {
        if (near && 2 * covered >= area) {
            if (hidden(box, e->near))
                break;
            covered = 0;
        }
        tile.ties = e < lastearlier;
        // Once the tile holds about a surface per pixel, a shape's rows are
        // first compared with its nearest depth: hidden groups cost a load.
        tile.cull = drawn >= area;
        tile.near = e->near;
        const ShapeRef& ref = FastOrder[e->shape];
        const bool sphere = ref.kind == ShapeKind::Sphere;
        const PixelBox part = intile(sphere ? FastSpheres[ref.index].box : FastPolygons[ref.index].box, tile);
        covered += int64_t(part.x1 - part.x0) * (part.y1 - part.y0);
        drawn += int64_t(part.x1 - part.x0) * (part.y1 - part.y0);
        if (sphere)
            drawsphere(FastSpheres[ref.index], tile, 2 * e->shape);
        else
            drawpolygon(FastPolygons[ref.index], tile, 2 * e->shape);
    }
}

}  // namespace

void RenderScene(SceneList* list)
{
    // The fast pass writes whole 4-byte pixels; any other layout takes the literal pass.
    if (ActualImage.bytes_per_pixel != ImageBytesPerPixel) {
        RenderSceneLiteral(list);
        return;
    }
    if (PrepareShapes(list))
        runparallel(FastTiles, drawtile);
}
