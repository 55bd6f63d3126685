// camera.h - the one camera and the one light of the run.
//
// The camera's frame holds its four defining vectors as columns: right,
// lower, front, position (exactly newvecm of the four). The light is a point
// light (vector = position) or a directed light (vector points towards the
// light); bound to the camera it is derived anew at every preparation.
//
// Both also live in each scene as ordinary named points and vectors, so that a
// saved scene carries them: the loader, the camera and light dialogs and the
// preparation find them through the table below.
//
//   DefaultCam()          right (1000,0,0), lower (0,1000,0), front (0,0,1000),
//                         position (0,0,-1000), flags 0
//   Camlight(cam, flags)  directed: −front; point: the camera position; flags copied
//   StartView()           the editor's start-up view: DefaultCam in central view with
//                         clipping into ActualCam, Camlight of it, directed, into ActualLight
//   camcolumn(tag, name)  the frame column that the scene object (tag, name) carries, or -1
#pragma once

#include "core/objects.h"
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

// A scene object that carries part of the camera or the light.
struct ViewObject {
    ObjectTag tag;
    const char* name;
    int column;  // of the camera frame; -1 for the light's objects
};

// In this order: storing the camera appends the missing ones to the scene in it.
constexpr ViewObject CamObjects[4] = {
    {TagPoint, "cam_position", 3},
    {TagVector, "cam_front", 2},
    {TagVector, "cam_lower", 1},
    {TagVector, "cam_right", 0},
};
// The light's vector when it is not bound: the position of a point light, the
// direction of a directed one.
constexpr ViewObject LightPositionObject = {TagPoint, "light_position", -1};
constexpr ViewObject LightDirectionObject = {TagVector, "light_direction", -1};

Camera DefaultCam();
Light Camlight(Camera cam, uint8_t flags);
void StartView();
int camcolumn(ObjectTag tag, const char* name);
