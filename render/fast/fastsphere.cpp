// Spheres, four rows of a column at a time, with the literal per-pixel
// expressions. What is skipped is skipped on proof:
//
// - Rows outside a column's certified span. A float q >= 0 needs the exact
//   quantity within the rounding errors of the literal expressions; the spans
//   are solved in double for a radius inflated well past those errors, then
//   widened by a row on each side.
// - The far point where the near one was stored: the far depth is never
//   smaller than the near one (or is NaN), so it cannot pass the strict depth
//   test (nor win a tie: it comes later in the drawing order). It is drawn
//   only where the near point was clipped or is NaN.
#include "render/fast/fastdot.h"

#include <algorithm>
#include <cmath>

RowSpan* FastSpans = nullptr;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int32_t WalkSide = 32;  // in pixels: spheres whose box is wider and taller walk their lanes

// Rows [r0, r1) of the box for the row interval [ylo, yhi] around the centre
// row offset `mid`, a row wider on each side.
RowSpan rowspan(double ylo, double yhi, double mid, const PixelBox& box)
{
    if (std::isnan(ylo) || std::isnan(yhi))
        return RowSpan{box.y0, box.y1};
    const double lo = std::max(ylo + mid, double(box.y0) - 1), hi = std::min(yhi + mid, double(box.y1) + 1);
    if (!(lo <= hi))
        return RowSpan{0, 0};
    return RowSpan{std::max(box.y0, int32_t(std::floor(lo)) - 1), std::min(box.y1, int32_t(std::ceil(hi)) + 2)};
}

// Parallel view: q = rp² − dx² − dy² in float is at least the exact value
// less 5u (rp² + dx² + dy²) and an underflow term; 1e-6 and 1e-40 bound them.
RowSpan parallelspan(const SphereShape& s, int32_t col)
{
    const double dx = double(s.C.x) - col, r2 = double(s.rp) * s.rp;
    const double h2 = (r2 * (1 + 1e-6) - dx * dx * (1 - 1e-6) + 1e-40) / (1 - 1e-6);
    if (!(h2 >= 0))
        return RowSpan{0, 0};
    const double h = std::sqrt(h2);
    return rowspan(-h, h, double(s.C.y), s.box);
}

[[gnu::always_inline]] inline void parallelcolumn(const Painter& d, const Painter& back, const SphereShape& s, int32_t col,
                                                  RowSpan span)
{
    const Vector C = s.C;
    const float rr = s.rr;
    const float u = float(col);
    const float dx = C.x - u;
    const float base = rr - dx * dx;
    const F4 cy = f4(C.y), cz = f4(C.z), uu = f4(u), nx = f4(u - C.x), steps = f4(0, 1, 2, 3);
    for (int32_t row = span.r0; row < span.r1; row += 4) {
        if (hidden4(d, col, row, span.r1))
            continue;
        const F4 vv = f4(float(row)) + steps;
        const F4 dy = cy - vv;
        F4 q = f4(base) - dy * dy;
        const M4 ok = ge(q, f4(0)) & firstlanes(span.r1 - row);
        if (!lanebits(ok))
            continue;
        q = sqrt4(q);
        const F4 z = cz - q;
        const Rows4 lanes = rows4(d, col, row, span.r1);
        const int stored = dots(d, lanes, ok, uu, vv, z, nx, vv - cy, neg(q));
        if (!d.clip)
            continue;
        const int clipped = lanebits(ok & lt(z, f4(0))) & ~stored;
        if (clipped)
            dots(back, lanes, lanemask(clipped), uu, vv, cz + q, f4(C.x) - uu, cy - vv, neg(q));
    }
}

// The literal's two meeting points for one line of sight.
void spherepoints(const Painter& d, const Painter& back, int32_t col, int32_t row, const SphereShape& s, Vector near,
                  Vector far)
{
    dotone(d, col, row, near.x, near.y, near.z, s.front, subv(near, s.C));
    dotone(back, col, row, far.x, far.y, far.z, s.back, subv(s.C, far));
}

// A line of sight through the eye's foot of the perpendicular (C·d exactly 0):
// the literal's own treatment.
void footateye(const FastView& v, const Painter& d, const Painter& back, int32_t col, int32_t row, const SphereShape& s)
{
    const Vector e = {float(col) - v.W / 2.0f, float(row) - v.H / 2.0f, v.f};
    const float q = s.rp * s.rp - multvv(s.C, s.C);
    if (!(q >= 0))
        return;
    const float t = std::sqrt(q) / lengthv(e);
    spherepoints(d, back, col, row, s, multsv(-t, e), multsv(t, e));
}

// Central view. A float q >= 0 needs the line of sight within rp·(1 + 2.1u)
// + 9.3u·|C| of the centre; s.R is past that with room to spare. The rows of
// one column are the lines of sight in one plane through the eye: the sphere
// of radius R cuts it in a circle, and the lines through the eye that meet the
// circle lie within an angle φ of the direction to its centre (mod π). Angles
// are widened by 1e-9, far beyond the double rounding of atan2, asin and tan.
int centralspans(const FastView& v, const SphereShape& s, int32_t col, RowSpan spans[SpansPerColumn])
{
    const double x = double(col) - v.halfw, f = v.f;
    const double cx = s.C.x, cy = s.C.y, cz = s.C.z, R = s.R;
    const double L = std::sqrt(x * x + f * f);
    const double off = (cx * f - cz * x) / L;  // the centre's distance from the column's plane
    if (!(std::fabs(off) < R))
        return 0;
    const double rho = std::sqrt(R * R - off * off);
    const double c1 = (cx * x + cz * f) / L, c2 = cy;  // the centre within the plane
    // Clipping: a circle wholly behind the eye gives points of negative depth
    // only (and far enough from 0 not to underflow).
    if (v.clip && c1 < -2 * R && R * f / (double(v.W) + v.H + f) > 1e-25)
        return 0;
    const double phi = std::asin(std::min(1.0, rho / std::sqrt(c1 * c1 + c2 * c2)));
    double theta = std::atan2(c2, c1);
    if (theta > Pi / 2)
        theta -= Pi;
    else if (theta <= -Pi / 2)
        theta += Pi;
    const double margin = 1e-9;
    int count = 0;
    for (double shift : {0.0, Pi, -Pi}) {
        const double lo = std::max(theta - phi - margin + shift, -Pi / 2);
        const double hi = std::min(theta + phi + margin + shift, Pi / 2);
        if (!(lo < hi))
            continue;
        const double edge = Pi / 2 - 1e-7;
        const double ylo = lo <= -edge ? -1e300 : L * std::tan(lo);
        const double yhi = hi >= edge ? 1e300 : L * std::tan(hi);
        const RowSpan span = rowspan(ylo - 1e-9 * std::fabs(ylo), yhi + 1e-9 * std::fabs(yhi), v.halfh, s.box);
        if (span.r0 < span.r1)
            spans[count++] = span;
    }
    // At most the main piece and one wrapped piece overlap the picture; keep them in row order, apart.
    std::sort(spans, spans + count, [](RowSpan a, RowSpan b) { return a.r0 < b.r0; });
    int merged = 0;
    for (int i = 0; i < count; i++) {
        if (merged && spans[i].r0 <= spans[merged - 1].r1)
            spans[merged - 1].r1 = std::max(spans[merged - 1].r1, spans[i].r1);
        else
            spans[merged++] = spans[i];
    }
    return merged;
}

// Where the lines of sight of a group meet the sphere, by the literal's
// expressions: I the foot of the perpendicular from the centre, q the square
// of the half chord's ratio to |I| (the ratio once its root is taken); ok
// where q >= 0, foot where C·d is exactly 0.
struct Sight4 {
    M4 ok, foot;
    F4 ix, iy, iz, q;
};

// Walk: large spheres take their rows in pairs of groups, whose long chains
// overlap (dotpair); a small one finds a group's lanes only when it meets
// it. BackLit: the far points' colour is self-lit (fastdot.h).
template <bool Walk, bool BackLit>
[[gnu::always_inline]] inline void centralcolumn(const FastView& v, const Painter& d, const Painter& back,
                                                 const SphereShape& s, int32_t col, RowSpan span)
{
    const Vector C = s.C;
    const F4 rr = f4(s.rr);
    const float dx = float(col) - v.W / 2.0f;
    const float cxdx = C.x * dx, czf = C.z * v.f, dxdx = dx * dx, ff = v.f * v.f;
    const F4 halfh = f4(v.H / 2.0f), steps = f4(0, 1, 2, 3), zero = f4(0), one = f4(1);
    const F4 cx = f4(C.x), cy = f4(C.y), cz = f4(C.z), vdx = f4(dx), vf = f4(v.f);
    auto sight = [&](int32_t row, bool hidden) {
        const M4 live = hidden ? noflags() : firstlanes(span.r1 - row);
        const F4 dy = (f4(float(row)) + steps) - halfh;
        const F4 cd = (f4(cxdx) + cy * dy) + f4(czf);
        const F4 dd = (f4(dxdx) + dy * dy) + f4(ff);
        const F4 t = cd / dd;
        Sight4 g;
        g.ix = t * vdx, g.iy = t * dy, g.iz = t * vf;
        const F4 mx = cx - g.ix, my = cy - g.iy, mz = cz - g.iz;
        g.q = (rr - ((mx * mx + my * my) + mz * mz)) / ((g.ix * g.ix + g.iy * g.iy) + g.iz * g.iz);
        g.foot = eq(cd, zero) & live;
        g.ok = andnot(g.foot, ge(g.q, zero) & live);
        return g;
    };
    // The near points (1 − q) I or (1 + q) I, by the side of the eye I lies on.
    auto nearof = [&](const Sight4& g, const Rows4& at) {
        const F4 f = select(gt(g.iz, zero), one - g.q, one + g.q);
        return Points4{at, g.ok, f * g.ix, f * g.iy, f * g.iz};
    };
    // The far point counts only where the near one was clipped or is NaN.
    auto farbits = [&](const Sight4& g, const Points4& near, int stored) {
        M4 farlanes = andnot(eq(near.z, near.z), g.ok);
        if (d.clip)
            farlanes = farlanes | (g.ok & lt(near.z, zero));
        return lanebits(farlanes) & ~stored;
    };
    auto farof = [&](const Sight4& g, const Rows4& at, int bits) {
        const F4 f = select(gt(g.iz, zero), one + g.q, one - g.q);
        return Points4{at, lanemask(bits), f * g.ix, f * g.iy, f * g.iz};
    };
    auto inward = [&](const Points4& p) { return Vector4{cx - p.x, cy - p.y, cz - p.z}; };
    auto feet = [&](const Sight4& g, int32_t row) {
        const int bits = lanebits(g.foot);
        for (int i = 0; bits && i < 4; i++)
            if (bits >> i & 1)
                footateye(v, d, back, col, row + i, s);
    };
    if (!Walk) {
        static_assert(Walk || !BackLit, "self-lit insides are drawn only by the large spheres' loop");
        for (int32_t row = span.r0; row < span.r1; row += 4) {
            if (hidden4(d, col, row, span.r1))
                continue;
            Sight4 g = sight(row, false);
            if (lanebits(g.ok)) {
                g.q = sqrt4(g.q);
                const Points4 near = nearof(g, rows4(d, col, row, span.r1));
                const int stored = dots(d, near.at, near.live, near.x, near.y, near.z, near.x - cx, near.y - cy, near.z - cz);
                if (const int bits = farbits(g, near, stored)) {
                    const Points4 far = farof(g, near.at, bits);
                    const Vector4 n = inward(far);
                    dots(back, far.at, far.live, far.x, far.y, far.z, n.x, n.y, n.z);
                }
            }
            feet(g, row);
        }
        return;
    }
    auto length = [](const Vector4& n) { return sqrt4((n.x * n.x + n.y * n.y) + n.z * n.z); };
    for (int32_t row = span.r0; row < span.r1; row += 8) {
        const bool hasb = row + 4 < span.r1;
        const Rows4 la = rows4(d, col, row, span.r1);
        const Rows4 lb = hasb ? below4(la, row + 4, span.r1) : la;
        const bool ha = hidden4(d, la), hb = !hasb || hidden4(d, lb);
        if (ha && hb)
            continue;
        Sight4 a = sight(row, ha), b = sight(row + 4, hb);
        if (lanebits(a.ok | b.ok)) {
            a.q = sqrt4(a.q), b.q = sqrt4(b.q);
            const Points4 na = nearof(a, la), nb = nearof(b, lb);
            const int stored = dotpair(d, na, Vector4{na.x - cx, na.y - cy, na.z - cz}, nb,
                                       Vector4{nb.x - cx, nb.y - cy, nb.z - cz}, length);
            const int fa = farbits(a, na, stored & 15), fb = farbits(b, nb, stored >> 4);
            if (fa | fb) {
                const Points4 pa = farof(a, la, fa), pb = farof(b, lb, fb);
                if (BackLit) {
                    if (fa)
                        litdots(back, la, pa.live, pa.z, selflitword(s.back));
                    if (fb)
                        litdots(back, lb, pb.live, pb.z, selflitword(s.back));
                } else {
                    dotpair(back, pa, inward(pa), pb, inward(pb), length);
                }
            }
        }
        feet(a, row);
        feet(b, row + 4);
    }
}

}  // namespace

void spherespans(const SphereShape& s, int32_t from, int32_t to)
{
    const FastView& v = FastFrame;
    RowSpan* spans = FastSpans + s.spanat + size_t(SpansPerColumn) * size_t(from - s.box.x0);
    for (int32_t col = from; col < to; col++, spans += SpansPerColumn) {
        const int count = centralspans(v, s, col, spans);
        for (int i = count; i < SpansPerColumn; i++)
            spans[i] = RowSpan{0, 0};
    }
}

void drawsphere(const SphereShape& shape, const Tile& tile, int32_t id)
{
    const FastView& v = FastFrame;
    // The sphere as seen in the tile: its rectangle cut to the tile, which
    // every span below is clamped to.
    SphereShape s = shape;
    s.box = intile(s.box, tile);
    if (emptybox(s.box))
        return;
    const ShadeLanes front = shadelanes(s.front.colour, s.front.ambient);
    const ShadeLanes inside = shadelanes(s.back.colour, s.back.ambient);
    const Painter d = painter(v, tile, id, &front), back = painter(v, tile, id + 1, &inside);
    const RowSpan whole = {s.box.y0, s.box.y1};
    const bool large = std::min(shape.box.x1 - shape.box.x0, shape.box.y1 - shape.box.y0) > WalkSide;
    // The inside of a large sphere (a sky) often shows its colour whatever the light.
    const bool backlit = large && selflit(s.back);
    for (int32_t col = s.box.x0; col < s.box.x1; col++) {
        if (!v.central) {
            parallelcolumn(d, back, s, col, s.spans ? parallelspan(s, col) : whole);
            continue;
        }
        if (!s.spans) {
            if (backlit)
                centralcolumn<true, true>(v, d, back, s, col, whole);
            else if (large)
                centralcolumn<true, false>(v, d, back, s, col, whole);
            else
                centralcolumn<false, false>(v, d, back, s, col, whole);
            continue;
        }
        const RowSpan* spans = FastSpans + s.spanat + SpansPerColumn * (col - shape.box.x0);
        for (int i = 0; i < SpansPerColumn; i++) {
            const RowSpan span = {std::max(spans[i].r0, s.box.y0), std::min(spans[i].r1, s.box.y1)};
            if (span.r0 >= span.r1)
                continue;
            if (backlit)
                centralcolumn<true, true>(v, d, back, s, col, span);
            else
                centralcolumn<true, false>(v, d, back, s, col, span);
        }
    }
}
