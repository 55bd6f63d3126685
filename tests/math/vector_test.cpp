#include "math/vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

bool same(Vector a, Vector b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;  // bitwise: -0 differs from +0
}

}  // namespace

TEST(Vector, ArithmeticIsComponentwiseAndRightHanded)
{
    EXPECT_TRUE(same(addv(newv(1, 2, 3), newv(4, 5, 6)), newv(5, 7, 9)));
    EXPECT_TRUE(same(subv(newv(1, 2, 3), newv(4, 5, 6)), newv(-3, -3, -3)));
    EXPECT_EQ(multvv(newv(1, 2, 3), newv(4, 5, 6)), 32.0f);
    EXPECT_TRUE(same(crossv(newv(1, 0, 0), newv(0, 1, 0)), newv(0, 0, 1)));
    EXPECT_TRUE(same(crossv(newv(0, 1, 0), newv(1, 0, 0)), newv(0, 0, -1)));
    EXPECT_EQ(lengthv(newv(3, 4, 0)), 5.0f);
    EXPECT_TRUE(same(nullv(), newv(0, 0, 0)));
}

TEST(Vector, ScalarsAndComponentsAreRoundedToFloat)
{
    // The scalar becomes the float nearest 0.1 before it multiplies.
    const Vector v = multsv(0.1, newv(1, 1, 1));
    EXPECT_EQ(v.x, 0.1f);
    EXPECT_EQ(newv(0.1, 0, 0).x, 0.1f);
    EXPECT_EQ(multsv(1.0 / 3.0, newv(3, 0, 0)).x, float(1.0 / 3.0) * 3.0f);
}

TEST(Vector, OrthovZeroesTheSmallestAndSwapsTheOthers)
{
    EXPECT_TRUE(same(orthov(newv(1, 2, 3)), newv(0, 3, -2)));
    EXPECT_TRUE(same(orthov(newv(0, 0, 1)), newv(-1, 0, 0)));
    EXPECT_TRUE(same(orthov(newv(1, 0, 0)), newv(0, -1, 0)));
    EXPECT_TRUE(same(orthov(newv(2, 2, 2)), newv(2, -2, 0)));
    const Vector zero = orthov(nullv());
    EXPECT_EQ(lengthv(zero), 0.0f);
    EXPECT_TRUE(std::signbit(zero.y));  // negation flips the sign bit of 0
    for (const Vector v : {newv(1, 2, 3), newv(-5, 0.5, 2), newv(7, -8, 0.25)})
        EXPECT_EQ(multvv(v, orthov(v)), 0.0f);
}

TEST(Vector, TextShowsSignAndSixDigits)
{
    EXPECT_STREQ(textv(newv(1, -2.5, 0)), "(+1.00000,-2.50000,+0.00000)");
    EXPECT_STREQ(textv(newv(1e6, 1e-5, -123456789)), "(+1.00000e+06,+1.00000e-05,-1.23457e+08)");
}
