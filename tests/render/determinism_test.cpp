// The renderer must give the same pixels and depths on every build. The
// constants were taken from the native build; the Windows builds run this test
// under Wine against them. A deliberate change of the renderer changes them.
#include "render_fixture.h"

#include <cstring>

namespace {

uint64_t hashimage()
{
    uint64_t value = 1469598103934665603ull;
    auto bytes = [&value](const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; i++)
            value = (value ^ p[i]) * 1099511628211ull;
    };
    const size_t count = size_t(ActualImage.width) * ActualImage.height;
    bytes(ActualImage.pixels, count * 4);
    bytes(ActualImage.depth, count * sizeof(float));
    return value;
}

// Spheres, a floor reaching behind the eye, a tilted two-sided polygon and a
// ring of spheres around the eye: every path of the rasterisers.
SceneList* mixedscene()
{
    SceneList* scene = initlist();
    Pattern* red = RenderTest::addpattern(scene, "red", RGBpattern(220, 40, 30, 60, 50, 40));
    Pattern* blue = RenderTest::addpattern(scene, "blue", RGBpattern(30, 60, 230, 33, 33, 33));
    Pattern* gold = RenderTest::addpattern(scene, "gold", RGBpattern(240, 190, 60, 90, 80, 40));
    gold->back = blue;
    gold->flags |= PatternHasBack;
    RenderTest::addpoint(scene, "light_position", 700, -900, -600);
    RenderTest::addsphere(scene, "s1", RenderTest::addpoint(scene, "c1", 0, 0, 0), 300, red);
    RenderTest::addsphere(scene, "s2", RenderTest::addpoint(scene, "c2", 450, 100, 350), 200, gold);
    RenderTest::addsphere(scene, "s3", RenderTest::addpoint(scene, "c3", 30, 20, -900), 250, gold);
    for (int i = 0; i < 12; i++) {
        const float a = float(i) * 0.5236f;
        std::string n = "r" + std::to_string(i);
        Vector* c = RenderTest::addpoint(scene, n.c_str(), 1500 * std::cos(a), -200,
                                         -1000 + 1500 * std::sin(a));
        RenderTest::addsphere(scene, n.c_str(), c, 120 + 10 * i, i % 2 ? red : blue);
    }
    Vector* f1 = RenderTest::addpoint(scene, "f1", -3000, 320, -3000);
    Vector* f2 = RenderTest::addpoint(scene, "f2", 3000, 320, -3000);
    Vector* f3 = RenderTest::addpoint(scene, "f3", 3000, 320, 3000);
    Vector* f4 = RenderTest::addpoint(scene, "f4", -3000, 320, 3000);
    RenderTest::addpolygon(scene, "floor", {f1, f2, f3, f4}, gold);
    Vector* t1 = RenderTest::addpoint(scene, "t1", -700, -600, 200);
    Vector* t2 = RenderTest::addpoint(scene, "t2", -200, -300, 900);
    Vector* t3 = RenderTest::addpoint(scene, "t3", -500, 200, 100);
    Vector* t4 = RenderTest::addpoint(scene, "t4", -900, 100, -300);
    Vector* t5 = RenderTest::addpoint(scene, "t5", -800, -500, 600);
    RenderTest::addpolygon(scene, "five", {t1, t2, t3, t4, t5}, gold);
    return scene;
}

}  // namespace

using RenderDeterminism = RenderTest;

TEST_F(RenderDeterminism, SamePicturesOnEveryBuild)
{
    SceneList* scene = mixedscene();
    ActualScene = scene;
    image(197, 131);  // odd sizes: halves that are not integers
    ActualCam.frame = multmm(translate(newv(100, -50, 0)), multmm(rotatey(0.35f), ActualCam.frame));
    ActualLight.flags = 0;  // the scene's point light
    const uint64_t expected[4] = {17704363804198031271ull, 15319102590180686853ull,
                                  14702233386307164134ull, 7895314047073615518ull};
    const uint8_t flags[4] = {CamCentral | CamClip, CamClip, 0, CamCentral};
    for (int i = 0; i < 4; i++) {
        ActualCam.flags = flags[i];
        ClearImage(&ActualImage);
        PrepareScene();
        RenderScene(scene);
        EXPECT_EQ(hashimage(), expected[i]) << "view " << i;
    }
}
