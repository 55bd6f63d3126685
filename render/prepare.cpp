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
    if (ActualLight.flags & LightDirected)
        ActualLightpos = multvecmv(ActualTransform, ActualLight.vector);
    else
        ActualLightpos = multmv(ActualTransform, ActualLight.vector);

    // A zero front or a lower vector along front makes the scales infinite or
    // undefined; a singular frame would make inverse() return a mere adjugate.
    const float det = determinant(view);
    ActualViewOk = ActualImage.width > 0 && ActualImage.height > 0 && ActualImage.pixels &&
                   ActualImage.depth && finitev(X) && finitev(Y) && finitev(Z) && finitev(O) &&
                   std::isfinite(det) && det != 0 && finitem(ActualTransform) &&
                   std::isfinite(ActualScale) && ActualScale > 0 &&
                   std::isfinite(ActualWidth) && ActualWidth > 0 && finitev(ActualLightpos);
}
