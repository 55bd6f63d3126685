#include "math/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

void expectVector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expectNear(Vector v, float x, float y, float z, float tolerance)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

}  // namespace

TEST(Matrix, CompositionAppliesTheRightFactorFirst)
{
    const Matrix m = multmm(translate(newv(1, 2, 3)), scale(2));
    expectVector(multmv(m, newv(1, 1, 1)), 3, 4, 5);
    const Matrix n = multmm(scale(2), translate(newv(1, 2, 3)));
    expectVector(multmv(n, newv(1, 1, 1)), 4, 6, 8);
    expectVector(multvecmv(translate(newv(7, 8, 9)), newv(1, 2, 3)), 1, 2, 3);
    expectVector(multmv(translate(newv(7, 8, 9)), newv(1, 2, 3)), 8, 10, 12);
    const Matrix u = multmm(unit(), m);
    EXPECT_EQ(std::memcmp(&u, &m, sizeof m), 0);
}

TEST(Matrix, NewvecmPutsVectorsInColumns)
{
    const Matrix m = newvecm(newv(1, 2, 3), newv(4, 5, 6), newv(7, 8, 9), newv(10, 11, 12));
    const Matrix rows = newm(1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12);
    EXPECT_EQ(std::memcmp(&m, &rows, sizeof m), 0);
    expectVector(multvecmv(m, newv(0, 1, 0)), 4, 5, 6);
    expectVector(multmv(m, nullv()), 10, 11, 12);
    expectVector(columnm(m, 2), 7, 8, 9);
    Matrix moved = m;
    setcolumnm(&moved, 3, newv(-1, -2, -3));
    expectVector(multmv(moved, nullv()), -1, -2, -3);
    expectVector(columnm(moved, 0), 1, 2, 3);
}

TEST(Matrix, InverseOfTheDefaultCameraFrame)
{
    const Matrix frame =
        newvecm(newv(1000, 0, 0), newv(0, 1000, 0), newv(0, 0, 1000), newv(0, 0, -1000));
    EXPECT_EQ(determinant(frame), 1e9f);
    const Matrix inv = inverse(frame);
    EXPECT_FLOAT_EQ(inv.m[0], 0.001f);
    EXPECT_FLOAT_EQ(inv.m[5], 0.001f);
    EXPECT_FLOAT_EQ(inv.m[10], 0.001f);
    EXPECT_FLOAT_EQ(inv.m[11], 1.0f);
    EXPECT_EQ(inv.m[3], 0.0f);
    EXPECT_EQ(inv.m[7], 0.0f);
    expectNear(multmv(inv, newv(0, 0, 0)), 0, 0, 1, 1e-6f);
}

TEST(Matrix, SingularInverseIsTheAdjugateWithoutError)
{
    const Matrix flat = newm(0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7);
    const Matrix inv = inverse(flat);
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(inv.m[i], 0.0f) << "element " << i;
    // Rank 2: the adjugate stands in for the inverse.
    const Matrix rank2 = newm(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(determinant(rank2), 0.0f);
    EXPECT_EQ(inverse(rank2).m[10], 1.0f);
}

TEST(Matrix, InverseUndoesAGeneralTransform)
{
    const Matrix m = multmm(multmm(translate(newv(3, -4, 5)), rotatey(0.7f)),
                            multmm(rotatex(-0.3f), scale(2.5f)));
    const Vector p = newv(1.5, -2, 0.25);
    const Vector back = multmv(inverse(m), multmv(m, p));
    expectNear(back, p.x, p.y, p.z, 1e-5f);
}

TEST(Matrix, RotationsAreRightHanded)
{
    const float halfpi = 1.57079632679489661923f;
    expectNear(multmv(rotatez(halfpi), newv(1, 0, 0)), 0, 1, 0, 1e-7f);
    expectNear(multmv(rotatex(halfpi), newv(0, 1, 0)), 0, 0, 1, 1e-7f);
    expectNear(multmv(rotatey(halfpi), newv(0, 0, 1)), 1, 0, 0, 1e-7f);
    const Matrix r = rotatey(0.0f), one = unit();
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(r.m[i], one.m[i]);
}

TEST(Matrix, RotationSinesMatchTheLibraryToTheLastBitOrOne)
{
    // Our own sine and cosine: the same bits everywhere, within a unit of the
    // last place of the library's.
    for (int i = -20000; i <= 20000; i++) {
        const float angle = float(i) * 0.000731f;
        const Matrix r = rotatez(angle);
        const float c = std::cos(angle), s = std::sin(angle);
        EXPECT_LE(std::fabs(r.m[0] - c), std::nextafter(std::fabs(c), 2.0f) - std::fabs(c))
            << angle;
        EXPECT_LE(std::fabs(r.m[4] - s), std::nextafter(std::fabs(s), 2.0f) - std::fabs(s))
            << angle;
    }
}

TEST(Matrix, TextFormsAreExact)
{
    const Matrix m = newm(1, -2, 0, 1000000, 0.5, 0, 0, 0, 0, 0, 1, -1e-5);
    EXPECT_STREQ(textm(m, 1), "(+1.00000,-2.00000,+0.00000,+1.00000e+06)");
    EXPECT_STREQ(textm(m, 0), " /+1.00000,-2.00000,+0.00000,+1.00000e+06\\ \n"
                              "< +0.500000,+0.00000,+0.00000,+0.00000 >\n"
                              " \\+0.00000,+0.00000,+1.00000,-1.00000e-05/ \n");
    EXPECT_STREQ(textm(m, 4), "Warning: Line number of Matrix undefined");
    EXPECT_STREQ(textm(m, -1), "Warning: Line number of Matrix undefined");
}
