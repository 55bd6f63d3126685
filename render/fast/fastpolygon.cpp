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
// the edges, so each lane keeps a parity and an on-edge bit. A polygon in
// front of the eye tests only the rows near its screen image (fastscreen.cpp);
// others split each column where k changes sign, skip the rows behind the eye
// when clipping (a whole tile at once where its corners show it), test only
// the edges a part of a column can cross, and skip the division where a point
// lies clear of an edge's crossing values. Rows proven inside, far from every
// edge (polygoninside, columninside), go without the test.
#include "render/fast/fastdot.h"

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

void paralleldots(const Painter& paint, const PolygonShape& p, int32_t col, int32_t r0, int32_t r1)
{
    const Painter d = paint;  // a local value: pixel stores cannot alias it
    const float u = float(col);
    const F4 au = f4(p.A * u), b = f4(p.B), pd = f4(p.D), pc = f4(p.C);
    const F4 nx = f4(p.N.x), ny = f4(p.N.y), nz = f4(p.N.z), nl = f4(p.nlength);
    const uint32_t lit = p.lit;
    const F4 uu = f4(u), steps = f4(0, 1, 2, 3);
    for (int32_t row = r0; row < r1; row += 4) {
        if (hidden4(d, col, row, r1))
            continue;
        const M4 live = firstlanes(r1 - row);
        const F4 vv = f4(float(row)) + steps;
        const F4 z = neg((au + b * vv) + pd) / pc;
        const Rows4 lanes = rows4(d, col, row, r1);
        if (d.directed)
            litdots(d, lanes, live, z, lit);
        else
            dots(d, lanes, live, uu, vv, z, nx, ny, nz, nl);
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

// The rows of [y0, y1) at which a column's inside parts start and end: n
// sorted thresholds, the parts being [at[0], at[1]), [at[2], at[3]) and so
// on, an odd last one reaching to y1. -1 when the crossings are too many.
int32_t parallelthresholds(const PolygonShape& p, int32_t col, int32_t y0, int32_t y1, int32_t* at)
{
    const Edge* edges = FastEdges + p.first;
    const float u = float(col);
    int32_t n = 0;
    for (int32_t e = 0; e < p.count; e++) {
        const Edge& g = edges[e];
        if (!(g.lo <= u && u < g.hi))
            continue;
        const float bc = g.db * (u - g.ai) / g.da + g.bi;
        if (std::isnan(bc))
            continue;  // never above a row: no toggle
        if (n == MaxCrossings)
            return -1;
        at[n++] = below(bc, y0, y1);
    }
    std::sort(at, at + n);
    return n;
}

// The first row strictly below a crossing in [y0, y1) is, within a part
// [r0, r1) of those rows, that row clamped to the part.
void parallelcolumn(const Painter& d, const PolygonShape& p, const PixelBox& whole, int32_t col)
{
    const int32_t y0 = p.box.y0, y1 = p.box.y1;
    int32_t found[MaxCrossings];
    const int32_t* at = found;
    int32_t n;
    if (p.crossat >= 0) {
        const int32_t* stored = FastCrossings + p.crossat + (ParallelEdges + 1) * (col - whole.x0);
        n = stored[0];
        at = stored + 1;
    } else {
        n = parallelthresholds(p, col, y0, y1, found);
    }
    if (n < 0) {
        const Edge* edges = FastEdges + p.first;
        for (int32_t row = y0; row < y1; row++)
            if (insideparallel(edges, p.count, float(col), float(row)))
                paralleldots(d, p, col, row, row + 1);
        return;
    }
    for (int32_t i = 0; i < n; i += 2) {
        const int32_t r0 = std::max(y0, std::min(y1, at[i]));
        const int32_t r1 = i + 1 < n ? std::max(y0, std::min(y1, at[i + 1])) : y1;
        if (r0 < r1)
            paralleldots(d, p, col, r0, r1);
    }
}

// One column of the central view. Down a column k = (dx·A + dy·B) + f·C is
// monotone in the row in float (each operation is), so the rows split into
// those with k < 0, k = 0 (skipped, as the literal skips them) and k > 0. In
// each part s = −D / k is monotone too, and with it the coordinate a of the
// points (s·dx or s·f): its range over the part is spanned by the part's two
// end rows, and only edges whose a-range meets it can ever cross.
// A polygon's plane and normal in every lane, made once per tile.
struct PlaneLanes {
    F4 nx, ny, nz, nl;  // N and its length
    F4 minusd, f, A, B, fc;  // −D, the view's f, A, B and f·C
    F4 halfw, halfh;
};

PlaneLanes planelanes(const FastView& v, const PolygonShape& p)
{
    return PlaneLanes{f4(p.N.x), f4(p.N.y),   f4(p.N.z),        f4(p.nlength),    f4(-p.D),        f4(v.f),
                      f4(p.A),   f4(p.B),     f4(v.f * p.C),    f4(v.W / 2.0f),   f4(v.H / 2.0f)};
}

struct Column {
    const FastView& v;
    const Painter& d;  // a copy of the caller's own, made once: pixel stores cannot alias it
    const PolygonShape& p;
    const PlaneLanes& L;
    int32_t col;
    float dx, dxa, fc;

    float k(int32_t row) const { return (dxa + (float(row) - v.H / 2.0f) * p.B) + fc; }
    float s(int32_t row) const { return -p.D / k(row); }
    float a(int32_t row) const { return p.axes == 2 ? s(row) * v.f : s(row) * dx; }
};

// The first row of [lo, hi) at which test turns true, test being monotone (false, then true).
template <typename Test>
int32_t firstrow(int32_t lo, int32_t hi, Test test)
{
    // Most parts of a column in a tile lie wholly on one side.
    if (lo >= hi || test(lo))
        return lo;
    if (!test(hi - 1))
        return hi;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (test(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// An edge with every value spread over the four lanes.
struct EdgeLanes {
    F4 lo, hi, ai, bi, db, da, bmin, bmax;
};

EdgeLanes lanesof(const Edge& g)
{
    return EdgeLanes{f4(g.lo), f4(g.hi), f4(g.ai), f4(g.bi), f4(g.db), f4(g.da), f4(g.bmin), f4(g.bmax)};
}

// Up to this many edges a part spreads its edges once; beyond, per group of rows.
constexpr int32_t MaxEdgeLanes = 48;
// Small polygons with up to this many edges evaluate every edge in full,
// without a branch: in a small box the skips are mispredicted too often.
constexpr int32_t FullEdges = 4;
// Columns of at least this many rows look for the rows surely inside.
constexpr int32_t InsideRows = 32;

// The literal even-odd test of four points (pa, pb) against count edges,
// edgeat(e) giving the e-th: the live lanes inside. With Full every edge in
// full, else skipping what cannot toggle.
template <bool Full, typename EdgeAt>
[[gnu::always_inline]] inline M4 insidelanes(F4 pa, F4 pb, M4 live, int32_t count, EdgeAt edgeat)
{
    M4 odd = noflags(), onedge = noflags();
    for (int32_t e = 0; e < count; e++) {
        const EdgeLanes& g = edgeat(e);
        const M4 crossing = ge(pa, g.lo) & lt(pa, g.hi) & live;
        if (!Full) {
            const int crossbits = lanebits(crossing);
            if (!crossbits)
                continue;
            // Clear of the edge's crossing values: no division needed.
            const M4 above = gt(pb, g.bmax);
            if ((crossbits & ~lanebits(above | lt(pb, g.bmin))) == 0) {
                odd = odd ^ (crossing & above);
                continue;
            }
        }
        const F4 bc = g.db * (pa - g.ai) / g.da + g.bi;
        odd = odd ^ (crossing & gt(pb, bc));
        onedge = onedge | (crossing & eq(pb, bc));
    }
    return (odd | onedge) & live;
}

// Rows [r0, r1) of a column through insidelanes. With Inside,
// groups of rows wholly in `in` are surely inside (the caller has proven it)
// and go untested.
template <bool Full, bool Inside, typename EdgeAt>
[[gnu::always_inline]] inline void centralrows(const Column& c, int32_t r0, int32_t r1, RowSpan in, int32_t count,
                                               EdgeAt edgeat)
{
    const PolygonShape& p = c.p;
    const PlaneLanes& L = c.L;
    const Painter& d = c.d;
    const int32_t col = c.col, axes = p.axes;
    const uint32_t lit = p.lit;
    const F4 steps = f4(0, 1, 2, 3), zero = f4(0);
    const F4 vdx = f4(c.dx), dxa = f4(c.dxa);
    // The points of the group at row that lie inside (none when it is hidden).
    // Both lambdas are inlined by force: in a function this large the
    // compiler would call them and pass their lanes through memory.
    auto points = [&] [[gnu::always_inline]] (int32_t row, bool hidden) {
        const F4 dy = (f4(float(row)) + steps) - L.halfh;
        const F4 k = (dxa + dy * L.B) + L.fc;
        const M4 live = hidden ? noflags() : andnot(eq(k, zero), firstlanes(r1 - row));
        const F4 s = L.minusd / k;
        const F4 px = s * vdx, py = s * dy, pz = s * L.f;
        const bool sure = Inside && row >= in.r0 && row + 4 <= in.r1;
        const M4 inside = sure || hidden ? live : insidelanes<Full>(axes == 2 ? pz : px, axes == 1 ? pz : py, live, count, edgeat);
        return Points4{rows4(d, col, row, r1), inside, px, py, pz};
    };
    // One group alone: under a directed light, or the last of a column's rows.
    auto one = [&] [[gnu::always_inline]] (int32_t row) {
        if (hidden4(d, col, row, r1))
            return;
        const Points4 g = points(row, false);
        if (!lanebits(g.live))
            return;
        if (d.directed)
            litdots(d, g.at, g.live, g.z, lit);
        else
            dots(d, g.at, g.live, g.x, g.y, g.z, L.nx, L.ny, L.nz, L.nl);
    };
    if (d.directed) {  // one colour: no long chain to overlap
        for (int32_t row = r0; row < r1; row += 4)
            one(row);
        return;
    }
    const Vector4 n = {L.nx, L.ny, L.nz};
    int32_t row = r0;
    for (; row + 4 < r1; row += 8) {
        const bool ha = hidden4(d, col, row, r1), hb = hidden4(d, col, row + 4, r1);
        if (ha && hb)
            continue;
        const Points4 a = points(row, ha), b = points(row + 4, hb);
        if (lanebits(a.live | b.live))
            dotpair(d, a, n, b, n, [&](const Vector4&) { return L.nl; });
    }
    if (row < r1)
        one(row);
}

// The same for columns [c0, c1) of one row, four columns at a time: a wide,
// low polygon fills its lanes better so. dx varies across the lanes, dy not.
template <bool Full, typename EdgeAt>
[[gnu::always_inline]] inline void centralcols(const FastView& v, const Painter& d, const PolygonShape& p,
                                               const PlaneLanes& L, int32_t row, int32_t c0, int32_t c1, int32_t count,
                                               EdgeAt edgeat)
{
    const int32_t axes = p.axes;
    const uint32_t lit = p.lit;
    const F4 steps = f4(0, 1, 2, 3), zero = f4(0);
    const float dy = float(row) - v.H / 2.0f;
    const F4 dyb = f4(dy * p.B), vdy = f4(dy);
    for (int32_t col = c0; col < c1; col += 4) {
        const Cols4 lanes = cols4(d, col, row, c1);
        if (hidden4(d, lanes))
            continue;
        const F4 dx = (f4(float(col)) + steps) - L.halfw;
        const F4 k = (dx * L.A + dyb) + L.fc;
        const M4 live = andnot(eq(k, zero), firstlanes(c1 - col));
        const F4 s = L.minusd / k;
        const F4 px = s * dx, py = s * vdy, pz = s * L.f;
        const F4 pa = axes == 2 ? pz : px;
        const F4 pb = axes == 1 ? pz : py;
        const M4 inside = insidelanes<Full>(pa, pb, live, count, edgeat);
        if (!lanebits(inside))
            continue;
        if (d.directed)
            litdots(d, lanes, inside, pz, lit);
        else
            dots(d, lanes, inside, px, py, pz, L.nx, L.ny, L.nz, L.nl);
    }
}

// One sign part [r0, r1) of a column; `far` is its end row with the largest
// |k|; `in` the column's rows surely inside, if any.
void centralpart(const Column& c, int32_t r0, int32_t r1, int32_t far, RowSpan in)
{
    if (r0 >= r1)
        return;
    const PolygonShape& p = c.p;
    // Behind the eye (k has the sign of D, so s < 0): with clipping every
    // point is discarded, provided the depth nearest 0, at the largest |k|, is
    // below 0 and not an underflowed -0.
    const bool behind = p.D > 0 ? c.k(r0) > 0 : c.k(r0) < 0;
    if (behind && c.v.clip && c.s(far) * c.v.f < 0)
        return;
    const Edge* edges = FastEdges + p.first;
    const float a0 = c.a(r0), a1 = c.a(r1 - 1);
    const float amin = a0 < a1 ? a0 : a1, amax = a0 < a1 ? a1 : a0;
    EdgeLanes picked[MaxEdgeLanes];
    int32_t count = 0;
    // NaN at an end (an infinite s times a zero dx): every edge may cross.
    const bool filter = amin == amin && amax == amax;
    // An edge with an empty a-range (lo = hi) never crosses.
    for (int32_t e = 0; e < p.count && count < MaxEdgeLanes; e++)
        if (edges[e].lo < edges[e].hi && (!filter || (edges[e].lo <= amax && amin < edges[e].hi)))
            picked[count++] = lanesof(edges[e]);
    // No edge within reach: the test finds no crossing, so no row is inside.
    if (count == 0)
        return;
    const Painter d = c.d;
    const Column own{c.v, d, c.p, c.L, c.col, c.dx, c.dxa, c.fc};
    if (count < MaxEdgeLanes) {
        centralrows<false, true>(own, r0, r1, in, count, [&](int32_t e) -> const EdgeLanes& { return picked[e]; });
        return;
    }
    // Many edges in reach: spread each one as it is needed.
    centralrows<false, true>(own, r0, r1, in, p.count, [&](int32_t e) { return lanesof(edges[e]); });
}

// monotone: k can neither overflow nor turn NaN, so the parts above exist.
void centralcolumn(const FastView& v, const Painter& d, const PolygonShape& p, const PlaneLanes& L, int32_t col,
                   bool monotone, RowSpan in)
{
    const float dx = float(col) - v.W / 2.0f;
    const Column c{v, d, p, L, col, dx, dx * p.A, v.f * p.C};
    const int32_t y0 = p.box.y0, y1 = p.box.y1;
    if (!monotone) {
        const Edge* edges = FastEdges + p.first;
        const Painter own = d;
        const Column local{v, own, p, L, col, dx, dx * p.A, v.f * p.C};
        centralrows<false, false>(local, y0, y1, RowSpan{0, 0}, p.count, [&](int32_t e) { return lanesof(edges[e]); });
        return;
    }
    if (p.B == 0) {  // k is the same all down the column
        centralpart(c, y0, y1, y0, in);
        return;
    }
    // Rising k: negative rows, zero rows, positive rows; falling k the other way round.
    const bool rising = p.B > 0;
    const int32_t zero0 = firstrow(y0, y1, [&](int32_t r) { return rising ? !(c.k(r) < 0) : !(c.k(r) > 0); });
    const int32_t zero1 = firstrow(zero0, y1, [&](int32_t r) { return rising ? c.k(r) > 0 : c.k(r) < 0; });
    centralpart(c, y0, zero0, y0, in);
    centralpart(c, zero1, y1, y1 - 1, in);
}

// A polygon in front of the eye with certified screen rows (fastscreen.cpp).
// Every edge is tested: with at most FullEdges of them, choosing those a
// column part can reach costs more than it saves.
void spannedpolygon(const FastView& v, const Painter& paint, const PolygonShape& p, const PlaneLanes& L,
                    const PixelBox& whole, int32_t x0, int32_t x1)
{
    const Painter d = paint;  // one copy for every column
    const Edge* edges = FastEdges + p.first;
    EdgeLanes spread[FullEdges];
    for (int32_t e = 0; e < p.count; e++)
        spread[e] = lanesof(edges[e]);
    auto edgeat = [&](int32_t e) -> const EdgeLanes& { return spread[e]; };
    for (int32_t col = x0; col < x1; col++) {
        // The column's rows (found once per frame), in the tile.
        const RowSpan span = FastSpans[p.spanat + col - whole.x0];
        const PixelBox rows = {col, col + 1, std::max(span.r0, p.box.y0), std::min(span.r1, p.box.y1)};
        if (rows.y0 >= rows.y1)
            continue;
        const float dx = float(col) - v.W / 2.0f;
        const Column c{v, d, p, L, col, dx, dx * p.A, v.f * p.C};
        const RowSpan in =
            rows.y1 - rows.y0 >= InsideRows ? polygoninside(p, col, rows.y0, rows.y1) : RowSpan{0, 0};
        if (p.count == 3)
            centralrows<true, true>(c, rows.y0, rows.y1, in, 3, edgeat);
        else
            centralrows<true, true>(c, rows.y0, rows.y1, in, p.count, edgeat);
    }
}

// Whether k has one sign over box (monotone in row and column: its corners
// show it), and then whether every line of sight there meets the plane behind
// the eye, the depth nearest 0 (at the largest |k|) being below 0, so that
// clipping discards every point.
struct Side {
    bool onesign, behind;
};

Side sideof(const FastView& v, const PolygonShape& p, const PixelBox& box)
{
    auto kat = [&](int32_t col, int32_t row) {
        return ((float(col) - v.W / 2.0f) * p.A + (float(row) - v.H / 2.0f) * p.B) + v.f * p.C;
    };
    const float k[4] = {kat(box.x0, box.y0), kat(box.x0, box.y1 - 1), kat(box.x1 - 1, box.y0), kat(box.x1 - 1, box.y1 - 1)};
    const bool positive = k[0] > 0 && k[1] > 0 && k[2] > 0 && k[3] > 0;
    if (!positive && !(k[0] < 0 && k[1] < 0 && k[2] < 0 && k[3] < 0))
        return Side{false, false};
    if (positive != (p.D > 0))
        return Side{true, false};
    float far = k[0];
    for (float ki : k)
        if (std::fabs(ki) > std::fabs(far))
            far = ki;
    return Side{true, -p.D / far * v.f < 0};
}

// Whether the literal test finds every point of box outside: none has its
// coordinate a in an edge's a-range (so no crossing), or every one lies below
// every crossing it has, or above every one (an even number of them: around
// a closed outline the test [a <= pa] changes at an even number of corners).
// A polygon reaching behind the eye is given the whole picture, and most
// tiles of it lie far off its edges.
//
// Exactly, k is linear over the box, so it lies between its corner values;
// where these keep |k| above 1e-3·S (S = |dx·A| + |dy·B| + |f·C|, its float
// error being at most 3.2u·S), the float k errs by less than 2e-4 of itself
// and P = s·d, s = −D / k, by less than 3e-4. s lies between its values at
// the least and the largest k, and P's coordinates (s·dx, s·dy, s·f) between
// the products of the ends; widened by 1e-3 of their size, the ranges hold
// every float pa and pb.
bool offedges(const FastView& v, const PolygonShape& p, const PixelBox& box)
{
    const double A = p.A, B = p.B, C = p.C, D = p.D, f = v.f;
    const double dx0 = box.x0 - double(v.halfw), dx1 = box.x1 - 1 - double(v.halfw);
    const double dy0 = box.y0 - double(v.halfh), dy1 = box.y1 - 1 - double(v.halfh);
    const double k[4] = {(dx0 * A + dy0 * B) + f * C, (dx0 * A + dy1 * B) + f * C, (dx1 * A + dy0 * B) + f * C,
                         (dx1 * A + dy1 * B) + f * C};
    const double kmin = std::min(std::min(k[0], k[1]), std::min(k[2], k[3]));
    const double kmax = std::max(std::max(k[0], k[1]), std::max(k[2], k[3]));
    const double S = std::max(std::fabs(dx0), std::fabs(dx1)) * std::fabs(A) +
                     std::max(std::fabs(dy0), std::fabs(dy1)) * std::fabs(B) + std::fabs(f * C);
    if (!(kmin > 1e-3 * S || kmax < -1e-3 * S))
        return false;  // k near 0 somewhere, or not finite: no bound
    const double s0 = -D / kmin, s1 = -D / kmax;
    // s·e over the box for e between e0 and e1, widened.
    auto range = [&](double e0, double e1, double* lo, double* hi) {
        const double c[4] = {s0 * e0, s0 * e1, s1 * e0, s1 * e1};
        *lo = std::min(std::min(c[0], c[1]), std::min(c[2], c[3]));
        *hi = std::max(std::max(c[0], c[1]), std::max(c[2], c[3]));
        const double margin = 1e-3 * std::max(std::fabs(*lo), std::fabs(*hi)) + 1e-300;
        *lo -= margin, *hi += margin;
        return std::isfinite(*lo) && std::isfinite(*hi);
    };
    double alo, ahi, blo, bhi;
    if (!range(p.axes == 2 ? f : dx0, p.axes == 2 ? f : dx1, &alo, &ahi) ||
        !range(p.axes == 1 ? f : dy0, p.axes == 1 ? f : dy1, &blo, &bhi))
        return false;
    bool below = true, above = true;
    const Edge* edges = FastEdges + p.first;
    for (int32_t e = 0; e < p.count; e++) {
        const Edge& g = edges[e];
        if (g.lo < g.hi && g.lo <= ahi && alo < g.hi) {
            below = below && bhi < g.bmin;
            above = above && blo > g.bmax;
        }
    }
    return below || above;
}

// The common small polygon: a few edges, and k of one sign over the whole
// box. k is monotone in the column as in the row, so its four corners show
// that; then the edges are spread once and no column needs searching.
bool simplepolygon(const FastView& v, const Painter& paint, const PolygonShape& p, const PixelBox& whole, int32_t x0,
                   int32_t x1)
{
    if (p.count > FullEdges)
        return false;
    if (p.spans) {
        spannedpolygon(v, paint, p, planelanes(v, p), whole, x0, x1);
        return true;
    }
    // Tested on the polygon's whole rectangle, so that a tile draws a polygon
    // the way the whole of it is best drawn.
    const Side side = sideof(v, p, whole);
    if (!side.onesign)
        return false;
    if (side.behind && v.clip)
        return true;
    const Painter d = paint;  // one copy for every column
    const int32_t y0 = p.box.y0, y1 = p.box.y1;
    const PlaneLanes L = planelanes(v, p);
    auto column = [&](int32_t col) {
        const float dx = float(col) - v.W / 2.0f;
        return Column{v, d, p, L, col, dx, dx * p.A, v.f * p.C};
    };
    const Edge* edges = FastEdges + p.first;
    EdgeLanes spread[FullEdges];
    for (int32_t e = 0; e < p.count; e++)
        spread[e] = lanesof(edges[e]);
    auto edgeat = [&](int32_t e) -> const EdgeLanes& { return spread[e]; };
    // Across the rows where that fills fewer groups of four.
    const int32_t w = x1 - x0, h = y1 - y0;
    if (p.insideat < 0 && h * ((w + 3) / 4) < w * ((h + 3) / 4)) {
        for (int32_t row = y0; row < y1; row++) {
            if (p.count == 3)
                centralcols<true>(v, d, p, L, row, x0, x1, 3, edgeat);
            else
                centralcols<true>(v, d, p, L, row, x0, x1, p.count, edgeat);
        }
        return true;
    }
    for (int32_t col = x0; col < x1; col++) {
        const Column c = column(col);
        // The common small triangle has no inside rows to skip.
        if (p.count == 3 && p.insideat < 0)
            centralrows<true, false>(c, y0, y1, RowSpan{0, 0}, 3, edgeat);
        else if (p.insideat < 0)
            centralrows<true, false>(c, y0, y1, RowSpan{0, 0}, p.count, edgeat);
        else
            centralrows<true, true>(c, y0, y1, FastSpans[p.insideat + col - whole.x0], p.count, edgeat);
    }
    return true;
}

}  // namespace

void parallelcrossings(const PolygonShape& p, int32_t from, int32_t to)
{
    int32_t* stored = FastCrossings + p.crossat + size_t(ParallelEdges + 1) * size_t(from - p.box.x0);
    for (int32_t col = from; col < to; col++, stored += ParallelEdges + 1)
        stored[0] = parallelthresholds(p, col, p.box.y0, p.box.y1, stored + 1);
}

void drawpolygon(const PolygonShape& shape, const Tile& tile, int32_t id)
{
    const FastView& v = FastFrame;
    // The polygon as seen in the tile: its rectangle cut to the tile. Every
    // skip below holds on any part of the rectangle.
    PolygonShape p = shape;
    p.box = intile(p.box, tile);
    if (emptybox(p.box))
        return;
    // Under a directed light every point takes p.lit.
    ShadeLanes shade;
    if (!v.directed)
        shade = shadelanes(p.shade.colour, p.shade.ambient);
    const Painter d = painter(v, tile, id, &shade);
    const int32_t x0 = p.box.x0, x1 = p.box.x1;
    if (!v.central) {
        for (int32_t col = x0; col < x1; col++)
            parallelcolumn(d, p, shape.box, col);
        return;
    }
    // k cannot overflow (nor turn NaN) with these sizes, which keeps it monotone.
    const float size = std::max(std::fabs(p.A), std::max(std::fabs(p.B), std::fabs(p.C)));
    const bool monotone = size * (v.W + v.H + v.f) < 1e37f;
    if (monotone && simplepolygon(v, d, p, shape.box, x0, x1))
        return;
    // Behind the eye over the whole tile, or off every edge.
    if (monotone && v.clip && sideof(v, p, p.box).behind)
        return;
    if (monotone && offedges(v, p, p.box))
        return;
    const RowSpan* inside = p.insideat >= 0 ? FastSpans + p.insideat : nullptr;
    const PlaneLanes L = planelanes(v, p);
    for (int32_t col = x0; col < x1; col++)
        centralcolumn(v, d, p, L, col, monotone, inside ? inside[col - shape.box.x0] : RowSpan{0, 0});
}
