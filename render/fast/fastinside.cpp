// The rows of a central-view column that are surely inside a polygon, for
// polygons without screen spans (fastscreen.cpp): those that reach behind the
// eye or towards the horizon, such as floors, walls and ground planes. There
// the inside test is left out.
//
// The lines of sight of one column meet the plane along a line; the exact
// points of rows ya .. yb lie, in the test's coordinates (a, b), on the
// segment between those of ya and yb, in row order. Over those rows k is
// affine and of one sign, so with kmin its least |k| and S its largest
// |dx·A| + |dy·B| + |f·C| (both at an end), the literal float test is the
// exact even-odd test of a point moved by at most ρ (|pa| + |pb|), with
// ρ = r / (1 − r) + 2.2u and r = 3.2u·S / kmin, against edges moved by the
// crossing value's error (see fastscreen.cpp, where the same bound is
// derived). If the whole segment keeps further than the sum Δ from every
// edge, every row gets the exact answer, and one point of the segment tells
// what that answer is: when it is "inside", the rows need no test.
#include "render/fast/fast.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double U = 1.0 / 16777216.0;

struct Point2 {
    double a, b;
};

double cross(Point2 o, Point2 p, Point2 q)
{
    return (p.a - o.a) * (q.b - o.b) - (p.b - o.b) * (q.a - o.a);
}

// The square of the distance from p to segment st.
double pointsegment2(Point2 p, Point2 s, Point2 t)
{
    const double da = t.a - s.a, db = t.b - s.b, length2 = da * da + db * db;
    double u = length2 > 0 ? ((p.a - s.a) * da + (p.b - s.b) * db) / length2 : 0;
    u = std::min(1.0, std::max(0.0, u));
    const double ea = p.a - (s.a + u * da), eb = p.b - (s.b + u * db);
    return ea * ea + eb * eb;
}

// Whether segment pq keeps further than delta from segment st. Crossings and
// near crossings count as meeting: a wrong "meets" only costs a test.
bool apart(Point2 p, Point2 q, Point2 s, Point2 t, double delta)
{
    const double delta2 = delta * delta;
    if (pointsegment2(p, s, t) <= delta2 || pointsegment2(q, s, t) <= delta2 || pointsegment2(s, p, q) <= delta2 ||
        pointsegment2(t, p, q) <= delta2)
        return false;
    const double scale = (std::fabs(p.a) + std::fabs(p.b) + std::fabs(q.a) + std::fabs(q.b) + std::fabs(s.a) +
                          std::fabs(s.b) + std::fabs(t.a) + std::fabs(t.b));
    const double tolerance = 1e-9 * scale * scale;
    const double d1 = cross(s, t, p), d2 = cross(s, t, q), d3 = cross(p, q, s), d4 = cross(p, q, t);
    const bool straddle1 = !(d1 > tolerance && d2 > tolerance) && !(d1 < -tolerance && d2 < -tolerance);
    const bool straddle2 = !(d3 > tolerance && d4 > tolerance) && !(d3 < -tolerance && d4 < -tolerance);
    return !(straddle1 && straddle2);
}

// One column of a polygon in the test's coordinates: k, a and b of the
// exact point of a row as affine functions of the row (a and b times k).
struct Sweep {
    double k0, k1;  // k = k0 + k1·y
    double a0, a1;  // a·k = −D·(a0 + a1·y)
    double b0, b1;
    double D;

    double k(double y) const { return k0 + k1 * y; }
    Point2 at(double y) const
    {
        const double s = -D / k(y);
        return Point2{s * (a0 + a1 * y), s * (b0 + b1 * y)};
    }
};

// The literal even-odd rule at a point far from every edge.
bool evenodd(const Point2* corner, int32_t count, Point2 p)
{
    bool inside = false;
    for (int32_t i = 0; i < count; i++) {
        const Point2 s = corner[i], t = corner[i + 1 < count ? i + 1 : 0];
        const double lo = std::min(s.a, t.a), hi = std::max(s.a, t.a);
        if (!(lo <= p.a && p.a < hi))
            continue;
        if (p.b > s.b + (t.b - s.b) * (p.a - s.a) / (t.a - s.a))
            inside = !inside;
    }
    return inside;
}

// Whether rows [ya, yb] are surely inside.
bool certified(const Sweep& w, const FastView& v, const PolygonShape& p, double dx, const Point2* corner,
               double bcerror, int32_t ya, int32_t yb)
{
    const double ka = w.k(ya), kb = w.k(yb);
    if (!(ka * kb > 0) || !(-w.D / ka > 0))
        return false;
    const double kmin = std::min(std::fabs(ka), std::fabs(kb)) * (1 - 1e-12);
    const double f = v.f, A = p.A, B = p.B, C = p.C;
    const double dya = ya - double(v.halfh), dyb = yb - double(v.halfh);
    const double S = std::fabs(dx * A) + std::max(std::fabs(dya * B), std::fabs(dyb * B)) + std::fabs(f * C);
    const double r = 3.2 * U * S / kmin;
    if (!(r < 0.1))
        return false;
    const double rho = r / (1 - r) + 2.2 * U;
    const double span = std::max(std::fabs(w.a0 + w.a1 * ya) + std::fabs(w.b0 + w.b1 * ya),
                                 std::fabs(w.a0 + w.a1 * yb) + std::fabs(w.b0 + w.b1 * yb));
    const double pmax = std::fabs(w.D) / kmin * span;
    if (!(pmax < 1e30))
        return false;
    const double delta = (rho * pmax + bcerror) * (1 + 1e-6) + 1e-30;
    const Point2 pa = w.at(ya), pb = w.at(yb);
    for (int32_t i = 0; i < p.count; i++)
        if (!apart(pa, pb, corner[i], corner[i + 1 < p.count ? i + 1 : 0], delta))
            return false;
    // Apart from every edge, the segment is wholly inside or wholly outside.
    return evenodd(corner, p.count, Point2{(pa.a + pb.a) / 2, (pa.b + pb.b) / 2});
}

constexpr int32_t MostCorners = 16;
constexpr double MinimumRun = 24;  // rows: shorter runs do not repay the proof

}  // namespace

RowSpan columninside(const PolygonShape& p, int32_t col)
{
    const RowSpan none = {0, 0};
    if (p.count > MostCorners)
        return none;
    const FastView& v = FastFrame;
    const Edge* edges = FastEdges + p.first;
    Point2 corner[MostCorners];
    double bcerror = 1e-30;
    for (int32_t i = 0; i < p.count; i++) {
        corner[i] = Point2{edges[i].ai, edges[i].bi};
        bcerror = std::max(bcerror, 6.2 * U * std::fabs(double(edges[i].db)) + U * std::fabs(double(edges[i].bi)));
    }
    // The line of sight of row y is (dx, y − H/2, f); the test's coordinates
    // pick two of its components.
    const double dx = double(float(col) - v.W / 2.0f), f = v.f, h = v.halfh;
    Sweep w{dx * p.A + f * p.C - h * p.B, p.B, 0, 0, 0, 0, p.D};
    const double comp0[3] = {dx, -h, f}, comp1[3] = {0, 1, 0};  // u, v, w: c0 + c1·y
    const int ia = p.axes == 2 ? 2 : 0, ib = p.axes == 1 ? 2 : 1;
    w.a0 = comp0[ia], w.a1 = comp1[ia], w.b0 = comp0[ib], w.b1 = comp1[ib];

    // Rows where the column's line crosses an edge's line within the edge
    // split it into candidate runs; each run is then proven or dropped.
    double cuts[MostCorners + 3];
    int32_t n = 0;
    const double y0 = p.box.y0, y1 = p.box.y1 - 1;
    cuts[n++] = y0 - 1;
    cuts[n++] = y1 + 1;
    if (w.k1 != 0) {
        const double horizon = -w.k0 / w.k1;
        if (horizon > y0 && horizon < y1)
            cuts[n++] = horizon;
    }
    for (int32_t i = 0; i < p.count; i++) {
        const Point2 s = corner[i], t = corner[i + 1 < p.count ? i + 1 : 0];
        // (t − s) × (P − s) = 0 times k: affine in y.
        const double ea = t.a - s.a, eb = t.b - s.b;
        const double g0 = ea * (-w.D * w.b0 - s.b * w.k0) - eb * (-w.D * w.a0 - s.a * w.k0);
        const double g1 = ea * (-w.D * w.b1 - s.b * w.k1) - eb * (-w.D * w.a1 - s.a * w.k1);
        if (g1 == 0)
            continue;
        const double y = -g0 / g1;
        if (y > y0 && y < y1)
            cuts[n++] = y;
    }
    std::sort(cuts, cuts + n);
    // The longest run that is inside at its middle (a cheap look first: most
    // runs of a polygon's box are outside), proven with a row or eight to spare.
    int32_t run = -1;
    for (int32_t i = 0; i + 1 < n; i++) {
        if (cuts[i + 1] - cuts[i] < MinimumRun || (run >= 0 && cuts[i + 1] - cuts[i] <= cuts[run + 1] - cuts[run]))
            continue;
        const double middle = (cuts[i] + cuts[i + 1]) / 2;
        if (-w.D / w.k(middle) > 0 && evenodd(corner, p.count, w.at(middle)))
            run = i;
    }
    if (run < 0)
        return none;
    for (double gap : {1.0, 8.0}) {
        const int32_t ya = int32_t(std::ceil(cuts[run] + gap)), yb = int32_t(std::floor(cuts[run + 1] - gap));
        if (yb - ya < 8)
            break;
        if (certified(w, v, p, dx, corner, bcerror, ya, yb))
            return RowSpan{ya, yb + 1};
    }
    return none;
}
