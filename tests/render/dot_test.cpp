#include "render_fixture.h"

using DotTest = RenderTest;

static const uint32_t Colour = packcolor(200, 100, 50);
static const uint32_t Ambient51 = packcolor(51, 51, 51);

static void expectBytes(int32_t col, int32_t row, uint8_t blue, uint8_t green, uint8_t red)
{
    const uint8_t* p = ActualImage.pixels + 4 * (size_t(row) * ActualImage.width + col);
    EXPECT_EQ(p[0], blue);
    EXPECT_EQ(p[1], green);
    EXPECT_EQ(p[2], red);
    EXPECT_EQ(p[3], 0);
}

TEST_F(DotTest, ShadesAmbientPlusDiffuseTruncatedPerChannel)
{
    image(4, 3);
    identityview(false);
    ActualLightpos = newv(0, 0, -5);
    Dot(1, 2, 1, 2, 7, Colour, newv(4, 0, -3), Ambient51);  // cos 0.6: factor 0.68
    expectBytes(1, 2, 34, 68, 136);
    EXPECT_EQ(depth(1, 2), 7);
    Dot(2, 2, 2, 2, 7, Colour, newv(0, 0, 5), Ambient51);  // facing away: ambient only
    expectBytes(2, 2, 10, 20, 40);
}

TEST_F(DotTest, ZeroLengthLightOrNormalGivesAmbientOnly)
{
    image(4, 1);
    identityview(false);
    ActualLightpos = nullv();
    Dot(0, 0, 0, 0, 1, Colour, newv(0, 0, -1), Ambient51);
    expectBytes(0, 0, 10, 20, 40);

    ActualLightpos = newv(0, 0, -5);
    Dot(1, 0, 1, 0, 1, Colour, nullv(), Ambient51);
    expectBytes(1, 0, 10, 20, 40);

    // A point light exactly on the surface point.
    ActualLight.flags = 0;
    ActualLightpos = newv(2, 0, 1);
    Dot(2, 0, 2, 0, 1, Colour, newv(0, 0, -1), Ambient51);
    expectBytes(2, 0, 10, 20, 40);
}

TEST_F(DotTest, PointLightShinesFromItsPositionTowardsThePoint)
{
    image(2, 1);
    identityview(false);
    ActualLight.flags = 0;
    ActualLightpos = newv(1, 0, -4);  // l = (0, 0, -4) - ... at the point (1, 0, 0): along -w
    Dot(1, 0, 1, 0, 0, Colour, newv(0, 0, -1), 0);
    expectBytes(1, 0, 50, 100, 200);
    ActualLightpos = newv(1, 4, 0);  // from below, grazing a face turned to the viewer
    Dot(0, 0, 1, 0, 0, Colour, newv(0, 0, -1), 0);
    expectBytes(0, 0, 0, 0, 0);
}

TEST_F(DotTest, DepthTestIsStrictAndClippingDropsNegativeDepths)
{
    image(3, 1);
    identityview(false);
    const Vector n = newv(0, 0, -1);
    Dot(0, 0, 0, 0, 5, packcolor(1, 0, 0), n, 0);
    Dot(0, 0, 0, 0, 5, packcolor(2, 0, 0), n, 0);  // equal depth: the first stays
    EXPECT_EQ(pixel(0, 0), packcolor(1, 0, 0));
    Dot(0, 0, 0, 0, 4.5f, packcolor(3, 0, 0), n, 0);  // nearer: replaces
    EXPECT_EQ(pixel(0, 0), packcolor(3, 0, 0));
    Dot(0, 0, 0, 0, std::nanf(""), packcolor(4, 0, 0), n, 0);  // unordered: ignored
    EXPECT_EQ(pixel(0, 0), packcolor(3, 0, 0));

    Dot(1, 0, 1, 0, -1, packcolor(5, 0, 0), n, 0);  // no clipping: drawn
    EXPECT_EQ(depth(1, 0), -1);
    ActualCam.flags |= CamClip;
    Dot(2, 0, 2, 0, -0.001f, packcolor(6, 0, 0), n, 0);
    EXPECT_FALSE(drawn(2, 0));
    Dot(2, 0, 2, 0, 0, packcolor(6, 0, 0), n, 0);  // depth 0 is not behind
    EXPECT_TRUE(drawn(2, 0));
}

// Every channel stays between a/255 of its colour (truncated) and the colour itself.
TEST_F(DotTest, ShadeStaysBetweenAmbientShareAndFullColour)
{
    image(1, 1);
    identityview(false);
    ActualLightpos = newv(0.3, -0.2, -1);
    uint32_t state = 7;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int i = 0; i < 20000; i++) {
        const int c = int(next() >> 24), a = int(next() >> 24);
        const Vector normal = newv(int(next() >> 22) - 512, int(next() >> 22) - 512,
                                   -int(next() >> 22));
        ClearImage(&ActualImage);
        Dot(0, 0, 0, 0, 1, packcolor(c, c, c), normal, packcolor(a, a, a));
        const int value = ActualImage.pixels[0];
        ASSERT_LE(value, c) << "c " << c << " a " << a;
        ASSERT_GE(value, c * a / 255) << "c " << c << " a " << a;
    }
}
