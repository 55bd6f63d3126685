// Sphere (render.h): both meeting points of every line of sight, the near one outside-coloured.
#include "render/camera.h"
#include "render/image.h"
#include "render/raster.h"
#include "render/render.h"

// Parallel view: the line of sight through (col, row) runs along w.
static void SphereParallel(Vector C, float rp, Shade front, Shade back, PixelBox r)
{
    for (int32_t col = r.x0; col < r.x1; col++)
        for (int32_t row = r.y0; row < r.y1; row++) {
            const float dx = C.x - float(col);
            const float dy = C.y - float(row);
            float q = rp * rp - dx * dx - dy * dy;
            if (!(q >= 0))
                continue;
            q = std::sqrt(q);
            const float u = float(col), v = float(row);
            Dot(col, row, u, v, C.z - q, front.colour, Vector{u - C.x, v - C.y, -q}, front.ambient);
            Dot(col, row, u, v, C.z + q, back.colour, Vector{C.x - u, C.y - v, -q}, back.ambient);
        }
}

// The two points where a line of sight d from the eye meets the sphere: the
// near one with the outside colour and outward normal, the far one with the
// back colour and inward normal.
static void SpherePoints(int32_t col, int32_t row, Vector C, Vector near, Vector far, Shade front,
                         Shade back)
{
    Dot(col, row, near.x, near.y, near.z, front.colour, subv(near, C), front.ambient);
    Dot(col, row, far.x, far.y, far.z, back.colour, subv(C, far), back.ambient);
}

// Central view: every line of sight starts at the eye (the view origin).
static void SphereCentral(Vector C, float rp, Shade front, Shade back, PixelBox r, float W,
                          float H)
{
    const float f = ActualWidth;
    for (int32_t col = r.x0; col < r.x1; col++)
        for (int32_t row = r.y0; row < r.y1; row++) {
            const Vector d = {float(col) - W / 2.0f, float(row) - H / 2.0f, f};
            const float cd = multvv(C, d);
            if (cd == 0) {
                // The foot of the perpendicular is the eye itself, which only
                // happens with the eye inside the sphere: take the exact meeting
                // points, the one in front of the eye being the far one.
                const float q = rp * rp - multvv(C, C);
                if (!(q >= 0))
                    continue;
                const float t = std::sqrt(q) / lengthv(d);
                SpherePoints(col, row, C, multsv(-t, d), multsv(t, d), front, back);
                continue;
            }
            const Vector I = multsv(cd / multvv(d, d), d);
            const Vector M = subv(C, I);
            float q = (rp * rp - multvv(M, M)) / multvv(I, I);
            if (!(q >= 0))
                continue;
            q = std::sqrt(q);
            const Vector a = multsv(1.0f - q, I);
            const Vector b = multsv(1.0f + q, I);
            if (I.z > 0)
                SpherePoints(col, row, C, a, b, front, back);
            else
                SpherePoints(col, row, C, b, a, front, back);
        }
}

void Sphere(Vector centre, double radius, Pattern pattern)
{
    if (!ActualViewOk || !patternusable(pattern))
        return;
    const float W = float(ActualImage.width);
    const float H = float(ActualImage.height);
    const Vector C = multmv(ActualTransform, centre);
    const float rp = ActualScale * float(radius);
    if (!finitev(C) || !std::isfinite(rp))
        return;
    const Shade front = frontside(pattern);
    const Shade back = backside(pattern);

    const bool central = (ActualCam.flags & CamCentral) != 0;
    const PixelBox r = spherebox(C, rp, central, ActualWidth, W, H);
    if (emptybox(r))
        return;
    if (!central) {
        SphereParallel(C, rp, front, back, r);
        return;
    }
    SphereCentral(C, rp, front, back, r, W, H);
}
