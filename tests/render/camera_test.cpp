#include "render/camera.h"

#include <gtest/gtest.h>

static void expectVector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(Camera, DefaultCamHasTheFourVectorsAndNoFlags)
{
    const Camera cam = DefaultCam();
    expectVector(multvecmv(cam.frame, newv(1, 0, 0)), 1000, 0, 0);
    expectVector(multvecmv(cam.frame, newv(0, 1, 0)), 0, 1000, 0);
    expectVector(multvecmv(cam.frame, newv(0, 0, 1)), 0, 0, 1000);
    expectVector(multmv(cam.frame, nullv()), 0, 0, -1000);
    EXPECT_EQ(cam.flags, 0);
}

TEST(Camera, CamlightDirectedShinesAlongTheViewAndPointLightSitsInTheEye)
{
    const Light directed = Camlight(DefaultCam(), LightDirected);
    expectVector(directed.vector, 0, 0, -1000);
    EXPECT_EQ(directed.flags, LightDirected);

    Camera moved = DefaultCam();
    moved.frame.m[3] = 5;  // position x
    const Light point = Camlight(moved, LightBound);
    expectVector(point.vector, 5, 0, -1000);
    EXPECT_EQ(point.flags, LightBound);
}
