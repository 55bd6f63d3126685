// fast.h - the fast render pass from the inside (internal to render/fast/).
//
// RenderScene (render.h) gives every pixel and every depth exactly the bytes
// that RenderSceneLiteral gives, reads the same globals and leaves the literal
// corner buffer alone; the number of threads (workers.h) changes no byte.
//
// The literal pass keeps, at each pixel, the first surface point drawn at the
// smallest depth: its owner is the point with the smallest (depth, place in
// the drawing order), and the pixel shows that owner's shading. Any drawing
// order that keeps this rule gives the same bytes. The fast pass uses that
// freedom to draw near things first and to skip what is hidden.
//
// A frame is drawn in two steps. PrepareShapes walks the scene as
// RenderSceneLiteral does and turns every sphere and polygon into a shape
// record, the records spread over the threads: the same view values, pixel
// rectangle, plane and colours, computed by the same float expressions
// (render/raster.h) and whether the literal rasteriser would draw at all.
// Each shape is listed with the tiles its rectangle reaches. Then each tile is
// drawn by one thread, in a copy of its own (Tile): each of its shapes gets a
// depth below which none of its points there can lie, and they are drawn
// sorted by it, near first, each with the tie rule above (an owner number per
// pixel of the tile); a shape whose nearest possible depth lies beyond every
// depth already in the tile ends the tile. Only a stored point is shaded, and
// near things first leave little to store twice.
//
// Inside a tile the shapes skip work that provably cannot change a pixel (rows
// outside a sphere's or polygon's certified span, the far point of a sphere
// where the near one was stored, polygon rows behind the eye when clipping,
// once the tile is covered four rows whose depths are all nearer than the
// shape can come) and the inside test where rows are proven inside; they
// evaluate everything else with the literal expressions, four rows at a time.
//
//   PrepareShapes(list)                 the frame's view, shapes and tiles; false when nothing is drawn
//   screenspans(polygon)                central view: whether rows can be limited, and how (setup)
//   polygonspans(polygon, c0, c1)       central view with spans: the rows of columns [c0, c1) that can be inside
//   polygoninside(polygon, col, y0, y1) the longest run of rows in [y0, y1) that are surely inside
//   columninside(polygon, col)          the same for a polygon without spans, over its whole box (setup)
//   spherenear(sphere[, box])           a depth no point of the sphere (drawn in box) lies below
//   polygonnear(polygon, box)           the same for a polygon's points drawn in box
//   spherespans(sphere, c0, c1)         central view with spans: the rows of columns [c0, c1), into FastSpans
//   parallelcrossings(polygon, c0, c1)  parallel view: columns [c0, c1)'s inside-row thresholds, into FastCrossings
//   drawsphere(shape, tile, id)         a sphere's part of a tile; id its place (near points)
//   drawpolygon(shape, tile, id)        a polygon's part of a tile
//   intile(box, tile)                   the part of a rectangle inside a tile
//   boxof(ref)                          a listed shape's pixel rectangle
//   tileentry(near, shape)              a shape's entry in a tile, sorting near first; tilenear, tileshape its halves
//   lightcosone(light, normal), shadeone(cos, shade, pixel)   the literal cosine and three bytes
#pragma once

#include "core/scenelist.h"
#include "render/raster.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

// One frame's view, copied from the globals the literal renderer reads.
struct FastView {
    uint8_t* pixels;
    float* depth;
    int32_t bpp;           // bytes per pixel
    int32_t width;
    int32_t height;
    float W, H;            // width and height as floats
    float halfw, halfh;    // W / 2.0f, H / 2.0f
    float f;               // ActualWidth
    bool central;
    bool clip;
    bool directed;
    Vector light;          // ActualLightpos
    float lightlength;     // its length: constant for a directed light
    bool cleared;          // ClearAndRender: the picture counts as cleared, and every tile is written whole
};

// Rows [r0, r1) of one column.
struct RowSpan {
    int32_t r0, r1;
};

// Central view: a column's rows that can meet a sphere are at most this many spans.
constexpr int32_t SpansPerColumn = 3;

struct SphereShape {
    Vector C;        // centre in view coordinates
    float rp, rr;    // radius in pixels and rp * rp
    Shade front, back;
    PixelBox box;    // the literal rectangle
    bool spans;      // per-column certified spans apply; else every pixel of the box
    double R;        // the radius inflated past every rounding error (spans only)
    int32_t spanat;  // central view with spans: SpansPerColumn spans per column of box in FastSpans
};

// One polygon edge in the two coordinates of the inside test: corner i at
// (ai, bi), the a-range [lo, hi), the differences the literal recomputes, and
// bounds that the literal crossing value bc cannot leave, rounding included.
struct Edge {
    float ai, bi, lo, hi, db, da;
    float bmin, bmax;  // -inf and +inf where no such bound is proven
};

struct PolygonShape {
    PixelBox box;
    int32_t first, count;  // its edges in FastEdges
    float A, B, C, D;
    Vector N;              // the normal turned to the viewer
    float nlength;         // lengthv(N)
    Shade shade;           // the side the polygon shows
    uint32_t lit;          // blue | green << 8 | red << 16 under a directed light (cos is constant)
    uint8_t axes;          // central view: 0 tests in (u, v), 1 in (u, w), 2 in (w, v)
    bool spans;            // central view: rows limited by polygonspans (see fastscreen.cpp)
    int32_t spanat;        // spans: one RowSpan per column of box in FastSpans
    double margin;         // in pixels, around the screen image of the corners
    int32_t crossat;       // parallel view, reaching over several tile rows: each column's inside-row
                           // thresholds in FastCrossings (see parallelcrossings); -1 when found per tile
    int32_t insideat;      // central view, large and without spans: one RowSpan per column of box in
                           // FastSpans, the rows surely inside (columninside); -1 when not looked for
};

enum class ShapeKind : uint8_t { Sphere, Polygon };

struct ShapeRef {
    ShapeKind kind;
    bool drawn;          // false: the literal rasteriser would return before any pixel
    int32_t index;       // into FastSpheres or FastPolygons
    const void* object;  // the SphereObject or PolygonObject
};

// A tile of the picture: small enough to share a frame finely between threads
// and to keep its pixels, depths and owners in the cache while all of its
// shapes are drawn, large enough that a near shape hides whole tiles.
constexpr int32_t TileWidth = 64;
constexpr int32_t TileHeight = 64;

// Where a shape is drawn: a tile of the picture, its depths copied out of the
// picture while its shapes are drawn (the part they reach), its pixels, and its
// owners, the drawing-order number of the point each pixel shows, NoOwner
// while it shows what was there. All three run column by column, pixel (col,
// row) at (col - x0) * TileHeight + row - y0, so that four rows of a column
// are four neighbours.
constexpr int32_t NoOwner = INT32_MIN;  // below every number: what was there wins every tie

// A tile's pixel that no point was stored in. The picture's pixels are not
// read into the tile: a stored pixel's fourth byte is 0, and the picture's
// own is put back when the tile's written pixels are merged into it.
constexpr uint32_t Unwritten = 0xFF000000u;

struct Tile {
    PixelBox box;
    float* depth;
    uint32_t* pixels;  // blue, green and red as a little-endian word, or Unwritten
    int32_t* owner;
    bool ties;  // false: every point stored before comes earlier in the list, and none drawn
                // later asks, so the strict depth test alone keeps the rule and owners are left alone
    bool cull;  // the shape drawn skips groups of rows whose every depth is below `near`
    float near; // the shape's nearest possible depth in the tile
};

// The part of a shape's rectangle inside the tile (empty when they do not meet).
inline PixelBox intile(PixelBox b, const Tile& tile)
{
    return PixelBox{std::max(b.x0, tile.box.x0), std::min(b.x1, tile.box.x1), std::max(b.y0, tile.box.y0),
                    std::min(b.y1, tile.box.y1)};
}

// A shape listed in a tile: its place in FastOrder in the low half, and
// above it, once the tile is drawn, its nearest depth there as bits that
// order as the depths do (never NaN; -0 is taken as 0), so that near first,
// ties in list order, is one integer comparison.
struct TileEntry {
    uint64_t key;
};

inline TileEntry tileentry(float near, int32_t shape)
{
    uint32_t bits;
    const float z = near + 0.0f;
    std::memcpy(&bits, &z, sizeof bits);
    bits = bits >> 31 ? ~bits : bits | 0x80000000u;
    return TileEntry{uint64_t(bits) << 32 | uint32_t(shape)};
}

inline int32_t tileshape(TileEntry e)
{
    return int32_t(uint32_t(e.key));
}

inline float tilenear(TileEntry e)
{
    uint32_t bits = uint32_t(e.key >> 32);
    bits = bits >> 31 ? bits & 0x7FFFFFFFu : ~bits;
    float near;
    std::memcpy(&near, &bits, sizeof near);
    return near;
}

// The order in which a tile's shapes are drawn: near first (the default), or
// the list's own order backwards, in which every tie between two points goes
// against the list and must be settled by the tie rule (tests prove it so).
enum class TileOrder : uint8_t { NearFirst, ListBackwards };
extern TileOrder FastTileOrder;

// The frame's records, grown to the largest scene seen and then reused, so a
// steady redraw allocates nothing.
extern FastView FastFrame;
extern ShapeRef* FastOrder;  // every sphere and polygon of the list, in list order
extern int32_t FastOrderCount;
extern SphereShape* FastSpheres;
extern PolygonShape* FastPolygons;
extern Edge* FastEdges;
extern Vector* FastCorners;   // room for a large polygon's corners in view coordinates while it is set up
extern double* FastScreen;    // the spanned polygons' corners on screen (x, y, slope to the next corner)
extern RowSpan* FastSpans;    // central spheres' and spanned polygons' rows per column, found once per frame
extern int32_t* FastCrossings;  // per column of such a polygon: a count, then that many sorted rows
                                // (ParallelEdges + 1 in all); a count of -1 leaves the column to the tile
extern int32_t* FastTileStart;    // tile t draws FastTileShapes[FastTileStart[t] .. FastTileStart[t + 1])
extern TileEntry* FastTileShapes;
extern int32_t FastTilesAcross, FastTiles;  // tiles in a row of the picture, and in all

inline PixelBox boxof(const ShapeRef& ref)
{
    return ref.kind == ShapeKind::Sphere ? FastSpheres[ref.index].box : FastPolygons[ref.index].box;
}

bool PrepareShapes(SceneList* list);
bool screenspans(PolygonShape* p);
void polygonspans(const PolygonShape& p, int32_t from, int32_t to);
RowSpan polygoninside(const PolygonShape& p, int32_t col, int32_t y0, int32_t y1);
RowSpan columninside(const PolygonShape& p, int32_t col);
float spherenear(const SphereShape& s);
float spherenear(const SphereShape& s, PixelBox box);
float polygonnear(const PolygonShape& p, PixelBox box);
void spherespans(const SphereShape& s, int32_t from, int32_t to);
// Polygons with at most this many edges keep their parallel-view thresholds per frame.
constexpr int32_t ParallelEdges = 15;
void parallelcrossings(const PolygonShape& p, int32_t from, int32_t to);
void drawsphere(const SphereShape& s, const Tile& tile, int32_t id);
void drawpolygon(const PolygonShape& p, const Tile& tile, int32_t id);
float lightcosone(Vector light, Vector normal);
void shadeone(float cos, Shade shade, uint8_t* pixel);
