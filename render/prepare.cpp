// PrepareScene (render.h): the view transform, the pixel scale and the light of a preparation.
#include "render/camera.h"
#include "render/image.h"
#include "render/raster.h"
#include "render/render.h"

#include "core/registry.h"

Matrix ActualTransform = {};
float ActualScale = 0;
float ActualWidth = 0;
Vector ActualLightpos = {};
bool ActualViewOk = false;

static bool finitem(Matrix m)
{
    for (float e : m.m)
        if (!std::isfinite(e))
            return false;
    return true;
}

// A direction scaled by a power of two to a length in [1/2, 1), in double. Its
// length never matters, and a power of two changes no rounding of what is
// computed from it, so every picture stays as it was unless the old length
// overflowed. An infinite component leaves the direction it tends to; a NaN
// stays NaN and lights nothing.
static Vector unitlength(double x, double y, double z)
{
    if (std::isinf(x) || std::isinf(y) || std::isinf(z)) {
        x = std::isinf(x) ? std::copysign(1.0, x) : 0.0 * x;
        y = std::isinf(y) ? std::copysign(1.0, y) : 0.0 * y;
        z = std::isinf(z) ? std::copysign(1.0, z) : 0.0 * z;
    }
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0) || !std::isfinite(length))
        return Vector{float(x), float(y), float(z)};
    int exponent;
    std::frexp(length, &exponent);
    return Vector{float(std::ldexp(x, -exponent)), float(std::ldexp(y, -exponent)),
                  float(std::ldexp(z, -exponent))};
}

// A directed light in view coordinates, of a length that neither overflows nor
// matters: a transform too large for floats is applied in double.
static Vector viewdirection(Matrix transform, Vector direction)
{
    const Vector unit = unitlength(direction.x, direction.y, direction.z);
    const Vector view = multvecmv(transform, unit);
    if (finitev(view))
        return unitlength(view.x, view.y, view.z);
    const float* m = transform.m;
    return unitlength(double(m[0]) * unit.x + double(m[1]) * unit.y + double(m[2]) * unit.z,
                      double(m[4]) * unit.x + double(m[5]) * unit.y + double(m[6]) * unit.z,
                      double(m[8]) * unit.x + double(m[9]) * unit.y + double(m[10]) * unit.z);
}

// The light of this preparation: from the camera when bound to it, else from
// the scene's light object, else as it was.
static void PrepareLight()
{
    if (ActualLight.flags & LightBound) {
        ActualLight = Camlight(ActualCam, ActualLight.flags);
        return;
    }
    const ViewObject& object =
        (ActualLight.flags & LightDirected) ? LightDirectionObject : LightPositionObject;
    const Vector* source =
        ActualScene ? static_cast<const Vector*>(searchlist(ActualScene, object.tag, object.name))
                    : nullptr;
    if (source)
        ActualLight.vector = *source;
}

void PrepareScene()
{
    const Matrix frame = ActualCam.frame;
    const float W = float(ActualImage.width);
    const float H = float(ActualImage.height);

    // Y: one pixel down, the part of lower perpendicular to front, H steps
    // spanning twice the lower vector.
    const Vector F = multvecmv(frame, newv(0, 0, 1));
    const Vector L = multvecmv(frame, newv(0, 2.0 / H, 0));
    const float t = multvv(F, L) / multvv(F, F);
    const Vector Y = subv(L, multsv(t, F));
    ActualWidth = lengthv(F) / lengthv(Y);

    // Z and X have Y's length too: square pixels, whatever right's length.
    const Vector Z = multsv(1.0 / ActualWidth, F);
    const Vector R = multvecmv(frame, newv(1, 0, 0));
    Vector X = crossv(Y, Z);
    if (multvv(R, X) < 0)
        X = multsv(-1, X);
    X = multsv(lengthv(Y) / lengthv(X), X);

    Vector O = multmv(frame, nullv());
    if (!(ActualCam.flags & CamCentral))
        O = subv(O, addv(multsv(W / 2.0, X), multsv(H / 2.0, Y)));

    const Matrix view = newvecm(X, Y, Z, O);
    ActualTransform = inverse(view);
    ActualScale = 1 / lengthv(Y);

    PrepareLight();
    // A point light too far for floats lights nothing diffusely (Dot finds no
    // cosine for it); the picture keeps its ambient colours.
    if (ActualLight.flags & LightDirected)
        ActualLightpos = viewdirection(ActualTransform, ActualLight.vector);
    else
        ActualLightpos = multmv(ActualTransform, ActualLight.vector);

    // A zero front or a lower vector along front makes the scales infinite or
    // undefined; a singular frame would make inverse() return a mere adjugate.
    const float det = determinant(view);
    ActualViewOk = ActualImage.width > 0 && ActualImage.height > 0 && ActualImage.pixels &&
                   ActualImage.depth && finitev(X) && finitev(Y) && finitev(Z) && finitev(O) &&
                   std::isfinite(det) && det != 0 && finitem(ActualTransform) &&
                   std::isfinite(ActualScale) && ActualScale > 0 && std::isfinite(ActualWidth) &&
                   ActualWidth > 0;
}
