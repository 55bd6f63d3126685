#include "render_fixture.h"

#include <algorithm>
#include <cstdio>
#include <string>

using RenderPassTest = RenderTest;

// Full ambient light gives the colour itself, give or take the last step of
// the truncation.
static bool nearcolour(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d < -1 || d > 1)
            return false;
    }
    return true;
}

TEST_F(RenderPassTest, NothingToDrawLeavesThePictureErased)
{
    image(32, 24);
    PrepareScene();
    RenderScene(nullptr);
    EXPECT_TRUE(cleared());
    SceneList* scene = initlist();
    RenderScene(scene);
    EXPECT_TRUE(cleared());
    addpoint(scene, "p", 0, 0, 0);
    addpoint(scene, "v", 0, 0, 1, TagVector);
    addpattern(scene, "red", solid(255, 0, 0));
    RenderScene(scene);
    EXPECT_TRUE(cleared());
}

TEST_F(RenderPassTest, ThreeHundredSpheresInTwoBlocksAllDraw)
{
    image(200, 150);
    ActualCam.flags &= ~CamCentral;
    PrepareScene();
    SceneList* scene = initlist();
    Pattern* white = addpattern(scene, "white", solid(255, 255, 255, 255));
    // A 20 × 15 grid, one sphere per cell of 10 × 10 pixels (3 scene units per pixel).
    char name[32];
    for (int i = 0; i < 300; i++) {
        const float x = (i % 20 - 9.5f) * 33.3f, y = (i / 20 - 7) * 33.3f;
        std::snprintf(name, sizeof name, "c%d", i);
        Vector* centre = addpoint(scene, name, x, y, 0);
        std::snprintf(name, sizeof name, "s%d", i);
        addsphere(scene, name, centre, 10, white);
    }
    ASSERT_NE(scene->next, nullptr);
    RenderScene(scene);
    for (int i = 0; i < 300; i++) {
        const Vector c = multmv(ActualTransform, *static_cast<Vector*>(
                                                     searchlist(scene, TagPoint, ("c" + std::to_string(i)).c_str())));
        EXPECT_TRUE(drawn(int32_t(std::lround(c.x)), int32_t(std::lround(c.y)))) << i;
    }
}

TEST_F(RenderPassTest, OfTwoSurfacesAtTheSameDepthTheFirstInTheListStays)
{
    image(64, 48);
    PrepareScene();
    SceneList* scene = initlist();
    Vector* a = addpoint(scene, "a", -500, -500, 0);
    Vector* b = addpoint(scene, "b", 500, -500, 0);
    Vector* c = addpoint(scene, "c", 500, 500, 0);
    Vector* d = addpoint(scene, "d", -500, 500, 0);
    Pattern* green = addpattern(scene, "green", solid(0, 255, 0, 255));
    Pattern* red = addpattern(scene, "red", solid(255, 0, 0, 255));
    addpolygon(scene, "first", {a, b, c, d}, green);
    addpolygon(scene, "second", {a, b, c, d}, red);
    addsphere(scene, "gone", addpoint(scene, "e", 0, 0, -200), 100, red);
    deletelist(scene, TagSphere, "gone");
    RenderScene(scene);
    EXPECT_EQ(pixel(32, 24), packcolor(0, 255, 0));
    for (int32_t row = 0; row < 48; row++)
        for (int32_t col = 0; col < 64; col++)
            ASSERT_NE(pixel(col, row), packcolor(255, 0, 0)) << col << "," << row;
}

// Six walls around the eye, each with its front side facing out: from inside
// only back colours show, and the walls close up without gaps.
TEST_F(RenderPassTest, RoomSeenFromInsideShowsBackColours)
{
    image(120, 90);
    SceneList* scene = initlist();
    const float s = 500, z = -1000;
    auto p = [&](const char* name, float x, float y, float w) {
        return addpoint(scene, name, x, y, z + w);
    };
    Vector* c[8] = {p("000", -s, -s, -s), p("100", s, -s, -s), p("010", -s, s, -s),
                    p("110", s, s, -s),   p("001", -s, -s, s), p("101", s, -s, s),
                    p("011", -s, s, s),   p("111", s, s, s)};
    const uint32_t backs[6] = {packcolor(200, 0, 0), packcolor(0, 200, 0), packcolor(0, 0, 200),
                               packcolor(200, 200, 0), packcolor(0, 200, 200), packcolor(200, 0, 200)};
    // Clockwise as seen from outside.
    const int faces[6][4] = {{5, 7, 3, 1}, {2, 6, 4, 0}, {3, 7, 6, 2},
                             {4, 5, 1, 0}, {6, 7, 5, 4}, {1, 3, 2, 0}};
    for (int f = 0; f < 6; f++) {
        Pattern* back = addpattern(scene, "back", solid(backs[f] & 0xFF, (backs[f] >> 8) & 0xFF,
                                                        backs[f] >> 16, 255));
        Pattern* front = addpattern(scene, "front", solid(255, 255, 255, 255));
        front->back = back;
        front->flags |= PatternHasBack;
        addpolygon(scene, "wall", {c[faces[f][0]], c[faces[f][1]], c[faces[f][2]], c[faces[f][3]]},
                   front);
    }
    ActualScene = scene;
    PrepareScene();
    RenderScene(scene);
    for (int32_t row = 0; row < 90; row++)
        for (int32_t col = 0; col < 120; col++) {
            ASSERT_TRUE(drawn(col, row)) << col << "," << row;
            ASSERT_TRUE(std::any_of(backs, backs + 6,
                                    [&](uint32_t back) { return nearcolour(pixel(col, row), back); }))
                << col << "," << row;
        }
    EXPECT_TRUE(nearcolour(pixel(60, 45), backs[4]));  // the far wall straight ahead
}
