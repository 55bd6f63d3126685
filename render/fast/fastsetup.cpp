// The per-frame setup of the fast pass. Everything here mirrors the literal
// Sphere and Porygon up to the point where they start visiting pixels: the
// same early returns, the same float expressions in the same order.
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

FastView FastFrame = {};
ShapeRef* FastOrder = nullptr;
int32_t FastOrderCount = 0;
SphereShape* FastSpheres = nullptr;
PolygonShape* FastPolygons = nullptr;
Edge* FastEdges = nullptr;
Vector* FastCorners = nullptr;
int32_t* FastBandStart = nullptr;
int32_t* FastBandShapes = nullptr;
int32_t FastBands = 0;

namespace {

// Capacities of the arrays above.
size_t OrderRoom = 0, SphereRoom = 0, PolygonRoom = 0, EdgeRoom = 0, CornerRoom = 0, ScreenRoom = 0, BandRoom = 0,
       BandShapeRoom = 0;

template <typename T>
void reserve(T** array, size_t* room, size_t needed)
{
    if (needed <= *room)
        return;
    std::free(*array);
    *room = needed + needed / 2;
    *array = static_cast<T*>(Memory_Gra(*room * sizeof(T)));
}

PixelBox pixelbox(float xmin, float xmax, float ymin, float ymax, float W, float H)
{
    return PixelBox{int32_t(std::ceil(clampbound(xmin, W))), int32_t(std::ceil(clampbound(xmax, W))),
                    int32_t(std::ceil(clampbound(ymin, H))), int32_t(std::ceil(clampbound(ymax, H)))};
}

bool emptybox(PixelBox b)
{
    return b.x0 >= b.x1 || b.y0 >= b.y1;
}

// Spans need squares that stay far from float overflow; beyond that the
// sphere is drawn pixel by pixel over its rectangle, as the literal does.
constexpr float SpanLimit = 1e15f;

bool prepsphere(Vector centre, double radius, const Pattern& pattern, SphereShape* s)
{
    if (!patternusable(pattern))
        return false;
    const FastView& v = FastFrame;
    const float W = v.W, H = v.H;
    const Vector C = multmv(ActualTransform, centre);
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
    if (!v.central) {
        s->box = pixelbox(C.x - rp, C.x + rp, C.y - rp, C.y + rp, W, H);
        s->spans = small;
        return !emptybox(s->box);
    }

    const float f = v.f;
    if (C.z + rp <= 0)
        return false;
    float xmin = 0, xmax = W, ymin = 0, ymax = H;
    if (C.z - rp > 0) {
        xmin = (C.x - rp > 0 ? (C.x - rp) * f / (C.z + rp) : (C.x - rp) * f / (C.z - rp)) + W / 2;
        xmax = (C.x + rp > 0 ? (C.x + rp) * f / (C.z - rp) : (C.x + rp) * f / (C.z + rp)) + W / 2;
        ymin = (C.y - rp > 0 ? (C.y - rp) * f / (C.z + rp) : (C.y - rp) * f / (C.z - rp)) + H / 2;
        ymax = (C.y + rp > 0 ? (C.y + rp) * f / (C.z - rp) : (C.y + rp) * f / (C.z + rp)) + H / 2;
    }
    s->box = pixelbox(xmin, xmax, ymin, ymax, W, H);
    if (emptybox(s->box))
        return false;
    // Past this radius no line of sight can give q >= 0 in float, whatever the
    // rounding (see drawsphere); the eye inside it leaves no span to find.
    const double c2 = double(C.x) * C.x + double(C.y) * C.y + double(C.z) * C.z;
    s->R = std::fabs(double(rp)) * (1 + 1e-5) + 1e-5 * std::sqrt(c2) + 1e-20;
    s->spans = small && f < SpanLimit && c2 > s->R * s->R;
    return true;
}

struct FitPlane {
    float A, B, C, D;
};

FitPlane fitplane(const Vector* p, int32_t count)
{
    float A = 0, B = 0, C = 0;
    for (int32_t i = 0; i < count; i++) {
        const int32_t j = (i + 1) % count;
        A += (p[i].z + p[j].z) * (p[j].y - p[i].y);
        B += (p[i].x + p[j].x) * (p[j].z - p[i].z);
        C += (p[i].y + p[j].y) * (p[j].x - p[i].x);
    }
    float sum = 0;
    for (int32_t i = 0; i < count; i++)
        sum += p[i].x * A + p[i].y * B + p[i].z * C;
    return FitPlane{A, B, C, -sum / float(count)};
}

// For a point whose a lies in [lo, hi), |pa - ai| <= |da|, so the literal
// bc = db * (pa - ai) / da + bi stays between bi and bi + db (1 + 2.01u),
// plus the rounding of the final sum, unless the values are so small that
// rounding turns absolute, or so large that it overflows.
void crossingbounds(Edge* e)
{
    e->bmin = -INFINITY;
    e->bmax = INFINITY;
    if (!(std::fabs(e->da) >= 1e-30f && std::fabs(e->db) <= 1e30f && std::fabs(e->bi) <= 1e30f))
        return;
    const double z = double(e->db) * (1 + 3e-7);
    const double lo = e->bi + std::min(0.0, z), hi = e->bi + std::max(0.0, z);
    const double bmin = lo - 2e-7 * std::fabs(lo) - 1e-37, bmax = hi + 2e-7 * std::fabs(hi) + 1e-37;
    e->bmin = float(bmin);
    if (double(e->bmin) > bmin)
        e->bmin = std::nextafter(e->bmin, -INFINITY);
    e->bmax = float(bmax);
    if (double(e->bmax) < bmax)
        e->bmax = std::nextafter(e->bmax, INFINITY);
}

float coord(Vector p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// s->first must be set: where its edges and view corners go.
bool prepolygon(Vector** corners, int32_t count, const Pattern& pattern, PolygonShape* s)
{
    if (count <= 2)
        return false;
    if (!corners || !patternusable(pattern))
        return false;
    const FastView& v = FastFrame;
    const bool central = v.central;
    const float W = v.W, H = v.H, f = v.f;
    Vector* Corners = FastCorners + s->first;
    float xmin = W, ymin = H, xmax = 0, ymax = 0;
    for (int32_t i = 0; i < count; i++) {
        if (!corners[i])
            return false;
        const Vector p = multmv(ActualTransform, *corners[i]);
        if (!finitev(p))
            return false;
        Corners[i] = p;
        float px = p.x, py = p.y;
        if (central) {
            if (p.z <= 0) {
                xmin = 0, ymin = 0, xmax = W, ymax = H;
                continue;
            }
            px = p.x * f / p.z + W / 2;
            py = p.y * f / p.z + H / 2;
        }
        xmin = px < xmin ? px : xmin;
        xmax = px > xmax ? px : xmax;
        ymin = py < ymin ? py : ymin;
        ymax = py > ymax ? py : ymax;
    }
    s->box = pixelbox(xmin, xmax, ymin, ymax, W, H);
    if (emptybox(s->box))
        return false;

    const FitPlane pl = fitplane(Corners, count);
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
        shadeone(lightcosone(v.light, s->N), s->shade, bytes);
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
    for (int32_t i = 0; i < count; i++) {
        const int32_t j = (i + 1) % count;
        const float ai = coord(Corners[i], a), aj = coord(Corners[j], a);
        const float bi = coord(Corners[i], b), bj = coord(Corners[j], b);
        Edge& e = FastEdges[size_t(s->first) + size_t(i)];
        e = Edge{ai, bi, ai < aj ? ai : aj, ai < aj ? aj : ai, bj - bi, aj - ai, 0, 0};
        crossingbounds(&e);
    }
    const float size = std::max(std::fabs(pl.A), std::max(std::fabs(pl.B), std::fabs(pl.C)));
    s->spans = central && size * (W + H + f) < 1e37f && screenspans(s);
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

constexpr int32_t ShapesPerJob = 64;

void prepshapes(int32_t job)
{
    const int32_t end = std::min(FastOrderCount, (job + 1) * ShapesPerJob);
    for (int32_t i = job * ShapesPerJob; i < end; i++) {
        ShapeRef& ref = FastOrder[i];
        if (ref.kind == ShapeKind::Sphere) {
            const SphereObject* sphere = static_cast<const SphereObject*>(ref.object);
            ref.drawn = sphere && sphere->center && sphere->pattern &&
                        prepsphere(*sphere->center, sphere->radius, *sphere->pattern, &FastSpheres[ref.index]);
        } else {
            const PolygonObject* polygon = static_cast<const PolygonObject*>(ref.object);
            ref.drawn = polygon && polygon->pattern &&
                        prepolygon(polygon->corners, polygon->count, *polygon->pattern, &FastPolygons[ref.index]);
        }
    }
}

PixelBox boxof(const ShapeRef& ref)
{
    return ref.kind == ShapeKind::Sphere ? FastSpheres[ref.index].box : FastPolygons[ref.index].box;
}

// Each drawn shape goes to the bands its rectangle reaches, in list order.
void bandlists()
{
    FastBands = (FastFrame.width + BandWidth - 1) / BandWidth;
    reserve(&FastBandStart, &BandRoom, size_t(FastBands) + 1);
    std::fill(FastBandStart, FastBandStart + FastBands + 1, 0);
    size_t entries = 0;
    for (int32_t i = 0; i < FastOrderCount; i++)
        if (FastOrder[i].drawn) {
            const PixelBox b = boxof(FastOrder[i]);
            for (int32_t band = b.x0 / BandWidth; band <= (b.x1 - 1) / BandWidth; band++)
                FastBandStart[band + 1]++;
            entries += size_t((b.x1 - 1) / BandWidth - b.x0 / BandWidth + 1);
        }
    for (int32_t band = 0; band < FastBands; band++)
        FastBandStart[band + 1] += FastBandStart[band];
    reserve(&FastBandShapes, &BandShapeRoom, entries);
    for (int32_t i = 0; i < FastOrderCount; i++)
        if (FastOrder[i].drawn) {
            const PixelBox b = boxof(FastOrder[i]);
            for (int32_t band = b.x0 / BandWidth; band <= (b.x1 - 1) / BandWidth; band++)
                FastBandShapes[FastBandStart[band]++] = i;
        }
    // The fill moved each start to the next band's start.
    for (int32_t band = FastBands; band > 0; band--)
        FastBandStart[band] = FastBandStart[band - 1];
    FastBandStart[0] = 0;
}

}  // namespace

bool PrepareShapes(SceneList* list)
{
    FastOrderCount = 0;
    FastBands = 0;
    if (!list || !ActualViewOk)
        return false;
    prepview();

    // Room first, so that the threads only fill records in place.
    size_t spheres = 0, polygons = 0, edges = 0;
    for (const ListBlock* block = list; block; block = block->next) {
        if (block->count <= 0)
            break;
        for (int i = 0; i < block->count; i++) {
            if (block->tags[i] == TagSphere) {
                spheres++;
            } else if (block->tags[i] == TagPolygon) {
                const PolygonObject* polygon = static_cast<const PolygonObject*>(block->objects[i]);
                polygons++;
                if (polygon && polygon->count > 2)
                    edges += size_t(polygon->count);
            }
        }
    }
    reserve(&FastOrder, &OrderRoom, spheres + polygons);
    reserve(&FastSpheres, &SphereRoom, spheres);
    reserve(&FastPolygons, &PolygonRoom, polygons);
    reserve(&FastEdges, &EdgeRoom, edges);
    reserve(&FastCorners, &CornerRoom, edges);
    reserve(&FastScreen, &ScreenRoom, 3 * edges);

    int32_t nspheres = 0, npolygons = 0;
    size_t edgeat = 0;
    for (const ListBlock* block = list; block; block = block->next) {
        if (block->count <= 0)
            break;
        for (int i = 0; i < block->count; i++) {
            if (block->tags[i] == TagSphere) {
                FastOrder[FastOrderCount++] = ShapeRef{ShapeKind::Sphere, false, nspheres++, block->objects[i]};
            } else if (block->tags[i] == TagPolygon) {
                const PolygonObject* polygon = static_cast<const PolygonObject*>(block->objects[i]);
                FastPolygons[npolygons].first = int32_t(edgeat);
                if (polygon && polygon->count > 2)
                    edgeat += size_t(polygon->count);
                FastOrder[FastOrderCount++] = ShapeRef{ShapeKind::Polygon, false, npolygons++, polygon};
            }
        }
    }
    runparallel((FastOrderCount + ShapesPerJob - 1) / ShapesPerJob, prepshapes);
    bandlists();
    return true;
}
