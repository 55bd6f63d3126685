// How near a shape can come: a depth that no point it stores lies below, so
// that a tile whose every depth is already nearer can skip it (fast.h). The
// bounds are exact geometry widened far past the rounding of the literal
// float expressions, in double; where no such margin is proven they give up
// (−infinity, never skipped). With clipping no stored depth is below 0.
//
// Spheres: every point of a sphere has w ≥ C.z − rp. The literal meeting
// points come from q = (rp² − |M|²) / |I|², which rounding can raise only by a
// few units in the last place of rp² / |I|²; the rest of its error (amplified
// by the square root near the outline) only lowers q, which moves the near
// point further away. The margin 2e-3 (|C| + rp) covers both many times over.
// With clipping and the eye inside the sphere only the points ahead of the
// eye are stored, each at least rp − |C| from the eye, so at a depth of at
// least (rp − |C|) f / |d| for the longest line of sight d of the picture.
// In a tile only the points on its lines of sight count: they lie in the
// ball and in the pyramid (central view; a prism in the parallel view) of
// the tile's pixels, widened by a pixel. w is least over that convex piece
// either at the ball's front point, when the pyramid holds it, or on one of
// the pyramid's faces, where the ball leaves a disc whose least w is exact.
//
// Polygons: a point is where a pixel's line of sight meets the plane, at depth
// s·f with s = −D / k and k = (dx·A + dy·B) + f·C (central view), or at
// −((A·u + B·v) + D) / C (parallel view). Over a rectangle of pixels k is
// affine, so where it keeps one sign these depths are monotone along rows and
// columns and lie between their values at the rectangle's corners. Rounding
// moves k by at most 3.2u·S (S = |dx·A| + |dy·B| + |f·C|, u = 2^-24) and the
// depth by a relative 3.2u·S / |k| + 2u.
#include "render/fast/fast.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double U = 1.0 / 16777216.0;
constexpr float Unbounded = -std::numeric_limits<float>::infinity();

// A double bound as a float no larger, with clipping's floor.
float nearest(double near, bool clip)
{
    if (clip)
        near = std::max(near, 0.0);
    if (!(near > -1e38))
        return Unbounded;
    // Lowered by more than the float rounding can raise it.
    return float(near - std::fabs(near) * 1e-6 - 1e-30);
}

}  // namespace

float spherenear(const SphereShape& s)
{
    const FastView& v = FastFrame;
    const double cx = s.C.x, cy = s.C.y, cz = s.C.z, r = std::fabs(double(s.rp));
    const double size = std::fabs(cx) + std::fabs(cy) + std::fabs(cz) + r;
    double near = cz - r - 2e-3 * size - 1e-30;
    const double c = std::sqrt(cx * cx + cy * cy + cz * cz);
    if (v.central && v.clip && c < r * (1 - 1e-2)) {
        const double hw = v.halfw, hh = v.halfh, f = v.f;
        const double longest = std::sqrt(hw * hw + hh * hh + f * f);
        near = std::max(near, ((r - c) - 4e-3 * (r + c)) * f / longest - 1e-30);
    }
    return nearest(near, v.clip);
}

float spherenear(const SphereShape& s, PixelBox box)
{
    const FastView& v = FastFrame;
    const float whole = spherenear(s);
    const double cx = s.C.x, cy = s.C.y, cz = s.C.z, r = std::fabs(double(s.rp));
    const double margin = 2e-3 * (std::fabs(cx) + std::fabs(cy) + std::fabs(cz) + r) + 1e-30;
    const double x0 = box.x0 - 1.0, x1 = double(box.x1), y0 = box.y0 - 1.0, y1 = double(box.y1);
    double least;
    if (!v.central) {
        // The nearest point of the rectangle to the centre's (u, v).
        const double du = cx < x0 ? x0 - cx : cx > x1 ? cx - x1 : 0;
        const double dv = cy < y0 ? y0 - cy : cy > y1 ? cy - y1 : 0;
        const double h2 = r * r - (du * du + dv * dv);
        least = h2 > 0 ? cz - std::sqrt(h2) : cz;
    } else {
        const double f = v.f;
        const double qz = cz - r;  // the ball's front point
        const double ax = x0 - double(v.halfw), bx = x1 - double(v.halfw);
        const double ay = y0 - double(v.halfh), by = y1 - double(v.halfh);
        if (!(qz > 0))
            return whole;
        if (ax * qz <= cx * f && cx * f <= bx * qz && ay * qz <= cy * f && cy * f <= by * qz) {
            least = qz;
        } else {
            // The faces u·f = a·w and v·f = a·w, unit normals (f, 0, −a) / |…| and (0, f, −a) / |…|.
            least = INFINITY;
            const double faces[4][3] = {{f, 0, -ax}, {f, 0, -bx}, {0, f, -ay}, {0, f, -by}};
            for (const auto& n : faces) {
                const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                const double nx = n[0] / len, ny = n[1] / len, nz = n[2] / len;
                const double dist = cx * nx + cy * ny + cz * nz;
                if (!(std::fabs(dist) < r))
                    continue;
                const double disc = std::sqrt(r * r - dist * dist);
                least = std::min(least, (cz - dist * nz) - disc * std::sqrt(std::max(0.0, 1 - nz * nz)));
            }
            if (least == INFINITY)
                return whole;
        }
    }
    const float near = nearest(least - margin, v.clip);
    return std::isfinite(least) && near > whole ? near : whole;
}

float polygonnear(const PolygonShape& p, PixelBox box)
{
    const FastView& v = FastFrame;
    const double A = p.A, B = p.B, C = p.C, D = p.D, f = v.f;
    const double us[2] = {double(box.x0), double(box.x1 - 1)}, vs[2] = {double(box.y0), double(box.y1 - 1)};
    double zmin = INFINITY, zabs = 0, spread = 0;
    if (!v.central) {
        // Rounding of the numerator at most 3u of its terms, of the quotient u.
        for (double u : us)
            for (double vv : vs) {
                const double z = -((A * u + B * vv) + D) / C;
                zmin = std::min(zmin, z);
                zabs = std::max(zabs, std::fabs(z));
                spread = std::max(spread, (std::fabs(A * u) + std::fabs(B * vv) + std::fabs(D)) / std::fabs(C));
            }
        return nearest(zmin - 1e-6 * (spread + zabs) - 1e-30, v.clip);
    }
    // k is affine over the rectangle, so its corners bound it; the rounded
    // products and sums are monotone too, so the corners' largest S is the sum
    // of the largest terms, and -D / k * f, monotone in k of one sign, is least
    // and largest in size at the least and the largest k: the same values as
    // taken corner by corner.
    const double ax0 = (us[0] - double(v.halfw)) * A, ax1 = (us[1] - double(v.halfw)) * A;
    const double by0 = (vs[0] - double(v.halfh)) * B, by1 = (vs[1] - double(v.halfh)) * B;
    const double fc = f * C;
    const double k00 = (ax0 + by0) + fc, k01 = (ax0 + by1) + fc, k10 = (ax1 + by0) + fc, k11 = (ax1 + by1) + fc;
    const double klo = std::min(std::min(k00, k01), std::min(k10, k11));
    const double khi = std::max(std::max(k00, k01), std::max(k10, k11));
    if (!(klo > 0) && !(khi <= 0))
        return nearest(-INFINITY, v.clip);
    const double kmin = std::min(std::fabs(klo), std::fabs(khi));
    const double S =
        (std::max(std::fabs(ax0), std::fabs(ax1)) + std::max(std::fabs(by0), std::fabs(by1))) + std::fabs(fc);
    const double zlo = -D / klo * f, zhi = -D / khi * f;
    zmin = std::min(zlo, zhi);
    zabs = std::max(std::fabs(zlo), std::fabs(zhi));
    const double r = 3.2 * U * S / kmin;
    if (!(r < 1e-3) || !std::isfinite(zabs))
        return nearest(-INFINITY, v.clip);
    return nearest(zmin - (2 * r + 1e-5) * zabs - 1e-30, v.clip);
}
