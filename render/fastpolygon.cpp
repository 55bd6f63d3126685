// Polygons, column by column, with the literal per-pixel expressions.
//
// Parallel view: the literal crossing value of an edge depends on the column
// only, so each column's crossings are computed once; a row is inside when an
// odd number of them lies strictly above it, which makes the inside rows a
// few spans between integer thresholds. Depths are then evaluated per pixel.
//
// Central view: the test runs per pixel, four rows at a time, with the edges'
// constant differences hoisted. The literal flag ends non-zero exactly when a
// crossing was met on the edge or the toggles were odd, whatever the order of
// the edges, so each lane keeps a parity and an on-edge bit. With clipping,
// the rows whose point lies behind the eye are skipped: the denominator k is
// monotone down a column, so those rows are a prefix or a suffix.
#include "render/fastdot.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxCrossings = 64;

// The first row of [y0, y1) strictly below the crossing value bc (y1 if none).
int32_t below(float bc, int32_t y0, int32_t y1)
{
    if (bc < float(y0))
        return y0;
    if (!(bc < float(y1)))
        return y1;
    return std::min(y1, int32_t(std::floor(bc)) + 1);
}

void paralleldots(const FastView& v, const PolygonShape& p, int32_t col, int32_t r0, int32_t r1)
{
    const float u = float(col);
    const float au = p.A * u;
    const F4 uu = f4(u), steps = f4(0, 1, 2, 3);
    for (int32_t row = r0; row < r1; row += 4) {
        const M4 live = firstlanes(r1 - row);
        const F4 vv = f4(float(row)) + steps;
        const F4 z = neg((f4(au) + f4(p.B) * vv) + f4(p.D)) / f4(p.C);
        if (v.directed)
            litdots(v, col, row, live, z, p.lit);
        else
            dots(v, col, row, live, uu, vv, z, p.shade, f4(p.N.x), f4(p.N.y), f4(p.N.z));
    }
}

// The literal even-odd test of one pixel, for columns with too many crossings.
bool insideparallel(const Edge* edges, int32_t count, float pa, float pb)
{
    bool inside = false;
    for (int32_t e = 0; e < count; e++) {
        const Edge& g = edges[e];
        if (!(g.lo <= pa && pa < g.hi))
            continue;
        const float bc = g.db * (pa - g.ai) / g.da + g.bi;
        if (pb > bc)
            inside = !inside;
    }
    return inside;
}

void parallelcolumn(const FastView& v, const PolygonShape& p, int32_t col)
{
    const Edge* edges = FastEdges + p.first;
    const int32_t y0 = p.box.y0, y1 = p.box.y1;
    const float u = float(col);
    int32_t at[MaxCrossings];
    int n = 0;
    for (int32_t e = 0; e < p.count; e++) {
        const Edge& g = edges[e];
        if (!(g.lo <= u && u < g.hi))
            continue;
        const float bc = g.db * (u - g.ai) / g.da + g.bi;
        if (std::isnan(bc))
            continue;  // never above a row: no toggle
        if (n == MaxCrossings) {
            for (int32_t row = y0; row < y1; row++)
                if (insideparallel(edges, p.count, u, float(row)))
                    paralleldots(v, p, col, row, row + 1);
            return;
        }
        at[n++] = below(bc, y0, y1);
    }
    std::sort(at, at + n);
    for (int i = 0; i < n; i += 2) {
        const int32_t r0 = at[i], r1 = i + 1 < n ? at[i + 1] : y1;
        if (r0 < r1)
            paralleldots(v, p, col, r0, r1);
    }
}

// Rows [r0, r1) of a column whose points are not certainly clipped away.
struct Rows {
    int32_t r0, r1;
};

// With clipping, rows where k has the sign of D put the point behind the eye.
// Along a column k = (dx·A + dy·B) + f·C in float is monotone in the row (each
// operation is), so those rows are a prefix or a suffix; the one of them with
// the largest |k| has the depth nearest 0, and if that depth is below 0 (not
// an underflowed -0), every one of them is.
Rows frontrows(const FastView& v, const PolygonShape& p, float dxa, float fc)
{
    const int32_t y0 = p.box.y0, y1 = p.box.y1;
    const float halfh = v.H / 2.0f;
    auto k = [&](int32_t row) { return (dxa + (float(row) - halfh) * p.B) + fc; };
    auto behind = [&](int32_t row) { return p.D > 0 ? k(row) > 0 : k(row) < 0; };
    auto depth = [&](int32_t row) { return -p.D / k(row) * v.f; };
    // Rising k with D > 0, or falling k with D < 0: behind is a suffix.
    const bool suffix = (p.B > 0) == (p.D > 0);
    if (p.B == 0)
        return behind(y0) && depth(y0) < 0 ? Rows{y0, y0} : Rows{y0, y1};
    int32_t lo = y0, hi = y1;  // the first row of the other part lies in [lo, hi]
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (behind(mid) == suffix)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (suffix)
        return lo < y1 && depth(y1 - 1) < 0 ? Rows{y0, lo} : Rows{y0, y1};
    return lo > y0 && depth(y0) < 0 ? Rows{lo, y1} : Rows{y0, y1};
}

void centralcolumn(const FastView& v, const PolygonShape& p, int32_t col, bool skipbehind)
{
    const Edge* edges = FastEdges + p.first;
    const float dx = float(col) - v.W / 2.0f;
    const float dxa = dx * p.A, fc = v.f * p.C;
    const Rows rows = skipbehind ? frontrows(v, p, dxa, fc) : Rows{p.box.y0, p.box.y1};
    const F4 halfh = f4(v.H / 2.0f), steps = f4(0, 1, 2, 3), zero = f4(0);
    const F4 minusd = f4(-p.D), vdx = f4(dx), vf = f4(v.f);
    for (int32_t row = rows.r0; row < rows.r1; row += 4) {
        const F4 dy = (f4(float(row)) + steps) - halfh;
        const F4 k = (f4(dxa) + dy * f4(p.B)) + f4(fc);
        const M4 live = andnot(eq(k, zero), firstlanes(rows.r1 - row));
        if (!lanebits(live))
            continue;
        const F4 s = minusd / k;
        const F4 px = s * vdx, py = s * dy, pz = s * vf;
        const F4 pa = p.axes == 2 ? pz : px;
        const F4 pb = p.axes == 1 ? pz : py;
        M4 odd = noflags(), onedge = noflags();
        for (int32_t e = 0; e < p.count; e++) {
            const Edge& g = edges[e];
            const M4 crossing = ge(pa, f4(g.lo)) & lt(pa, f4(g.hi)) & live;
            if (!lanebits(crossing))
                continue;
            const F4 bc = f4(g.db) * (pa - f4(g.ai)) / f4(g.da) + f4(g.bi);
            odd = odd ^ (crossing & gt(pb, bc));
            onedge = onedge | (crossing & eq(pb, bc));
        }
        const M4 inside = (odd | onedge) & live;
        if (!lanebits(inside))
            continue;
        if (v.directed)
            litdots(v, col, row, inside, pz, p.lit);
        else
            dots(v, col, row, inside, px, py, pz, p.shade, f4(p.N.x), f4(p.N.y), f4(p.N.z));
    }
}

}  // namespace

void drawpolygon(const PolygonShape& p, int32_t c0, int32_t c1)
{
    const FastView& v = FastFrame;
    const int32_t x0 = std::max(p.box.x0, c0), x1 = std::min(p.box.x1, c1);
    if (!v.central) {
        for (int32_t col = x0; col < x1; col++)
            parallelcolumn(v, p, col);
        return;
    }
    // k cannot overflow (nor turn NaN) with these sizes, which keeps it monotone.
    const float size = std::max(std::fabs(p.A), std::max(std::fabs(p.B), std::fabs(p.C)));
    const bool skipbehind = v.clip && size * (v.W + v.H + v.f) < 1e37f;
    for (int32_t col = x0; col < x1; col++)
        centralcolumn(v, p, col, skipbehind);
}
