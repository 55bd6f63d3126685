// camera.h - the one camera and the one light of the run.
//
// The camera's frame holds its four defining vectors as columns: right,
// lower, front, position (exactly newvecm of the four). The light is a point
// light (vector = position) or a directed light (vector points towards the
// light); bound to the camera it is derived anew at every preparation.
//
//   DefaultCam()          right (1000,0,0), lower (0,1000,0), front (0,0,1000),
//                         position (0,0,-1000), flags 0
//   Camlight(cam, flags)  directed: −front; point: the camera position; flags copied
#pragma once

#include "math/matrix.h"

#include <cstdint>

constexpr uint8_t CamCentral = 0x01;  // central (perspective) view; clear: parallel view
constexpr uint8_t CamClip = 0x04;     // discard surface points of negative depth

constexpr uint8_t LightDirected = 0x01;  // vector is a direction; clear: a position
constexpr uint8_t LightBound = 0x02;     // derived from the camera at every preparation

struct Camera {
    Matrix frame;
    uint8_t flags;
};

struct Light {
    Vector vector;
    uint8_t flags;
};

extern Camera ActualCam;
extern Light ActualLight;

Camera DefaultCam();
Light Camlight(Camera cam, uint8_t flags);
