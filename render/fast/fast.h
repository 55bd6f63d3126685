// fast.h - the fast render pass from the inside (internal to render/fast/).
//
// RenderScene (render.h) gives every pixel and every depth exactly the bytes
// that RenderSceneLiteral gives, reads the same globals and leaves the literal
// corner buffer alone; the number of threads (workers.h) changes no byte.
//
// A frame is drawn in two steps. PrepareShapes walks the scene as
// RenderSceneLiteral does and turns every sphere and polygon into a shape
// record, the records spread over the threads: the same view values, pixel
// rectangle, plane and colours, computed by the same float expressions, and
// whether the literal rasteriser would draw at all. Each shape is listed with
// the bands of columns its rectangle reaches. Then each band is drawn by one
// thread, every shape's part of the band in list order, so a pixel sees
// exactly the literal sequence of depth tests.
//
// Inside a band the shapes skip work that provably cannot change a pixel (rows
// outside a sphere's or polygon's certified span, the far point of a sphere
// where the near one was stored, polygon rows behind the eye when clipping)
// and evaluate everything else with the literal expressions, four rows at a
// time.
//
//   PrepareShapes(list)                 the frame's view, shapes and bands; false when nothing is drawn
//   screenspans(polygon)                central view: whether rows can be limited, and how (setup)
//   polygonrows(polygon, col)           the rows [y0, y1) of a column that can be inside
//   drawsphere(shape, c0, c1)           a sphere's part of the columns [c0, c1)
//   drawpolygon(shape, c0, c1)          a polygon's part of the columns [c0, c1)
//   dotone(view, col, row, x, y, z, shade, normal)   the literal Dot, for the rare scalar cases
//   lightcosone(light, normal), shadeone(cos, shade, pixel)   its cosine and its three bytes
#pragma once

#include "core/scenelist.h"
#include "render/raster.h"

#include <cstdint>

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
};

struct PixelBox {
    int32_t x0, x1, y0, y1;
};

struct SphereShape {
    Vector C;        // centre in view coordinates
    float rp, rr;    // radius in pixels and rp * rp
    Shade front, back;
    PixelBox box;    // the literal rectangle
    bool spans;      // per-column certified spans apply; else every pixel of the box
    double R;        // the radius inflated past every rounding error (spans only)
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
    bool spans;            // central view: rows limited by polygonrows (see fastscreen.cpp)
    double margin;         // in pixels, around the screen image of the corners
};

enum class ShapeKind : uint8_t { Sphere, Polygon };

struct ShapeRef {
    ShapeKind kind;
    bool drawn;          // false: the literal rasteriser would return before any pixel
    int32_t index;       // into FastSpheres or FastPolygons
    const void* object;  // the SphereObject or PolygonObject
};

// A band is this many columns of the picture: narrow enough to share a frame
// fairly between threads and to keep its pixels and depths in the cache while
// all of its shapes are drawn.
constexpr int32_t BandWidth = 32;

// The frame's records, grown to the largest scene seen and then reused, so a
// steady redraw allocates nothing.
extern FastView FastFrame;
extern ShapeRef* FastOrder;  // every sphere and polygon of the list, in list order
extern int32_t FastOrderCount;
extern SphereShape* FastSpheres;
extern PolygonShape* FastPolygons;
extern Edge* FastEdges;
extern Vector* FastCorners;   // the polygons' corners in view coordinates, beside their edges
extern double* FastScreen;    // and on screen (x, y, slope to the next corner), where spans apply
extern int32_t* FastBandStart;  // band b draws FastBandShapes[FastBandStart[b] .. FastBandStart[b + 1])
extern int32_t* FastBandShapes; // indices into FastOrder, in list order
extern int32_t FastBands;

bool PrepareShapes(SceneList* list);
bool screenspans(PolygonShape* p);
PixelBox polygonrows(const PolygonShape& p, int32_t col);
void drawsphere(const SphereShape& s, int32_t c0, int32_t c1);
void drawpolygon(const PolygonShape& p, int32_t c0, int32_t c1);
void dotone(const FastView& v, int32_t col, int32_t row, float x, float y, float z, Shade shade, Vector normal);
float lightcosone(Vector light, Vector normal);
void shadeone(float cos, Shade shade, uint8_t* pixel);
