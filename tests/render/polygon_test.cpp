#include "render_fixture.h"

#include <vector>

using PolygonTest = RenderTest;

// Corners given in view coordinates (the tests use the identity view).
struct Corners {
    std::vector<Vector> points;
    std::vector<Vector*> refs;
    explicit Corners(std::vector<Vector> p) : points(std::move(p))
    {
        for (Vector& v : points)
            refs.push_back(&v);
    }
    Vector** data() { return refs.data(); }
    int32_t count() const { return int32_t(points.size()); }
};

static const uint32_t Front = packcolor(255, 0, 0), Back = packcolor(0, 0, 255);

TEST_F(PolygonTest, ParallelTriangleFrontAndBack)
{
    image(12, 12);
    identityview(false);
    Corners clockwise({newv(0, 0, 10), newv(10, 0, 10), newv(0, 10, 10)});
    Porygon(clockwise.data(), clockwise.count(), twosided(Front, Back));
    EXPECT_EQ(pixel(2, 3), Front);
    EXPECT_EQ(depth(2, 3), 10);
    EXPECT_FALSE(drawn(0, 0));  // on the first edge: not strictly below it
    EXPECT_TRUE(drawn(0, 5));   // the third edge is vertical: the first one toggles alone
    EXPECT_TRUE(drawn(5, 5));   // on the second edge, which passes below: inside
    EXPECT_FALSE(drawn(5, 6));  // below it

    ClearImage(&ActualImage);
    Corners anticlockwise({newv(0, 10, 10), newv(10, 0, 10), newv(0, 0, 10)});
    Porygon(anticlockwise.data(), anticlockwise.count(), twosided(Front, Back));
    EXPECT_EQ(pixel(2, 3), Back);  // same normal turned to the viewer: fully lit
    ClearImage(&ActualImage);
    Porygon(anticlockwise.data(), anticlockwise.count(), solid(255, 0, 0));
    EXPECT_EQ(pixel(2, 3), Front);  // no back side: the front colour serves
}

TEST_F(PolygonTest, ParallelSquareFillsColumns0To9Rows1To9)
{
    image(16, 16);
    identityview(false);
    Corners square({newv(0, 0, 3), newv(10, 0, 3), newv(10, 10, 3), newv(0, 10, 3)});
    Porygon(square.data(), square.count(), solid(255, 255, 255));
    for (int32_t row = 0; row < 16; row++)
        for (int32_t col = 0; col < 16; col++)
            ASSERT_EQ(drawn(col, row), col <= 9 && row >= 1 && row <= 9) << col << "," << row;
}

// The central view counts a point on an edge as inside: the same square seen
// through the eye fills its top row too.
TEST_F(PolygonTest, CentralSquareKeepsItsEdges)
{
    image(20, 20);
    identityview(true, 100);
    Corners square({newv(0, 0, 100), newv(5, 0, 100), newv(5, 5, 100), newv(0, 5, 100)});
    Porygon(square.data(), square.count(), solid(255, 255, 255));
    for (int32_t row = 0; row < 20; row++)
        for (int32_t col = 0; col < 20; col++)
            ASSERT_EQ(drawn(col, row), col >= 10 && col <= 14 && row >= 10 && row <= 14)
                << col << "," << row;
    EXPECT_NEAR(depth(12, 12), 100, 1e-4);
}

TEST_F(PolygonTest, EdgeOnAndDegeneratePolygonsDrawNothing)
{
    image(20, 20);
    for (bool central : {false, true}) {
        identityview(central, 10);
        Corners edgeon({newv(2, 2, 5), newv(12, 2, 5), newv(12, 2, 9)});   // plane v = 2
        Corners line({newv(1, 1, 5), newv(5, 5, 5), newv(9, 9, 5)});     // collinear
        Corners two({newv(1, 1, 5), newv(15, 15, 5)});
        Porygon(line.data(), line.count(), solid(255, 255, 255));
        Porygon(two.data(), two.count(), solid(255, 255, 255));
        if (!central)
            Porygon(edgeon.data(), edgeon.count(), solid(255, 255, 255));
        EXPECT_TRUE(cleared()) << central;
    }
}

// A floor exactly at the eye's height passes through the eye: seen edge-on,
// it must not paint the picture at depth 0.
TEST_F(PolygonTest, CentralPlaneThroughTheEyeDrawsNothing)
{
    image(40, 30);
    identityview(true, 20);
    Sphere(newv(0, 0, 50), 10, solid(0, 255, 0));
    const int32_t before = drawncount();
    ASSERT_GT(before, 0);
    Corners floor({newv(-100, 0, -50), newv(100, 0, -50), newv(100, 0, 200), newv(-100, 0, 200)});
    Porygon(floor.data(), floor.count(), solid(255, 0, 0));
    EXPECT_EQ(drawncount(), before);
    EXPECT_EQ(pixel(20, 15) & 0xFF, 0u);
}

// A floor below the eye reaching behind it: tested over the whole picture,
// drawn below the horizon only, the part behind the eye clipped.
TEST_F(PolygonTest, CentralFloorReachingBehindTheEye)
{
    image(40, 30);
    identityview(true, 20);
    Corners floor({newv(-100, 10, -50), newv(100, 10, -50), newv(100, 10, 200), newv(-100, 10, 200)});
    Porygon(floor.data(), floor.count(), twosided(Front, Back));
    // Row r > 15 looks down onto v = 10 at w = 200 / (r - 15), u = (col - 20) · 10 / (r - 15).
    for (int32_t row = 0; row < 30; row++)
        for (int32_t col = 0; col < 40; col++) {
            if (row <= 15) {
                ASSERT_FALSE(drawn(col, row)) << col << "," << row;
            } else if (std::fabs(col - 20.0) < 10.0 * (row - 15)) {
                ASSERT_TRUE(drawn(col, row)) << col << "," << row;
            }
        }
    EXPECT_NEAR(depth(20, 25), 20, 1e-4);  // v = 10 at row 25: w = 10·20/10
}

TEST_F(PolygonTest, SelfIntersectingPolygonIsFilledEvenOdd)
{
    image(12, 12);
    identityview(false);
    // A bow-tie crossing itself at (6.25, 5), lobes left and right (a
    // symmetric one would have no area at all and be seen edge-on).
    Corners bowtie({newv(0, 0, 1), newv(10, 8, 1), newv(10, 2, 1), newv(0, 10, 1)});
    Porygon(bowtie.data(), bowtie.count(), solid(255, 255, 255));
    EXPECT_TRUE(drawn(1, 5));
    EXPECT_TRUE(drawn(9, 5));
    EXPECT_FALSE(drawn(6, 1));
    EXPECT_FALSE(drawn(6, 9));
    EXPECT_EQ(depth(1, 5), 1);
}

TEST_F(PolygonTest, CornerBufferGrowsOnlyWhenNeeded)
{
    image(50, 50);
    identityview(false);
    const Vector* const initial = poly_crn;
    const int32_t initialsize = poly_maxsize;
    Corners two({newv(1, 1, 1), newv(5, 5, 1)});
    Porygon(two.data(), two.count(), solid(1, 1, 1));
    EXPECT_EQ(poly_crn, initial);
    EXPECT_EQ(poly_maxsize, initialsize);

    const int32_t bigger = (initialsize > 40 ? initialsize : 40) + 1;
    std::vector<Vector> ring;
    for (int i = 0; i < bigger; i++)
        ring.push_back(newv(25 + 20 * std::cos(i * 0.1), 25 + 20 * std::sin(i * 0.1), 1));
    Corners small({ring[0], ring[1], ring[2]});
    Porygon(small.data(), small.count(), solid(1, 1, 1));
    EXPECT_EQ(poly_maxsize, initialsize > 40 ? initialsize : 40);
    Corners many(std::vector<Vector>(ring.begin(), ring.begin() + bigger));
    Porygon(many.data(), many.count(), solid(1, 1, 1));
    EXPECT_EQ(poly_maxsize, bigger);
    const Vector* const kept = poly_crn;
    Corners fewer(std::vector<Vector>(ring.begin(), ring.begin() + bigger - 1));
    Porygon(fewer.data(), fewer.count(), solid(1, 1, 1));
    EXPECT_EQ(poly_crn, kept);
    EXPECT_EQ(poly_maxsize, bigger);
}

TEST_F(PolygonTest, FarOffCornersNeverOverflow)
{
    image(30, 20);
    for (bool central : {false, true}) {
        identityview(central, 10);
        Corners huge({newv(-1e30, -1e30, 5), newv(1e30, -1e30, 5), newv(0, 1e30, 5)});
        Corners nearplane({newv(-5, -5, 1e-30), newv(5, -5, 1e-30), newv(0, 5, 1e-30)});
        Corners notanumber({newv(std::nan(""), 0, 5), newv(5, 0, 5), newv(0, 5, 5)});
        Porygon(huge.data(), huge.count(), solid(255, 255, 255));
        Porygon(nearplane.data(), nearplane.count(), solid(255, 255, 255));
        ClearImage(&ActualImage);
        Porygon(notanumber.data(), notanumber.count(), solid(255, 255, 255));
        EXPECT_TRUE(cleared());
    }
}
