#include "render_fixture.h"

using PrepareTest = RenderTest;

static void expectNear(Vector v, float x, float y, float z, float tolerance = 1e-3f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST_F(PrepareTest, DefaultCameraCentralAt800By600)
{
    image(800, 600);
    PrepareScene();
    ASSERT_TRUE(ActualViewOk);
    EXPECT_FLOAT_EQ(ActualWidth, 300);
    EXPECT_FLOAT_EQ(ActualScale, 0.3f);
    const Vector origin = multmv(ActualTransform, nullv());
    expectNear(origin, 0, 0, 300);
    EXPECT_NEAR(origin.x * ActualWidth / origin.z + 400, 400, 1e-3);
    // One scene unit right and down is 0.3 pixels right and down.
    expectNear(multvecmv(ActualTransform, newv(1, 1, 0)), 0.3f, 0.3f, 0);
    // The start-up light shines along the view: (0, 0, -1000) in the scene, a
    // direction scaled by a power of two to a length below 1.
    EXPECT_EQ(ActualLightpos.x, 0);
    EXPECT_EQ(ActualLightpos.y, 0);
    EXPECT_EQ(ActualLightpos.z, multvecmv(ActualTransform, newv(0, 0, -1000)).z / 512);
}

TEST_F(PrepareTest, DefaultCameraParallelPutsTheOriginInTheMiddle)
{
    image(800, 600);
    ActualCam.flags &= ~CamCentral;
    PrepareScene();
    expectNear(multmv(ActualTransform, nullv()), 400, 300, 300);
    expectNear(multmv(ActualTransform, newv(-4000.0 / 3, -1000, -1000)), 0, 0, 0);
}

TEST_F(PrepareTest, OnlyTheDirectionsOfLowerAndRightCount)
{
    image(320, 200);
    PrepareScene();
    const Matrix reference = ActualTransform;

    // lower tilted towards front, right longer: the same view.
    ActualCam.frame = newvecm(newv(5, 0, 0), newv(0, 1000, 700), newv(0, 0, 1000),
                              newv(0, 0, -1000));
    PrepareScene();
    for (int i = 0; i < 12; i++)
        EXPECT_NEAR(ActualTransform.m[i], reference.m[i], 1e-5f) << "element " << i;

    // right pointing the other way mirrors the picture.
    ActualCam.frame = newvecm(newv(-1, 0, 0), newv(0, 1000, 0), newv(0, 0, 1000),
                              newv(0, 0, -1000));
    PrepareScene();
    EXPECT_NEAR(multmv(ActualTransform, newv(100, 0, 0)).x,
                -multmv(reference, newv(100, 0, 0)).x, 1e-3);
}

TEST_F(PrepareTest, LightComesFromTheCameraWhenBoundElseFromTheScene)
{
    image(100, 100);
    SceneList* scene = initlist();
    addpoint(scene, "light_direction", 1, 2, 3, TagVector);
    addpoint(scene, "light_position", 7, 8, 9);
    ActualScene = scene;

    ActualLight.flags = LightDirected;
    PrepareScene();
    expectNear(ActualLight.vector, 1, 2, 3, 0);

    ActualLight.flags = 0;  // point light
    PrepareScene();
    expectNear(ActualLight.vector, 7, 8, 9, 0);
    expectNear(ActualLightpos, multmv(ActualTransform, newv(7, 8, 9)).x,
               multmv(ActualTransform, newv(7, 8, 9)).y, multmv(ActualTransform, newv(7, 8, 9)).z,
               0);

    ActualLight.flags = LightBound;  // a point light in the eye, whatever the scene says
    ActualCam.frame.m[3] = 50;      // move the camera
    PrepareScene();
    expectNear(ActualLight.vector, 50, 0, -1000, 0);
    expectNear(ActualLightpos, 0, 0, 0);

    ActualLight.flags = LightDirected;  // no light object: the vector stays
    ActualScene = initlist();
    PrepareScene();
    expectNear(ActualLight.vector, 50, 0, -1000, 0);
}

// A scene with a sphere right in front of the camera: it draws unless the view is unusable.
TEST_F(PrepareTest, UnusableViewsDrawNothing)
{
    SceneList* scene = initlist();
    Pattern* red = addpattern(scene, "red", solid(255, 0, 0, 255));
    addsphere(scene, "s", addpoint(scene, "c", 0, 0, 0), 300, red);
    ActualScene = scene;
    image(64, 48);
    PrepareScene();
    RenderScene(scene);
    ASSERT_GT(drawncount(), 0);

    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        Vector right, lower, front, position;
    } cases[] = {
        {"front of length 0", newv(1000, 0, 0), newv(0, 1000, 0), nullv(), newv(0, 0, -1000)},
        {"lower along front", newv(1000, 0, 0), newv(0, 0, 7), newv(0, 0, 1000), newv(0, 0, -1000)},
        {"lower of length 0", newv(1000, 0, 0), nullv(), newv(0, 0, 1000), newv(0, 0, -1000)},
        {"position not a number", newv(1000, 0, 0), newv(0, 1000, 0), newv(0, 0, 1000),
         newv(0, nan, -1000)},
        {"infinite front", newv(1000, 0, 0), newv(0, 1000, 0), newv(0, 0, inf), newv(0, 0, -1000)},
        {"tiny frame", newv(1e-30, 0, 0), newv(0, 1e-30, 0), newv(0, 0, 1e-30), newv(0, 0, 0)},
    };
    for (const Case& c : cases) {
        for (uint8_t flags : {uint8_t(CamCentral | CamClip), uint8_t(0)}) {
            ActualCam.frame = newvecm(c.right, c.lower, c.front, c.position);
            ActualCam.flags = flags;
            ClearImage(&ActualImage);
            PrepareScene();
            EXPECT_FALSE(ActualViewOk) << c.what;
            RenderScene(scene);
            EXPECT_TRUE(cleared()) << c.what;
        }
    }
}

// However long or far the light, the picture is drawn: a directed light is the
// same light at any length, a point light too far for floats leaves the ambient colours.
TEST_F(PrepareTest, NoLightBlanksThePicture)
{
    SceneList* scene = initlist();
    Pattern* red = addpattern(scene, "red", solid(255, 0, 0, 100));
    addsphere(scene, "s", addpoint(scene, "c", 0, 0, 0), 300, red);
    Vector* direction = addpoint(scene, "light_direction", 0, 0, -1, TagVector);
    Vector* position = addpoint(scene, "light_position", 0, 0, -1000);
    ActualScene = scene;
    image(64, 48);
    auto picture = [&]() {
        ClearImage(&ActualImage);
        PrepareScene();
        RenderScene(scene);
        return std::vector<uint8_t>(ActualImage.pixels, ActualImage.pixels + 64 * 48 * 4);
    };
    const std::vector<uint8_t> lit = picture();
    const Camera start = ActualCam;
    const float inf = std::numeric_limits<float>::infinity();
    // Powers of two, so that the scaled direction is exactly the one of (0, 0, -1).
    for (const float length : {0x1p-126f, 0x1p100f, 0x1p123f, 0x1p127f, inf}) {
        for (const float zoom : {1.0f, 0x1p-30f}) {
            *direction = newv(0, 0, -length);
            ActualCam.frame = newvecm(newv(1000, 0, 0), newv(0, 1000 * zoom, 0),
                                      newv(0, 0, 1000 * zoom), newv(0, 0, -1000));
            const std::vector<uint8_t> drawn = picture();
            // Zoomed by a power of two, every view coordinate scales exactly: the same picture.
            EXPECT_TRUE(ActualViewOk);
            EXPECT_TRUE(drawn == lit)
                << "light_direction of length " << length << ", zoom " << zoom;
        }
    }
    ActualCam = start;

    // A direction that is no number, a point light beyond the floats: ambient only.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    *direction = newv(nan, 0, -1);
    for (const float far : {1e38f, inf, nan}) {
        *position = newv(0, 0, -far);
        for (const uint8_t flags : {uint8_t(0), uint8_t(LightDirected)}) {
            ActualLight.flags = flags;
            picture();
            EXPECT_TRUE(ActualViewOk) << far << " " << int(flags);
            const int32_t count = drawncount();
            EXPECT_GT(count, 100) << far;
            for (int32_t row = 0; row < 48; row++) {
                for (int32_t col = 0; col < 64; col++) {
                    if (drawn(col, row)) {
                        ASSERT_EQ(pixel(col, row), packcolor(100, 0, 0))
                            << far << " " << col << "," << row;
                    }
                }
            }
        }
    }
}
