// Where on the screen a central-view polygon can be drawn at all, with the
// rounding of the literal per-pixel test bounded.
//
// The literal test asks whether P's coordinates (pa, pb) lie inside the
// corners' (a, b) polygon, P being where the pixel's line of sight meets the
// plane. In float, with u = 2^-24:
//   k = (dx·A + dy·B) + f·C     errs by at most 3.2u·S, S = |dx·A| + |dy·B| + |f·C|;
//   s = −D / k, P = s·d         so each coordinate errs by at most ρ|P|, with
//                               ρ = r / (1 − r) + 2.2u and r = 3.2u·S / |k|;
//   bc = db·(pa − ai) / da + bi errs from the edge's line at pa by at most 6.2u|db| + u|bi|,
// and the half-open crossing rule leaves exactly one of two edges at a corner
// crossing for any pa. So the float test is the exact even-odd test of a point
// moved by at most ρ(|pa| + |pb|), against edges moved by at most that bc
// error: it cannot call a point inside that lies further than their sum, Δ,
// from the polygon.
//
// On the plane, the map from (a, b) to the screen has a derivative of at most
// 2 (f / w)(1 + (|u| + |v|) / w) (the dropped coordinate has the largest
// normal component, so its partial derivatives are at most 1), so such a
// point lies more than L·Δ pixels from the screen image of the polygon, the
// image of its corners lifted onto the plane along the dropped axis. Rows of
// a column further than that margin from the image are skipped.
#include "render/fast/fast.h"

#include <algorithm>
#include <cmath>

double* FastScreen = nullptr;

namespace {

constexpr double U = 1.0 / 16777216.0;

float kat(const FastView& v, const PolygonShape& p, int32_t col, int32_t row)
{
    const float dx = float(col) - v.W / 2.0f, dy = float(row) - v.H / 2.0f;
    return (dx * p.A + dy * p.B) + v.f * p.C;
}

}  // namespace

bool screenspans(PolygonShape* p)
{
    const FastView& v = FastFrame;
    const PixelBox& b = p->box;
    // k of one sign over the box (monotone in row and column: its corners
    // show it), and that sign in front of the eye.
    const float k[4] = {kat(v, *p, b.x0, b.y0), kat(v, *p, b.x0, b.y1 - 1), kat(v, *p, b.x1 - 1, b.y0),
                        kat(v, *p, b.x1 - 1, b.y1 - 1)};
    const bool positive = k[0] > 0 && k[1] > 0 && k[2] > 0 && k[3] > 0;
    if (!positive && !(k[0] < 0 && k[1] < 0 && k[2] < 0 && k[3] < 0))
        return false;
    if (positive == (p->D > 0))
        return false;  // behind the eye: s < 0

    const double f = v.f, A = p->A, B = p->B, C = p->C, D = p->D;
    const double dxmax = std::max(std::fabs(b.x0 - double(v.halfw)), std::fabs(b.x1 - 1 - double(v.halfw)));
    const double dymax = std::max(std::fabs(b.y0 - double(v.halfh)), std::fabs(b.y1 - 1 - double(v.halfh)));
    const double S = dxmax * std::fabs(A) + dymax * std::fabs(B) + f * std::fabs(C);
    double kmin = std::fabs(double(k[0]));
    for (float ki : k)
        kmin = std::min(kmin, std::fabs(double(ki)));
    kmin -= 3.2 * U * S;
    if (!(kmin > 0) || S / kmin > 1e4)
        return false;
    const double r = 3.2 * U * S / kmin;
    const double rho = r / (1 - r) + 2.2 * U;
    const double pmax = std::fabs(D) / kmin * std::sqrt(dxmax * dxmax + dymax * dymax + f * f);
    const Edge* edges = FastEdges + p->first;
    double bcerror = 1e-30;
    for (int32_t e = 0; e < p->count; e++)
        bcerror = std::max(bcerror, 6.2 * U * std::fabs(double(edges[e].db)) + U * std::fabs(double(edges[e].bi)));
    const double delta = rho * 2 * pmax + bcerror;

    // The corners lifted onto the plane along the dropped axis, and on screen.
    double wmin = INFINITY, uvmax = 0, far = 0;
    double* screen = FastScreen + 3 * size_t(p->first);
    for (int32_t e = 0; e < p->count; e++) {
        const double a = edges[e].ai, bb = edges[e].bi;
        double u, vv, w;
        if (p->axes == 0)
            u = a, vv = bb, w = -(A * a + B * bb + D) / C;
        else if (p->axes == 1)
            u = a, w = bb, vv = -(A * a + C * bb + D) / B;
        else
            w = a, vv = bb, u = -(B * bb + C * a + D) / A;
        if (!(w > 0))
            return false;
        wmin = std::min(wmin, w);
        uvmax = std::max(uvmax, std::fabs(u) + std::fabs(vv));
        screen[3 * e] = u * f / w + v.halfw;
        screen[3 * e + 1] = vv * f / w + v.halfh;
        far = std::max(far, std::fabs(screen[3 * e]) + std::fabs(screen[3 * e + 1]));
    }
    for (int32_t e = 0; e < p->count; e++) {  // each edge's slope, to its next corner
        const int32_t j = e + 1 < p->count ? e + 1 : 0;
        const double dx = screen[3 * j] - screen[3 * e];
        screen[3 * e + 2] = dx == 0 ? 0 : (screen[3 * j + 1] - screen[3 * e + 1]) / dx;
    }
    if (!(wmin > 8 * delta) || !std::isfinite(uvmax))
        return false;
    const double lipschitz = 2 * f / (wmin / 2) * (1 + (uvmax + 4 * delta) / (wmin / 2));
    // Plus the double rounding of the screen corners and of the rows found from them.
    p->margin = lipschitz * delta + 1e-6 + 1e-12 * far;
    if (!std::isfinite(far))
        return false;
    return p->margin < 8;
}

// Edge by edge, each over the columns it can reach, rather than column by
// column over every edge: the same values in the same expressions, so the
// rows are those of a column taken alone, at a fraction of the cost.
void polygonspans(const PolygonShape& p, int32_t from, int32_t to)
{
    const double* screen = FastScreen + 3 * size_t(p.first);
    const double m = p.margin;
    constexpr int32_t Strip = 256;  // columns at a time
    double ymins[Strip], ymaxs[Strip];
    for (int32_t c0 = from; c0 < to; c0 += Strip) {
        const int32_t n = std::min(Strip, to - c0);
        std::fill(ymins, ymins + n, INFINITY);
        std::fill(ymaxs, ymaxs + n, -INFINITY);
        for (int32_t i = 0; i < p.count; i++) {
            const int32_t j = i + 1 < p.count ? i + 1 : 0;
            const double x1 = screen[3 * i], y1 = screen[3 * i + 1], slope = screen[3 * i + 2];
            const double x2 = screen[3 * j], y2 = screen[3 * j + 1];
            // A column col meets the edge where [col - m, col + m] meets its x-range:
            // only between these (a column wider on each side, for the rounding).
            const double low = double(c0 - 1), high = double(c0 + n);
            const double first = std::min(std::max(std::min(x1, x2) - m - 1, low), high);
            const double last = std::max(std::min(std::max(x1, x2) + m + 1, high), low);
            for (int32_t col = std::max(c0, int32_t(first)); col < std::min(c0 + n, int32_t(last) + 1); col++) {
                const double xl = col - m, xh = col + m;
                // The edge's part over [xl, xh]: a vertical edge whole, else its ends there.
                const double lo = std::max(std::min(x1, x2), xl), hi = std::min(std::max(x1, x2), xh);
                if (!(lo <= hi))
                    continue;
                const double ya = x1 == x2 ? y1 : y1 + slope * (lo - x1);
                const double yb = x1 == x2 ? y2 : y1 + slope * (hi - x1);
                double& ymin = ymins[col - c0];
                double& ymax = ymaxs[col - c0];
                ymin = std::min(ymin, std::min(ya, yb));
                ymax = std::max(ymax, std::max(ya, yb));
            }
        }
        RowSpan* out = FastSpans + p.spanat + (c0 - p.box.x0);
        for (int32_t k = 0; k < n; k++) {
            const double lo = std::max(ymins[k] - m, double(p.box.y0)), hi = std::min(ymaxs[k] + m, double(p.box.y1));
            if (!(lo <= hi)) {
                out[k] = RowSpan{0, 0};
                continue;
            }
            // Both lie in [y0, y1], so truncation is the floor.
            const int32_t below = int32_t(lo), above = int32_t(hi);
            out[k] = RowSpan{std::max(p.box.y0, below + (double(below) < lo)), std::min(p.box.y1, above + 1)};
        }
    }
}

// The same margin certifies the inside: a pixel further than it from every
// edge of the screen image gets the exact even-odd answer from the float
// test, so where that answer is "inside" the test can be left out. The rows
// within the margin of an edge form a zone per edge; between zones the
// answer is the same for every row, and the crossings of the column (each
// inside its edge's zone) tell it.
RowSpan polygoninside(const PolygonShape& p, int32_t col, int32_t y0, int32_t y1)
{
    constexpr int32_t MostEdges = 8;
    RowSpan none = {y0, y0};
    if (p.count > MostEdges)
        return none;
    const double* screen = FastScreen + 3 * size_t(p.first);
    const double x = col, xl = x - p.margin, xh = x + p.margin;
    double zlo[MostEdges], zhi[MostEdges], cross[MostEdges];
    int32_t zones = 0, crossings = 0;
    for (int32_t i = 0; i < p.count; i++) {
        const int32_t j = i + 1 < p.count ? i + 1 : 0;
        const double x1 = screen[3 * i], y1 = screen[3 * i + 1], slope = screen[3 * i + 2];
        const double x2 = screen[3 * j], y2 = screen[3 * j + 1];
        const double lo = std::max(std::min(x1, x2), xl), hi = std::min(std::max(x1, x2), xh);
        if (!(lo <= hi))
            continue;
        const double ya = x1 == x2 ? y1 : y1 + slope * (lo - x1);
        const double yb = x1 == x2 ? y2 : y1 + slope * (hi - x1);
        if (!std::isfinite(ya) || !std::isfinite(yb))
            return none;
        zlo[zones] = std::min(ya, yb) - p.margin;
        zhi[zones++] = std::max(ya, yb) + p.margin;
        if (std::min(x1, x2) <= x && x < std::max(x1, x2))
            cross[crossings++] = y1 + slope * (x - x1);
    }
    // Zones in order of their tops, each gap between them one piece.
    for (int32_t i = 1; i < zones; i++)
        for (int32_t k = i; k > 0 && zlo[k] < zlo[k - 1]; k--)
            std::swap(zlo[k], zlo[k - 1]), std::swap(zhi[k], zhi[k - 1]);
    RowSpan best = none;
    double reach = zones ? zhi[0] : 0;
    for (int32_t i = 1; i < zones; i++) {
        if (zlo[i] > reach) {
            const double mid = (reach + zlo[i]) / 2;
            int32_t below = 0;
            for (int32_t c = 0; c < crossings; c++)
                below += cross[c] < mid;
            const double lo = std::max(reach, y0 - 1.0), hi = std::min(zlo[i], y1 + 1.0);
            const RowSpan rows = {std::max(y0, int32_t(std::floor(lo)) + 1),
                                  std::min(y1, int32_t(std::ceil(hi)))};
            if (below % 2 == 1 && rows.r1 - rows.r0 > best.r1 - best.r0)
                best = rows;
        }
        reach = std::max(reach, zhi[i]);
    }
    return best;
}
