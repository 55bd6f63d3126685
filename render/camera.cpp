#include "render/camera.h"

#include <cstring>

Camera ActualCam = {};
Light ActualLight = {};

Camera DefaultCam()
{
    Camera cam;
    cam.frame = newvecm(newv(1000, 0, 0), newv(0, 1000, 0), newv(0, 0, 1000), newv(0, 0, -1000));
    cam.flags = 0;
    return cam;
}

Light Camlight(Camera cam, uint8_t flags)
{
    Light light;
    if (flags & LightDirected)
        light.vector = multvecmv(cam.frame, newv(0, 0, -1));
    else
        light.vector = multmv(cam.frame, nullv());
    light.flags = flags;
    return light;
}

void StartView()
{
    ActualCam = DefaultCam();
    ActualCam.flags |= CamCentral | CamClip;
    ActualLight = Camlight(ActualCam, LightDirected);
}

int camcolumn(ObjectTag tag, const char* name)
{
    for (const ViewObject& object : CamObjects)
        if (object.tag == tag && std::strcmp(object.name, name) == 0)
            return object.column;
    return -1;
}
