#include "render_fixture.h"

#include <limits>

using SphereTest = RenderTest;

TEST_F(SphereTest, Radius31ParallelAt800By600)
{
    image(800, 600);
    ActualCam.flags &= ~CamCentral;
    PrepareScene();
    Sphere(nullv(), 31, solid(255, 255, 255));

    // Only the rectangle columns 391..409, rows 291..309 is touched.
    for (int32_t row = 0; row < 600; row++)
        for (int32_t col = 0; col < 800; col++)
            if (drawn(col, row)) {
                ASSERT_TRUE(col >= 391 && col <= 409 && row >= 291 && row <= 309)
                    << col << "," << row;
            }
    EXPECT_NEAR(depth(400, 300), 290.7f, 1e-3);
    EXPECT_TRUE(drawn(409, 300));  // q = 9.3² − 9² = 5.49
    EXPECT_TRUE(drawn(391, 300));
    EXPECT_TRUE(drawn(400, 291));
    EXPECT_FALSE(drawn(410, 300));
    EXPECT_FALSE(drawn(409, 309));  // a corner of the rectangle lies outside the disc
}

TEST_F(SphereTest, FarSideShowsOnlyWhereTheNearSideIsClippedAway)
{
    image(200, 150);
    ActualCam.flags &= ~CamCentral;  // parallel, clipped
    PrepareScene();
    const uint32_t outside = packcolor(255, 0, 0), inside = packcolor(0, 0, 255);
    const Pattern pattern = twosided(outside, inside);

    Sphere(newv(0, 0, 0), 200, pattern);  // wholly in front: all outside
    ASSERT_GT(drawncount(), 0);
    for (int32_t row = 0; row < 150; row++)
        for (int32_t col = 0; col < 200; col++)
            if (drawn(col, row)) {
                ASSERT_EQ(pixel(col, row) & 0xFF0000, 0u) << col << "," << row;
            }

    // Centred on the camera's plane: every near point is clipped, the inside
    // shows, lit through the inward normal (the light comes from the camera).
    ClearImage(&ActualImage);
    Sphere(newv(0, 0, -1000), 200, pattern);
    EXPECT_EQ(pixel(100, 75) & 0xFFFF, 0u);  // no red, no green
    EXPECT_GE(pixel(100, 75) >> 16, 254u);
    EXPECT_NEAR(depth(100, 75), 15, 1e-3);  // radius 200 at 2000/150 scene units per pixel
}

// A sphere of the default central view, tested against the meeting of each
// pixel's line of sight with the sphere computed independently in double
// precision: the bounding rectangle must not cut anything off.
TEST_F(SphereTest, CentralViewCoversExactlyThePixelsWhoseLineOfSightMeetsIt)
{
    image(160, 120);
    PrepareScene();
    struct Ball {
        double x, y, z, r;
    } balls[] = {{0, 0, 0, 300}, {900, -500, 200, 250}, {-1500, 900, 900, 400}, {60, 40, -700, 100}};
    const double f = ActualWidth;
    for (const Ball& b : balls) {
        ClearImage(&ActualImage);
        Sphere(newv(b.x, b.y, b.z), b.r, solid(200, 200, 200));
        const Vector c = multmv(ActualTransform, newv(b.x, b.y, b.z));
        const double rp = ActualScale * b.r;
        int32_t checked = 0;
        for (int32_t row = 0; row < 120; row++)
            for (int32_t col = 0; col < 160; col++) {
                const double dx = col - 80.0, dy = row - 60.0, dz = f;
                const double t = (c.x * dx + c.y * dy + c.z * dz) / (dx * dx + dy * dy + dz * dz);
                const double mx = c.x - t * dx, my = c.y - t * dy, mz = c.z - t * dz;
                const double miss = (mx * mx + my * my + mz * mz) / (rp * rp);
                if (t <= 0 || std::fabs(miss - 1) < 1e-3)
                    continue;  // behind the eye, or too close to the rim to call
                ASSERT_EQ(drawn(col, row), miss < 1) << b.x << " " << col << "," << row;
                checked += miss < 1;
            }
        EXPECT_GT(checked, 0);
    }
}

// With the eye inside the sphere, the column whose line of sight is
// perpendicular to the centre's direction must agree with its neighbours.
TEST_F(SphereTest, EyeInsideTheSphereIsSeamless)
{
    image(40, 30);
    identityview(true, 20);
    const uint32_t inside = packcolor(0, 255, 0);
    Sphere(newv(3, 0, 0), 50, twosided(packcolor(255, 0, 0), inside));
    // Column 20 has d = (0, row - 15, 20), so C·d is exactly 0 there.
    for (int32_t row = 0; row < 30; row++) {
        ASSERT_EQ(pixel(20, row) & 0xFF00FF, 0u) << row;  // no outside colour
        ASSERT_GT(pixel(20, row) & inside, 0u) << row;
        const float left = depth(19, row), mid = depth(20, row), right = depth(21, row);
        EXPECT_GT(mid, 0);
        EXPECT_NEAR(mid, (left + right) / 2, 0.05f * mid) << row;
    }
}

TEST_F(SphereTest, OutOfRangeSpheresDrawNothingAndNeverOverflow)
{
    image(64, 48);
    const float inf = std::numeric_limits<float>::infinity();
    const Pattern white = solid(255, 255, 255, 255);
    for (uint8_t flags : {uint8_t(CamCentral | CamClip), uint8_t(CamClip), uint8_t(0)}) {
        ActualCam.flags = flags;
        PrepareScene();
        ClearImage(&ActualImage);
        Sphere(newv(0, 0, -3000), 100, white);  // behind the eye / the camera's plane
        if (flags & CamClip) {
            EXPECT_TRUE(cleared());
        }
        Sphere(newv(std::nanf(""), 0, 0), 100, white);
        Sphere(newv(0, 0, 0), inf, white);
        Sphere(newv(0, 0, 0), std::nan(""), white);
        Sphere(newv(inf, 0, 0), 1, white);
        // Huge but finite: the bounds are clamped before they become ints.
        Sphere(newv(1e30, 1e30, 1e30), 1e30, white);
        Sphere(newv(-1e30, 0, 1e30), 1e29, white);
        Sphere(newv(0, 0, 0), 1e30, white);
        Sphere(newv(3e38, -3e38, 3e38), 3e38, white);
    }
}
