// RenderScene and ClearAndRender (render.h): the frame's shapes prepared,
// then the tiles drawn on all threads, each tile's shapes near first (fast.h).
#include "render/fast/fastdot.h"
#include "render/image.h"
#include "render/render.h"
#include "render/workers.h"

#include <algorithm>
#include <cstring>
#include <limits>

TileOrder FastTileOrder = TileOrder::NearFirst;

namespace {

// Whether every depth in box (the part of the tile its shapes reach) is below
// near, so that nothing at near or beyond can change it; a NaN depth is below
// nothing. Stops at the first depth that is not.
bool hidden(const Tile& tile, const PixelBox& box, float near)
{
    const F4 limit = f4(near);
    const int32_t height = box.y1 - box.y0;
    for (int32_t col = box.x0; col < box.x1; col++) {
        const float* depth = tile.depth + size_t(col - tile.box.x0) * TileHeight + size_t(box.y0 - tile.box.y0);
        int32_t row = 0;
        for (; row + 4 <= height; row += 4)
            if (lanebits(lt(load4(depth + row), limit)) != 15)
                return false;
        for (; row < height; row++)
            if (!(depth[row] < near))
                return false;
    }
    return true;
}

// How a part of the tile goes between it and the picture: read in, written
// back, or (pixels) merged back, each picture pixel keeping its fourth byte and
// taking the other three from the tile unless the tile's is Unwritten.
enum class Copy : uint8_t { In, Out, Merge };

// Four rows of four at a time, turned over.
template <Copy How, typename T>
void copytile(T* picture, T* own, PixelBox tile, PixelBox r)
{
    const size_t w = size_t(FastFrame.width);
    const int32_t full = r.y0 + (r.y1 - r.y0) / 4 * 4;
    for (int32_t col = r.x0; col < r.x1; col += 4) {
        T* global = picture + w * size_t(r.y0) + size_t(col);
        T* local = own + size_t(col - tile.x0) * TileHeight + size_t(r.y0 - tile.y0);
        if (col + 4 <= r.x1) {
            for (int32_t row = r.y0; row < full; row += 4, global += 4 * w, local += 4) {
                if constexpr (How == Copy::In)
                    transpose4(global, w, local, size_t(TileHeight));
                else if constexpr (How == Copy::Out)
                    transpose4(local, size_t(TileHeight), global, w);
                else
                    transposemerge4(local, size_t(TileHeight), global, w);
            }
        }
        const int32_t first = col + 4 <= r.x1 ? full : r.y0;
        global = picture + w * size_t(first) + size_t(col);
        local = own + size_t(col - tile.x0) * TileHeight + size_t(first - tile.y0);
        for (int32_t row = first; row < r.y1; row++, global += w, local++)
            for (int32_t k = 0; k < 4 && col + k < r.x1; k++) {
                if constexpr (How == Copy::In)
                    std::memcpy(local + TileHeight * k, global + k, sizeof(T));
                else if constexpr (How == Copy::Out)
                    std::memcpy(global + k, local + TileHeight * k, sizeof(T));
                else
                    mergeword(global + k, local[TileHeight * k]);
            }
    }
}

// The tile's part r made ready: its depths read from the picture, or in a
// frame that clears the picture as it goes (ClearAndRender) +infinity; its
// pixels Unwritten, or black there. A picture's pixels are never read in:
// the written ones are merged into it on the way back.
void loadtile(const Tile& tile, const PixelBox& r)
{
    const bool cleared = FastFrame.cleared;
    if (!cleared)
        copytile<Copy::In>(FastFrame.depth, tile.depth, tile.box, r);
    for (int32_t col = r.x0; col < r.x1; col++) {
        const size_t at = size_t(col - tile.box.x0) * TileHeight + size_t(r.y0 - tile.box.y0);
        if (cleared)
            std::fill(tile.depth + at, tile.depth + at + size_t(r.y1 - r.y0), std::numeric_limits<float>::infinity());
        std::fill(tile.pixels + at, tile.pixels + at + size_t(r.y1 - r.y0), cleared ? 0u : Unwritten);
    }
}

void storetile(const Tile& tile, const PixelBox& r)
{
    uint32_t* pixels = reinterpret_cast<uint32_t*>(FastFrame.pixels);
    copytile<Copy::Out>(FastFrame.depth, tile.depth, tile.box, r);
    if (FastFrame.cleared)
        copytile<Copy::Out>(pixels, tile.pixels, tile.box, r);
    else
        copytile<Copy::Merge>(pixels, tile.pixels, tile.box, r);
}

// A frame that clears the picture as it goes clears the part of each tile
// that no shape reaches in the picture itself.
void clearpicture(int32_t x0, int32_t x1, int32_t y0, int32_t y1)
{
    if (x0 >= x1)
        return;
    const FastView& v = FastFrame;
    uint32_t* pixels = reinterpret_cast<uint32_t*>(v.pixels);
    for (int32_t row = y0; row < y1; row++) {
        const size_t at = size_t(row) * size_t(v.width);
        std::fill(v.depth + at + x0, v.depth + at + x1, std::numeric_limits<float>::infinity());
        std::fill(pixels + at + x0, pixels + at + x1, 0u);
    }
}

// The tile less r (empty r: all of it).
void clearrest(const Tile& tile, const PixelBox& r)
{
    const PixelBox t = tile.box;
    if (emptybox(r)) {
        clearpicture(t.x0, t.x1, t.y0, t.y1);
        return;
    }
    clearpicture(t.x0, t.x1, t.y0, r.y0);
    clearpicture(t.x0, r.x0, r.y0, r.y1);
    clearpicture(r.x1, t.x1, r.y0, r.y1);
    clearpicture(t.x0, t.x1, r.y1, t.y1);
}

constexpr int64_t SmallPart = 1024;  // pixels: a quarter of a tile

// A tile of a long list reads its shapes' records far apart, and a dense
// mesh's do not stay in the cache from one frame to the next: each loop over
// the entries asks for what it will read a few entries on, each step's
// address read from what the step before asked for. Inlined by force: GCC
// drops a prefetch in a function that has no other effect, and its calls.
constexpr ptrdiff_t Ahead = 8;

[[gnu::always_inline]] inline void askahead(const TileEntry* e, const TileEntry* last, bool edges)
{
    const ptrdiff_t left = last - e, far = edges ? 3 * Ahead : 2 * Ahead;
    if (left > far)
        prefetch(&FastOrder[tileshape(e[far])]);
    if (left > far - Ahead) {
        const ShapeRef& ref = FastOrder[tileshape(e[far - Ahead])];
        if (ref.kind == ShapeKind::Sphere)
            prefetch(&FastSpheres[ref.index]);
        else
            prefetch(&FastPolygons[ref.index]);
    }
    if (edges && left > Ahead) {
        const ShapeRef& ref = FastOrder[tileshape(e[Ahead])];
        if (ref.kind == ShapeKind::Polygon)
            prefetch(FastEdges + FastPolygons[ref.index].first);
    }
}

void drawtile(int32_t index)
{
    const FastView& v = FastFrame;
    const int32_t tx = index % FastTilesAcross, ty = index / FastTilesAcross;
    TileEntry* first = FastTileShapes + FastTileStart[index];
    TileEntry* last = FastTileShapes + FastTileStart[index + 1];
    int32_t owners[TileWidth * TileHeight];
    alignas(16) float depths[TileWidth * TileHeight];
    alignas(16) uint32_t pixels[TileWidth * TileHeight];
    Tile tile{PixelBox{tx * TileWidth, std::min(v.width, (tx + 1) * TileWidth), ty * TileHeight,
                       std::min(v.height, (ty + 1) * TileHeight)},
              depths, pixels, owners, true, false, 0};

    // Only the part of the tile that its shapes reach is copied and searched.
    PixelBox box = {tile.box.x1, tile.box.x0, tile.box.y1, tile.box.y0};
    for (TileEntry* e = first; e < last; e++) {
        askahead(e, last, false);
        const int32_t shape = tileshape(*e);
        const ShapeRef& ref = FastOrder[shape];
        const PixelBox part = intile(boxof(ref), tile);
        *e = tileentry(ref.kind == ShapeKind::Sphere ? spherenear(FastSpheres[ref.index], part)
                                                     : polygonnear(FastPolygons[ref.index], part),
                       shape);
        if (!emptybox(part))
            box = PixelBox{std::min(box.x0, part.x0), std::max(box.x1, part.x1), std::min(box.y0, part.y0),
                           std::max(box.y1, part.y1)};
    }
    if (v.cleared)
        clearrest(tile, box);
    if (emptybox(box))
        return;
    loadtile(tile, box);
    const bool near = FastTileOrder == TileOrder::NearFirst;
    // Lambdas, so that each comparison is inlined rather than called.
    if (near)
        std::sort(first, last, [](TileEntry a, TileEntry b) { return a.key < b.key; });
    else
        std::sort(first, last, [](TileEntry a, TileEntry b) { return tileshape(a) > tileshape(b); });

    // Owners matter only up to the last shape that comes earlier in the list
    // than one drawn before it: past it, every shape follows all the drawn
    // ones in the list, so a tie keeps what is stored, as the strict test does.
    const TileEntry* lastearlier = first;
    int32_t latest = INT32_MIN;
    for (const TileEntry* e = first; e < last; e++) {
        if (tileshape(*e) < latest)
            lastearlier = e + 1;
        latest = std::max(latest, tileshape(*e));
    }
    if (lastearlier > first)
        std::fill(owners, owners + TileWidth * TileHeight, NoOwner);

    // Once shapes have covered half the tile since the last look, the tile is
    // searched for a depth at or beyond the next shape's nearest: without one,
    // that shape and every later one (at least as far) are hidden.
    const int64_t area = int64_t(box.x1 - box.x0) * (box.y1 - box.y0);
    int64_t covered = area, drawn = 0;
    for (const TileEntry* e = first; e < last; e++) {
        askahead(e, last, true);
        const float nearest = tilenear(*e);
        const int32_t shape = tileshape(*e);
        if (near && 2 * covered >= area) {
            if (hidden(tile, box, nearest))
                break;
            covered = 0;
        }
        tile.ties = e < lastearlier;
        // Once the tile holds about a surface per pixel, a shape's rows are
        // first compared with its nearest depth: hidden groups cost a load.
        tile.cull = drawn >= area;
        tile.near = nearest;
        const ShapeRef& ref = FastOrder[shape];
        const PixelBox part = intile(boxof(ref), tile);
        const int64_t reach = int64_t(part.x1 - part.x0) * (part.y1 - part.y0);
        covered += reach;
        drawn += reach;
        // A small shape hidden all over its part of the tile is left before
        // any of its setup: most far triangles of a dense mesh are.
        if (tile.cull && reach <= SmallPart && hidden(tile, part, nearest))
            continue;
        if (ref.kind == ShapeKind::Sphere)
            drawsphere(FastSpheres[ref.index], tile, 2 * shape);
        else
            drawpolygon(FastPolygons[ref.index], tile, 2 * shape);
    }
    storetile(tile, box);
}

void render(SceneList* list, bool cleared)
{
    // The fast pass writes whole 4-byte pixels; any other layout takes the literal pass.
    if (ActualImage.bytes_per_pixel != ImageBytesPerPixel) {
        if (cleared)
            ClearImage(&ActualImage);
        RenderSceneLiteral(list);
        return;
    }
    if (!PrepareShapes(list)) {
        if (cleared)
            ClearImage(&ActualImage);
        return;
    }
    FastFrame.cleared = cleared;
    runparallel(FastTiles, drawtile);
}

}  // namespace

void RenderScene(SceneList* list)
{
    render(list, false);
}

void ClearAndRender(SceneList* list)
{
    render(list, true);
}
