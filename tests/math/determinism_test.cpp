// The same inputs must give the same bits on every build (Linux and Windows,
// 32 and 64 bits): the constants below were taken from the native build, and
// the Windows builds run this test under Wine against them.
#include "math/matrix.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Hash {
    uint64_t value = 1469598103934665603ull;
    void bytes(const void* data, size_t size)
    {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; i++)
            value = (value ^ p[i]) * 1099511628211ull;
    }
    void add(float f) { bytes(&f, sizeof f); }
    void add(Vector v) { bytes(&v, sizeof v); }
    void add(const Matrix& m) { bytes(&m, sizeof m); }
    void add(const char* text) { bytes(text, std::strlen(text) + 1); }
};

struct Random {
    uint32_t state = 12345;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    // Magnitudes from 1e-4 to 1e4, both signs: the range of scene coordinates.
    float real()
    {
        const double mantissa = double(next() >> 8) / double(1 << 24);
        const int exponent = int(next() % 9) - 4;
        const double sign = next() & 1 ? -1.0 : 1.0;
        double value = sign * mantissa;
        for (int i = 0; i < exponent; i++)
            value *= 10.0;
        for (int i = 0; i > exponent; i--)
            value /= 10.0;
        return float(value);
    }
    // One call per statement: the order in which arguments are evaluated is
    // the compiler's choice.
    Vector vector()
    {
        const float x = real();
        const float y = real();
        const float z = real();
        return newv(x, y, z);
    }
    Matrix matrix()
    {
        const Vector a = vector();
        const Vector b = vector();
        const Vector c = vector();
        const Vector d = vector();
        return newvecm(a, b, c, d);
    }
};

}  // namespace

TEST(Determinism, VectorAndMatrixArithmeticIsBitIdentical)
{
    Random random;
    Hash hash;
    for (int i = 0; i < 4000; i++) {
        const Vector a = random.vector();
        const Vector b = random.vector();
        const Matrix m = random.matrix();
        const Matrix n = random.matrix();
        hash.add(addv(a, b));
        hash.add(subv(a, b));
        hash.add(crossv(a, b));
        hash.add(multvv(a, b));
        hash.add(lengthv(a));
        hash.add(multsv(random.real(), a));
        hash.add(orthov(a));
        hash.add(multmv(m, a));
        hash.add(multvecmv(m, b));
        hash.add(multmm(m, n));
        hash.add(determinant(m));
        hash.add(inverse(m));
    }
    EXPECT_EQ(hash.value, 17010829113916032936ull);
}

TEST(Determinism, RotationsAreBitIdentical)
{
    Random random;
    Hash hash;
    for (int i = 0; i < 4000; i++) {
        const float angle = random.real();
        hash.add(rotatex(angle));
        hash.add(rotatey(angle * 0.001f));
        hash.add(rotatez(float(int32_t(random.next())) * 1e-6f));
    }
    EXPECT_EQ(hash.value, 13415519171656082715ull);
}

TEST(Determinism, TextAndNumberParsingAreIdentical)
{
    Random random;
    Hash hash;
    char buffer[64];
    for (int i = 0; i < 4000; i++) {
        const float value = random.real();
        hash.add(textv(newv(value, -value, value * 1e-30f)));
        std::snprintf(buffer, sizeof buffer, "%g", double(value));
        hash.add(buffer);
        std::snprintf(buffer, sizeof buffer, "%.9g", double(value));
        hash.add(float(std::atof(buffer)));
        float scanned = 0;
        std::sscanf(buffer, "%f", &scanned);
        hash.add(scanned);
    }
    const char* words[] = {"1e+06", "1e-45", "3.4028235e38", "1e999", "-0", "+5",
                           "\t7", "12abc", "abc", ".5", "5.", "0.1000000000000000055511151231257827",
                           "1.00000000000000011102230246251565404236316680908203125"};
    // Decimal words only: the runtime's atof on Windows knows no hex, "nan" or
    // "inf"; the scene reader has its own parser for those.
    for (const char* word : words) {
        hash.add(float(std::atof(word)));
        std::snprintf(buffer, sizeof buffer, "%g|%i", std::atof(word), std::atoi(word));
        hash.add(buffer);
    }
    for (const char* word : {"300", "-1", "0x10", "010", "16", "1e3", "abc"}) {
        int value = -99;
        std::sscanf(word, "%i", &value);
        hash.add(float(value));
    }
    EXPECT_EQ(hash.value, 11814688404471056314ull);
}
