// Porygon (render.h): one flat polygon on its fitted plane, filled even-odd.
#include "render/camera.h"
#include "render/image.h"
#include "render/raster.h"
#include "render/render.h"

#include "core/memory.h"

#include <cstdlib>
#include <limits>

Vector* poly_crn = nullptr;
int32_t poly_maxsize = 0;

constexpr int32_t PolyMinSize = 40;

static void growcorners(int32_t count)
{
    if (count <= poly_maxsize)
        return;
    if (poly_maxsize > 0)
        std::free(poly_crn);
    poly_maxsize = count < PolyMinSize ? PolyMinSize : count;
    if (size_t(poly_maxsize) > std::numeric_limits<size_t>::max() / sizeof(Vector))
        HardError("Memory full! Graphic could not be opened.");
    poly_crn = static_cast<Vector*>(Memory_Gra(size_t(poly_maxsize) * sizeof(Vector)));
}

// Even-odd test of the point (pa, pb) against the corners' coordinates (a, b):
// a corner's a-range is half-open, so a vertex shared by two edges counts once.
// Parallel view: only a crossing strictly above the point toggles; a point on
// an edge is outside. Central view (onedge): a point exactly on an edge is
// always inside (the flag goes to 2 and further toggles keep it non-zero).
static bool inside(const Vector* p, int32_t count, float Vector::*a, float Vector::*b, float pa,
                   float pb, bool onedge)
{
    int32_t flag = 0;
    for (int32_t i = 0; i < count; i++) {
        const int32_t j = (i + 1) % count;
        const float ai = p[i].*a, aj = p[j].*a;
        const float lo = ai < aj ? ai : aj;
        const float hi = ai < aj ? aj : ai;
        if (!(lo <= pa && pa < hi))
            continue;
        const float bc = (p[j].*b - p[i].*b) * (pa - ai) / (aj - ai) + p[i].*b;
        if (pb > bc)
            flag = 1 - flag;
        if (onedge && pb == bc)
            flag = 2;
    }
    return flag != 0;
}

static void PorygonParallel(int32_t count, Plane pl, Vector N, Shade shade, int32_t x0, int32_t x1,
                            int32_t y0, int32_t y1)
{
    for (int32_t col = x0; col < x1; col++)
        for (int32_t row = y0; row < y1; row++) {
            const float u = float(col), v = float(row);
            if (!inside(poly_crn, count, &Vector::x, &Vector::y, u, v, false))
                continue;
            const float depth = -(pl.A * u + pl.B * v + pl.D) / pl.C;
            Dot(col, row, u, v, depth, shade.colour, N, shade.ambient);
        }
}

static void PorygonCentral(int32_t count, Plane pl, Vector N, Shade shade, int32_t x0, int32_t x1,
                           int32_t y0, int32_t y1, float W, float H)
{
    // Test in the two coordinates in which the polygon looks largest; ties go
    // away from (u, v), and between (u, w) and (w, v) to (w, v).
    const float aa = std::fabs(pl.A), ab = std::fabs(pl.B), ac = std::fabs(pl.C);
    float Vector::*a = &Vector::z;
    float Vector::*b = &Vector::y;
    if (ac > ab && ac > aa) {
        a = &Vector::x;
        b = &Vector::y;
    } else if (ab > aa) {
        a = &Vector::x;
        b = &Vector::z;
    }
    const Vector normal = {pl.A, pl.B, pl.C};
    for (int32_t col = x0; col < x1; col++)
        for (int32_t row = y0; row < y1; row++) {
            const Vector d = {float(col) - W / 2.0f, float(row) - H / 2.0f, ActualWidth};
            const float k = multvv(d, normal);
            if (k == 0)
                continue;  // the line of sight runs parallel to the plane
            // Where the line of sight meets the plane, possibly behind the eye
            // (Dot discards that when clipping).
            const Vector P = multsv(-pl.D / k, d);
            if (!inside(poly_crn, count, a, b, P.*a, P.*b, true))
                continue;
            Dot(col, row, P.x, P.y, P.z, shade.colour, N, shade.ambient);
        }
}

void Porygon(Vector** corners, int32_t count, Pattern pattern)
{
    if (count <= 2)
        return;
    if (!ActualViewOk || !corners || !patternusable(pattern))
        return;
    growcorners(count);

    const bool central = (ActualCam.flags & CamCentral) != 0;
    const float W = float(ActualImage.width);
    const float H = float(ActualImage.height);
    const float f = ActualWidth;
    CornerBounds bounds = cornerbounds(W, H);
    for (int32_t i = 0; i < count; i++) {
        if (!corners[i])
            return;
        const Vector p = multmv(ActualTransform, *corners[i]);
        if (!finitev(p))
            return;
        poly_crn[i] = p;
        growbounds(&bounds, p, central, f, W, H);
    }
    const PixelBox box = pixelbox(bounds.xmin, bounds.xmax, bounds.ymin, bounds.ymax, W, H);
    if (emptybox(box))
        return;

    const Plane pl = fitplane(poly_crn, count);
    if (!std::isfinite(pl.A) || !std::isfinite(pl.B) || !std::isfinite(pl.C) ||
        !std::isfinite(pl.D))
        return;

    // The normal is turned towards the viewer; the side the polygon shows
    // decides between front and back colours.
    const bool showsback = central ? pl.D < 0 : pl.C > 0;
    const bool turn = central ? !(pl.D > 0) : !(pl.C < 0);
    const Vector N = turn ? Vector{-pl.A, -pl.B, -pl.C} : Vector{pl.A, pl.B, pl.C};

    // Seen edge-on: in the parallel view the plane contains the viewing
    // direction; in the central view it passes through the eye, where every
    // line of sight would meet it at depth 0.
    if (!central && pl.C == 0)
        return;
    if (central && pl.D == 0)
        return;

    const Shade shade = showsback ? backside(pattern) : frontside(pattern);
    if (central)
        PorygonCentral(count, pl, N, shade, box.x0, box.x1, box.y0, box.y1, W, H);
    else
        PorygonParallel(count, pl, N, shade, box.x0, box.x1, box.y0, box.y1);
}
