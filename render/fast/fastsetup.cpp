// The per-frame setup of the fast pass. Everything here mirrors the literal
// Sphere and Porygon up to the point where they start visiting pixels: the
// same early returns, the same float expressions (render/raster.h) in the
// same order. Beside them each shape gets the depth below which none of its
// stored points can lie, bounded in double with room for every rounding.
#include "render/camera.h"
#include "render/fast/fast.h"
#include "render/image.h"
#include "render/render.h"
#include "render/workers.h"

#include "core/memory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

FastView FastFrame = {};
ShapeRef* FastOrder = nullptr;
int32_t FastOrderCount = 0;
SphereShape* FastSpheres = nullptr;
PolygonShape* FastPolygons = nullptr;
Edge* FastEdges = nullptr;
Vector* FastCorners = nullptr;
int32_t* FastCrossings = nullptr;
int32_t* FastTileStart = nullptr;
TileEntry* FastTileShapes = nullptr;
int32_t FastTilesAcross = 0, FastTiles = 0;

namespace {

// Capacities of the arrays above.
size_t OrderRoom = 0, SphereRoom = 0, PolygonRoom = 0, EdgeRoom = 0, CornerRoom = 0, ScreenRoom = 0, SpanRoom = 0,
       CrossingRoom = 0, TileRoom = 0, TileShapeRoom = 0;

template <typename T>
void reserve(T** array, size_t* room, size_t needed)
{
    if (needed <= *room)
        return;
    std::free(*array);
    *room = needed + needed / 2;
    *array = static_cast<T*>(Memory_Gra(*room * sizeof(T)));
}

// Spans need squares that stay far from float overflow; beyond that the
// sphere is drawn pixel by pixel over its rectangle, as the literal does.
constexpr float SpanLimit = 1e15f;
constexpr int32_t SphereSpanSide = 32;  // in pixels, the shorter side of the rectangle

bool prepsphere(const Matrix& M, Vector centre, double radius, const Pattern& pattern, SphereShape* s)
{
    if (!patternusable(pattern))
        return false;
    const FastView& v = FastFrame;
    const float W = v.W, H = v.H;
    const Vector C = multmv(M, centre);
    const float rp = ActualScale * float(radius);
    if (!finitev(C) || !std::isfinite(rp))
        return false;
    s->C = C;
    s->rp = rp;
    s->rr = rp * rp;
    s->front = frontside(pattern);
    s->back = backside(pattern);

    const bool small = std::fabs(C.x) < SpanLimit && std::fabs(C.y) < SpanLimit && std::fabs(C.z) < SpanLimit &&
                       std::fabs(rp) < SpanLimit;
    s->box = spherebox(C, rp, v.central, v.f, W, H);
    if (emptybox(s->box))
        return false;
    if (!v.central) {
        s->spans = small;
        return true;
    }
    const float f = v.f;

    // Past this radius no line of sight can give q >= 0 in float, whatever the
    // rounding (see drawsphere); the eye inside it leaves no span to find.
    const double c2 = double(C.x) * C.x + double(C.y) * C.y + double(C.z) * C.z;
    s->R = std::fabs(double(rp)) * (1 + 1e-5) + 1e-5 * std::sqrt(c2) + 1e-20;
    // Spans cost a few hundred instructions a column; they pay only where they
    // skip more than that of the rectangle's corners.
    const int32_t side = std::min(s->box.x1 - s->box.x0, s->box.y1 - s->box.y0);
    s->spans = small && f < SpanLimit && c2 > s->R * s->R && side > SphereSpanSide;
    return true;
}

// For a point whose a lies in [lo, hi), |pa - ai| <= |da|, so the literal
// bc = db * (pa - ai) / da + bi stays between bi and bi + db (1 + 2.01u),
// plus the rounding of the final sum (within 2e-7 of it, and 1e-37), unless
// the values are so small that rounding turns absolute, or so large that it
// overflows. The bounds are widened by another 1.2e-7 of it and 9e-37, more
// than rounding them to float can move them (2^-24 of it, or 2^-150), so the
// floats are bounds as they come.
void crossingbounds(Edge* e)
{
    e->bmin = -INFINITY;
    e->bmax = INFINITY;
    if (!(std::fabs(e->da) >= 1e-30f && std::fabs(e->db) <= 1e30f && std::fabs(e->bi) <= 1e30f))
        return;
    const double z = double(e->db) * (1 + 3e-7);
    const double lo = e->bi + std::min(0.0, z), hi = e->bi + std::max(0.0, z);
    e->bmin = float(lo - 3.2e-7 * std::fabs(lo) - 1e-36);
    e->bmax = float(hi + 3.2e-7 * std::fabs(hi) + 1e-36);
}

template <int axis>
float coord(Vector p)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// The edges in the inside test's coordinates a and b, fixed per call so that
// no corner chooses its coordinates at run time.
template <int a, int b>
void makeedges(const Vector* corners, int32_t count, Edge* edges)
{
    for (int32_t i = 0; i < count; i++) {
        const int32_t j = i + 1 < count ? i + 1 : 0;
        const float ai = coord<a>(corners[i]), aj = coord<a>(corners[j]);
        const float bi = coord<b>(corners[i]), bj = coord<b>(corners[j]);
        edges[i] = Edge{ai, bi, ai < aj ? ai : aj, ai < aj ? aj : ai, bj - bi, aj - ai, 0, 0};
        crossingbounds(&edges[i]);
    }
}

// Spans cost a few hundred instructions a column; they pay only where a box
// has many pixels to skip, and enough rows in each column.
constexpr int32_t SpanPixels = 128;
constexpr int32_t SpanRows = 16;
constexpr int32_t InsideHeight = 96;  // in pixels, the least height of a polygon whose inside rows are found
constexpr int32_t InsideSamples = 8;  // columns tried first

// s->first must be set: where its edges and view corners go.
bool prepolygon(const Matrix& M, Vector** corners, int32_t count, const Pattern& pattern, PolygonShape* s)
{
    s->crossat = -1;
    if (count <= 2)
        return false;
    if (!corners || !patternusable(pattern))
        return false;
    const FastView& v = FastFrame;
    const bool central = v.central;
    const float W = v.W, H = v.H, f = v.f;
    // The view corners are needed only here: a small polygon's stay in the
    // cache, which spares a dense mesh a sixth of its setup's memory traffic.
    Vector few[8];
    Vector* Corners = count <= 8 ? few : FastCorners + s->first;
    CornerBounds bounds = cornerbounds(W, H);
    // Zero times a coordinate is NaN only for an infinite or NaN one, so one
    // test after the loop finds what finitev would find at each corner; the
    // bounds grown from such a corner are never used.
    float zero = 0;
    for (int32_t i = 0; i < count; i++) {
        if (!corners[i])
            return false;
        const Vector p = multmv(M, *corners[i]);
        zero += (p.x * 0 + p.y * 0) + p.z * 0;
        // Component by component: a copy of the whole record goes through an
        // 8-byte load of the two stores just made, which cannot be forwarded
        // and stalls the loop (1 to 2 % of a dense mesh's time).
        Corners[i].x = p.x, Corners[i].y = p.y, Corners[i].z = p.z;
        growbounds(&bounds, p, central, f, W, H);
    }
    if (zero != 0)
        return false;
    s->box = pixelbox(bounds.xmin, bounds.xmax, bounds.ymin, bounds.ymax, W, H);
    if (emptybox(s->box))
        return false;

    const Plane pl = fitplane(Corners, count);
    if (!std::isfinite(pl.A) || !std::isfinite(pl.B) || !std::isfinite(pl.C) || !std::isfinite(pl.D))
        return false;
    const bool showsback = central ? pl.D < 0 : pl.C > 0;
    const bool turn = central ? !(pl.D > 0) : !(pl.C < 0);
    s->N = turn ? Vector{-pl.A, -pl.B, -pl.C} : Vector{pl.A, pl.B, pl.C};
    if (!central && pl.C == 0)
        return false;
    if (central && pl.D == 0)
        return false;
    s->A = pl.A, s->B = pl.B, s->C = pl.C, s->D = pl.D;
    s->shade = showsback ? backside(pattern) : frontside(pattern);
    s->nlength = lengthv(s->N);
    if (v.directed) {
        uint8_t bytes[3];
        shadebytes(lightcos(v.light, s->N), s->shade, bytes);
        s->lit = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16;
    }

    // The inside test's coordinates: (u, v) in the parallel view; in the
    // central view the pair in which the polygon looks largest, ties going
    // away from (u, v), and between (u, w) and (w, v) to (w, v).
    int a = 0, b = 1;
    s->axes = 0;
    if (central) {
        const float aa = std::fabs(pl.A), ab = std::fabs(pl.B), ac = std::fabs(pl.C);
        a = 2, b = 1, s->axes = 2;
        if (ac > ab && ac > aa)
            a = 0, b = 1, s->axes = 0;
        else if (ab > aa)
            a = 0, b = 2, s->axes = 1;
    }
    s->count = count;
    Edge* edges = FastEdges + s->first;
    if (a == 0 && b == 1)
        makeedges<0, 1>(Corners, count, edges);
    else if (a == 0)
        makeedges<0, 2>(Corners, count, edges);
    else
        makeedges<2, 1>(Corners, count, edges);
    const float size = std::max(std::fabs(pl.A), std::max(std::fabs(pl.B), std::fabs(pl.C)));
    const int32_t pixels = (s->box.x1 - s->box.x0) * (s->box.y1 - s->box.y0);
    s->spans = central && pixels > SpanPixels && (s->box.y1 - s->box.y0) > SpanRows && size * (W + H + f) < 1e37f &&
               screenspans(s);
    return true;
}

void prepview()
{
    FastView& v = FastFrame;
    v.pixels = ActualImage.pixels;
    v.depth = ActualImage.depth;
    v.bpp = ActualImage.bytes_per_pixel;
    v.width = ActualImage.width;
    v.height = ActualImage.height;
    v.W = float(ActualImage.width);
    v.H = float(ActualImage.height);
    v.halfw = v.W / 2.0f;
    v.halfh = v.H / 2.0f;
    v.f = ActualWidth;
    v.central = (ActualCam.flags & CamCentral) != 0;
    v.clip = (ActualCam.flags & CamClip) != 0;
    v.directed = (ActualLight.flags & LightDirected) != 0;
    v.light = ActualLightpos;
    v.lightlength = lengthv(ActualLightpos);
}

// The setup runs on all threads in passes over runs of the list: jobs of
// ShapesPerJob shapes, and for the tile lists at most MaxChunks chunks of
// whole jobs. Each pass counts what the next one places, and the one thread
// between them only sums those counts (per job, per chunk and tile), so the
// serial part grows with the number of jobs and tiles, not of shapes (the
// counting passes of a short list excepted, see runcounting). A long list
// takes longer jobs, at most about MostJobs of them: fewer hand-outs, and each
// thread writes longer runs of records (a 200 000-triangle mesh's setup on two
// threads takes 15 % less than with jobs of 64).
constexpr int32_t LeastJobShapes = 64;
constexpr int32_t MostJobs = 256;
constexpr int32_t MaxChunks = 16;
int32_t ShapesPerJob = LeastJobShapes;  // this frame's, set by PrepareShapes

size_t* JobEdges = nullptr;  // per job: its polygons' edges, then where they start
size_t JobRoom = 0;
int32_t Jobs = 0, Chunks = 0, ChunkJobs = 0;  // chunk k holds jobs [k * ChunkJobs, (k + 1) * ChunkJobs)
int32_t* ChunkTiles = nullptr;  // chunk k, tile t at k * FastTiles + t: its entries there, then where they start
size_t ChunkTileRoom = 0;
size_t ChunkSpans[MaxChunks], ChunkCrossings[MaxChunks];  // their room, then where it starts

// The columns whose rows are found once per frame (spans, thresholds, rows
// surely inside) are handed out in runs of PieceColumns, as if the shapes'
// columns lay end to end in list order: a few large shapes, a sky or a
// floor, would otherwise keep one thread busy while the other waits, and
// many small ones would cost a handing-out each.
constexpr int32_t PieceColumns = 128;
struct ColumnShape {
    int32_t shape;  // into FastOrder
    size_t start;   // where its first column lies in the run of all of them
};
ColumnShape* ColumnShapes = nullptr;
size_t ColumnShapeRoom = 0;
size_t ColumnShapeCount = 0, ColumnCount = 0;  // the shapes, and all their columns
size_t ChunkColumnShapes[MaxChunks], ChunkColumns[MaxChunks];  // a chunk's, then where they start

int32_t jobend(int32_t job)
{
    return std::min(FastOrderCount, (job + 1) * ShapesPerJob);
}

void countedges(int32_t job)
{
    size_t edges = 0;
    const int32_t end = jobend(job);
    for (int32_t i = job * ShapesPerJob; i < end; i++)
        if (FastOrder[i].kind == ShapeKind::Polygon) {
            const PolygonObject* polygon = static_cast<const PolygonObject*>(FastOrder[i].object);
            if (polygon && polygon->count > 2)
                edges += size_t(polygon->count);
        }
    JobEdges[job] = edges;
}

void prepshapes(int32_t job)
{
    const Matrix M = ActualTransform;  // a copy, which the records written cannot alias
    size_t edgeat = JobEdges[job];
    const int32_t end = jobend(job);
    for (int32_t i = job * ShapesPerJob; i < end; i++) {
        ShapeRef& ref = FastOrder[i];
        if (ref.kind == ShapeKind::Sphere) {
            const SphereObject* sphere = static_cast<const SphereObject*>(ref.object);
            ref.drawn = sphere && sphere->center && sphere->pattern &&
                        prepsphere(M, *sphere->center, sphere->radius, *sphere->pattern, &FastSpheres[ref.index]);
        } else {
            const PolygonObject* polygon = static_cast<const PolygonObject*>(ref.object);
            FastPolygons[ref.index].first = int32_t(edgeat);
            if (polygon && polygon->count > 2)
                edgeat += size_t(polygon->count);
            ref.drawn = polygon && polygon->pattern &&
                        prepolygon(M, polygon->corners, polygon->count, *polygon->pattern, &FastPolygons[ref.index]);
        }
    }
}

// The tiles a drawn shape's rectangle reaches (not empty, and never below 0,
// so unsigned division is the same and cheaper).
PixelBox tilesof(const ShapeRef& ref)
{
    const PixelBox b = boxof(ref);
    constexpr uint32_t w = TileWidth, h = TileHeight;
    return PixelBox{int32_t(uint32_t(b.x0) / w), int32_t(uint32_t(b.x1 - 1) / w + 1), int32_t(uint32_t(b.y0) / h),
                    int32_t(uint32_t(b.y1 - 1) / h + 1)};
}

int32_t chunkbegin(int32_t chunk)
{
    return std::min(FastOrderCount, chunk * ChunkJobs * ShapesPerJob);
}

// Finding the rows surely inside costs about a thousand instructions a
// column; tall polygons repay it, unless a few columns show that most of the
// box lies off the polygon (one reaching behind the eye is given the whole
// picture).
bool insideworth(const PolygonShape& p)
{
    const int32_t width = p.box.x1 - p.box.x0;
    for (int32_t k = 0; k < InsideSamples; k++) {
        const RowSpan rows = columninside(p, p.box.x0 + (2 * k + 1) * width / (2 * InsideSamples));
        if (rows.r1 - rows.r0 >= InsideHeight / 2)
            return true;
    }
    return false;
}

int32_t columnsof(const ShapeRef& ref)
{
    return boxof(ref).x1 - boxof(ref).x0;
}

// Whether a drawn shape's rows are found per column once per frame.
bool columnwork(const ShapeRef& ref)
{
    if (ref.kind == ShapeKind::Sphere)
        return FastSpheres[ref.index].spanat >= 0;
    const PolygonShape& p = FastPolygons[ref.index];
    return p.crossat >= 0 || p.spans || p.insideat >= 0;
}

// A chunk's room: its spans and thresholds, placed from the chunk's start
// (filltiles moves them to the frame's), its shapes' columns, and its entries
// in every tile.
void countchunk(int32_t chunk)
{
    int32_t* counts = ChunkTiles + size_t(chunk) * size_t(FastTiles);
    std::fill(counts, counts + FastTiles, 0);
    size_t spans = 0, crossings = 0, shapes = 0, columns = 0;
    const bool central = FastFrame.central;
    const int32_t across = FastTilesAcross, end = chunkbegin(chunk + 1);
    for (int32_t i = chunkbegin(chunk); i < end; i++) {
        const ShapeRef& ref = FastOrder[i];
        if (ref.kind == ShapeKind::Polygon) {
            PolygonShape& p = FastPolygons[ref.index];
            p.crossat = -1;
            if (ref.drawn && !central && p.count <= ParallelEdges &&
                p.box.y0 / TileHeight != (p.box.y1 - 1) / TileHeight) {
                p.crossat = int32_t(crossings);
                crossings += size_t(ParallelEdges + 1) * size_t(p.box.x1 - p.box.x0);
            }
            if (ref.drawn && p.spans) {
                p.spanat = int32_t(spans);
                spans += size_t(p.box.x1 - p.box.x0);
            }
            p.insideat = -1;
            if (ref.drawn && central && !p.spans && p.box.y1 - p.box.y0 >= InsideHeight && insideworth(p)) {
                p.insideat = int32_t(spans);
                spans += size_t(p.box.x1 - p.box.x0);
            }
        } else {
            SphereShape& s = FastSpheres[ref.index];
            s.spanat = -1;
            if (ref.drawn && central && s.spans) {
                s.spanat = int32_t(spans);
                spans += size_t(SpansPerColumn) * size_t(s.box.x1 - s.box.x0);
            }
        }
        if (!ref.drawn)
            continue;
        if (columnwork(ref)) {
            shapes++;
            columns += size_t(columnsof(ref));
        }
        const PixelBox t = tilesof(ref);
        if (t.x1 - t.x0 == 1 && t.y1 - t.y0 == 1) {  // most shapes: a loop costs more
            counts[t.y0 * across + t.x0]++;
            continue;
        }
        for (int32_t ty = t.y0; ty < t.y1; ty++)
            for (int32_t tx = t.x0; tx < t.x1; tx++)
                counts[ty * across + tx]++;
    }
    ChunkSpans[chunk] = spans;
    ChunkCrossings[chunk] = crossings;
    ChunkColumnShapes[chunk] = shapes;
    ChunkColumns[chunk] = columns;
}

// Each drawn shape goes to the tiles its rectangle reaches, in list order:
// chunk by chunk, as the starts were summed; its columns likewise.
void filltiles(int32_t chunk)
{
    int32_t* at = ChunkTiles + size_t(chunk) * size_t(FastTiles);
    const int32_t spans = int32_t(ChunkSpans[chunk]), crossings = int32_t(ChunkCrossings[chunk]);
    ColumnShape* columnshape = ColumnShapes + ChunkColumnShapes[chunk];
    size_t columns = ChunkColumns[chunk];
    const int32_t across = FastTilesAcross, end = chunkbegin(chunk + 1);
    TileEntry* entries = FastTileShapes;
    for (int32_t i = chunkbegin(chunk); i < end; i++) {
        ShapeRef& ref = FastOrder[i];
        if (!ref.drawn)
            continue;
        if (ref.kind == ShapeKind::Polygon) {
            PolygonShape& p = FastPolygons[ref.index];
            if (p.crossat >= 0)
                p.crossat += crossings;
            if (p.spans)
                p.spanat += spans;
            if (p.insideat >= 0)
                p.insideat += spans;
        } else if (FastSpheres[ref.index].spanat >= 0) {
            FastSpheres[ref.index].spanat += spans;
        }
        if (columnwork(ref)) {
            *columnshape++ = ColumnShape{i, columns};
            columns += size_t(columnsof(ref));
        }
        const PixelBox t = tilesof(ref);
        if (t.x1 - t.x0 == 1 && t.y1 - t.y0 == 1) {
            entries[at[t.y0 * across + t.x0]++] = TileEntry{uint32_t(i)};
            continue;
        }
        for (int32_t ty = t.y0; ty < t.y1; ty++)
            for (int32_t tx = t.x0; tx < t.x1; tx++)
                entries[at[ty * across + tx]++] = TileEntry{uint32_t(i)};
    }
}

void prepcolumns(const ShapeRef& ref, int32_t from, int32_t to)
{
    if (ref.kind == ShapeKind::Sphere) {
        spherespans(FastSpheres[ref.index], from, to);
        return;
    }
    const PolygonShape& p = FastPolygons[ref.index];
    if (p.crossat >= 0) {
        parallelcrossings(p, from, to);
    } else if (p.spans) {
        polygonspans(p, from, to);
    } else {
        RowSpan* inside = FastSpans + p.insideat - p.box.x0;
        for (int32_t col = from; col < to; col++)
            inside[col] = columninside(p, col);
    }
}

// Columns [piece·PieceColumns, (piece + 1)·PieceColumns) of the run of all.
void prepcolumns(int32_t piece)
{
    const size_t lo = size_t(piece) * PieceColumns, hi = std::min(ColumnCount, lo + PieceColumns);
    const ColumnShape* begin = ColumnShapes;
    const ColumnShape* end = begin + ColumnShapeCount;
    const ColumnShape* c =
        std::upper_bound(begin, end, lo, [](size_t at, const ColumnShape& s) { return at < s.start; }) - 1;
    for (; c < end && c->start < hi; c++) {
        const ShapeRef& ref = FastOrder[c->shape];
        const int32_t x0 = boxof(ref).x0;
        const size_t from = std::max(lo, c->start) - c->start, to = std::min(hi - c->start, size_t(columnsof(ref)));
        prepcolumns(ref, x0 + int32_t(from), x0 + int32_t(to));
    }
}

// The counting passes cost a few dozen instructions a shape: over a short
// list they run on this thread alone, since waking the helpers would cost
// more (and a busy machine can delay a helper by a time slice).
constexpr int32_t ParallelShapes = 4096;

void runcounting(int32_t count, BandJob job)
{
    if (FastOrderCount >= ParallelShapes) {
        runparallel(count, job);
        return;
    }
    for (int32_t i = 0; i < count; i++)
        job(i);
}

// Every sphere and polygon of the list into FastOrder, in list order, with
// room for their records.
void listshapes(const SceneList* list)
{
    int32_t spheres = 0, polygons = 0;
    for (const ListBlock* block = list; block && block->count > 0; block = block->next) {
        if (OrderRoom < size_t(FastOrderCount) + size_t(block->count)) {
            // Grown with its contents: the list's length is known only at its end.
            const size_t room = (size_t(FastOrderCount) + size_t(block->count)) * 2;
            ShapeRef* grown = static_cast<ShapeRef*>(Memory_Gra(room * sizeof(ShapeRef)));
            if (FastOrderCount > 0)
                std::memcpy(grown, FastOrder, size_t(FastOrderCount) * sizeof(ShapeRef));
            std::free(FastOrder);
            FastOrder = grown;
            OrderRoom = room;
        }
        for (int i = 0; i < block->count; i++) {
            const ObjectTag tag = block->tags[i];
            if (tag == TagSphere)
                FastOrder[FastOrderCount++] = ShapeRef{ShapeKind::Sphere, false, spheres++, block->objects[i]};
            else if (tag == TagPolygon)
                FastOrder[FastOrderCount++] = ShapeRef{ShapeKind::Polygon, false, polygons++, block->objects[i]};
        }
    }
    reserve(&FastSpheres, &SphereRoom, size_t(spheres));
    reserve(&FastPolygons, &PolygonRoom, size_t(polygons));
}

}  // namespace

bool PrepareShapes(SceneList* list)
{
    FastOrderCount = 0;
    FastTiles = 0;
    if (!list || !ActualViewOk)
        return false;
    prepview();
    const FastView& v = FastFrame;
    FastTilesAcross = (v.width + TileWidth - 1) / TileWidth;
    FastTiles = FastTilesAcross * ((v.height + TileHeight - 1) / TileHeight);

    listshapes(list);
    ShapesPerJob = std::max(LeastJobShapes, (FastOrderCount + MostJobs - 1) / MostJobs);
    Jobs = (FastOrderCount + ShapesPerJob - 1) / ShapesPerJob;
    reserve(&JobEdges, &JobRoom, size_t(Jobs));
    runcounting(Jobs, countedges);
    size_t edges = 0;
    for (int32_t j = 0; j < Jobs; j++)
        edges += std::exchange(JobEdges[j], edges);
    reserve(&FastEdges, &EdgeRoom, edges);
    reserve(&FastCorners, &CornerRoom, edges);
    reserve(&FastScreen, &ScreenRoom, 3 * edges);
    runparallel(Jobs, prepshapes);

    ChunkJobs = (Jobs + MaxChunks - 1) / MaxChunks;
    Chunks = ChunkJobs > 0 ? (Jobs + ChunkJobs - 1) / ChunkJobs : 0;
    reserve(&ChunkTiles, &ChunkTileRoom, size_t(Chunks) * size_t(FastTiles));
    runcounting(Chunks, countchunk);
    size_t spans = 0, crossings = 0;
    ColumnShapeCount = 0, ColumnCount = 0;
    for (int32_t k = 0; k < Chunks; k++) {
        spans += std::exchange(ChunkSpans[k], spans);
        crossings += std::exchange(ChunkCrossings[k], crossings);
        ColumnShapeCount += std::exchange(ChunkColumnShapes[k], ColumnShapeCount);
        ColumnCount += std::exchange(ChunkColumns[k], ColumnCount);
    }
    reserve(&FastSpans, &SpanRoom, spans);
    reserve(&FastCrossings, &CrossingRoom, crossings);
    reserve(&ColumnShapes, &ColumnShapeRoom, ColumnShapeCount);
    reserve(&FastTileStart, &TileRoom, size_t(FastTiles) + 1);
    int32_t entries = 0;
    for (int32_t t = 0; t < FastTiles; t++) {
        FastTileStart[t] = entries;
        for (int32_t k = 0; k < Chunks; k++)
            entries += std::exchange(ChunkTiles[size_t(k) * size_t(FastTiles) + size_t(t)], entries);
    }
    FastTileStart[FastTiles] = entries;
    reserve(&FastTileShapes, &TileShapeRoom, size_t(entries));
    runcounting(Chunks, filltiles);
    runparallel(int32_t((ColumnCount + PieceColumns - 1) / PieceColumns), prepcolumns);
    return true;
}
