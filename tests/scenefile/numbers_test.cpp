#include "scenefile/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

uint64_t bitsof(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct RealCase {
    const char* text;
    uint64_t bits;  // what a C99 strtod on glibc gives
    int used;
};

// Hard roundings, both ends of the range, the forms one C runtime or another
// does not know, and the prefixes that stop early.
const RealCase realcases[] = {
    {"0x1p3", 0x4020000000000000ull, 5},
    {"0X1P-1074", 0x0000000000000001ull, 9},
    {"0x1p-1075", 0x0000000000000000ull, 9},
    {"0x1.8p-1074", 0x0000000000000002ull, 11},
    {"0x.8p1", 0x3ff0000000000000ull, 6},
    {"0x", 0x0000000000000000ull, 1},
    {"0xg", 0x0000000000000000ull, 1},
    {"-0x0", 0x8000000000000000ull, 4},
    {"0x1.fffffffffffff8p1023", 0x7ff0000000000000ull, 23},
    {"0x1.fffffffffffffp1023", 0x7fefffffffffffffull, 22},
    {"1e-45", 0x3696d601ad376ab9ull, 5},
    {"7e-46", 0x368ff868bf4d956aull, 5},
    {"+5", 0x4014000000000000ull, 2},
    {"\t7.5", 0x401e000000000000ull, 4},
    {"\v\f-2", 0xc000000000000000ull, 4},
    {"-0", 0x8000000000000000ull, 2},
    {"-", 0x0000000000000000ull, 0},
    {"+", 0x0000000000000000ull, 0},
    {"nan", 0x7ff8000000000000ull, 3},
    {"-nan", 0xfff8000000000000ull, 4},
    {"NaN(abc_12)", 0x7ff8000000000000ull, 11},
    {"nan(", 0x7ff8000000000000ull, 3},
    {"nan(a b)", 0x7ff8000000000000ull, 3},
    {"inf", 0x7ff0000000000000ull, 3},
    {"-Infinity", 0xfff0000000000000ull, 9},
    {"infinit", 0x7ff0000000000000ull, 3},
    {"1e999", 0x7ff0000000000000ull, 5},
    {"-1e999", 0xfff0000000000000ull, 6},
    {"1e-999", 0x0000000000000000ull, 6},
    {"-1e-999", 0x8000000000000000ull, 7},
    {"3.40282e+38", 0x47effffdbd19d02cull, 11},
    {"0.1", 0x3fb999999999999aull, 3},
    {"123456789012345678901234567890", 0x45f8ee90ff6c373eull, 30},
    {"1.00000000000000011102230246251565404236316680908203125", 0x3ff0000000000000ull, 55},
    {"1.000000000000000111022302462515654042363166809082031250000000001", 0x3ff0000000000001ull, 65},
    {"2.2250738585072011e-308", 0x000fffffffffffffull, 23},
    {"4.9406564584124654e-324", 0x0000000000000001ull, 23},
    {"2.4703282292062327e-324", 0x0000000000000000ull, 23},
    {"2.4703282292062328e-324", 0x0000000000000001ull, 23},
    {"1.7976931348623157e308", 0x7fefffffffffffffull, 22},
    {"1.7976931348623158e308", 0x7fefffffffffffffull, 22},
    {"1.797693134862315807e308", 0x7fefffffffffffffull, 24},
    {"1e", 0x3ff0000000000000ull, 1},
    {"1e+", 0x3ff0000000000000ull, 1},
    {"1e-x", 0x3ff0000000000000ull, 1},
    {"1.5x", 0x3ff8000000000000ull, 3},
    {"1.", 0x3ff0000000000000ull, 2},
    {".5", 0x3fe0000000000000ull, 2},
    {".", 0x0000000000000000ull, 0},
    {"..1", 0x0000000000000000ull, 0},
    {"1,5", 0x3ff0000000000000ull, 1},
    {"0.000000000000000000000000001e27", 0x3ff0000000000000ull, 32},
    {"9007199254740993", 0x4340000000000000ull, 16},
    {"1e23", 0x44b52d02c7e14af6ull, 4},
    {"8.589973e9", 0x42000004b0400000ull, 10},
    {"1.5e0009", 0x41d65a0bc0000000ull, 8},
    {"1e-99999999999999999999", 0x0000000000000000ull, 23},
    {"1e99999999999999999999", 0x7ff0000000000000ull, 22},
    {"0e99999999", 0x0000000000000000ull, 10},
    {"00000000000000000000000000000001e-20", 0x3bc79ca10c924223ull, 36},
    {"4.35e+35", 0x4754f1c9f99f244aull, 8},
    {"1.23457e+29", 0x45f8ee93ca46d597ull, 11},
    {"1e37", 0x479e17b84357691bull, 4},
    {"3e37", 0x47b691ca32818ed5ull, 4},
    {"12345e30", 0x4703053e72afbcadull, 8},
};

}  // namespace

TEST(ScanReal, GivesTheCorrectlyRoundedValueAndPrefixOnEveryBuild)
{
    for (const RealCase& c : realcases) {
        int used = -1;
        const double value = scanreal(c.text, &used);
        EXPECT_EQ(bitsof(value), c.bits) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
}

TEST(ScanReal, KeepsRoundingRightBeyondEightHundredDigits)
{
    // 1 + 2^-53 exactly is a tie that rounds down to 1; any non-zero digit far
    // behind it, even past the digits kept, tips it up.
    const std::string tie = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(bitsof(scanreal((tie + std::string(900, '0')).c_str())), bitsof(1.0));
    EXPECT_EQ(bitsof(scanreal((tie + std::string(900, '0') + "1").c_str())), 0x3ff0000000000001ull);
    // Long runs of digits on both sides of the range must neither overflow nor lose the exponent.
    EXPECT_EQ(scanreal(("0." + std::string(2000, '0') + "1e2000").c_str()), 0.1);
    EXPECT_EQ(scanreal((std::string(2000, '9') + "e-2000").c_str()), 1.0);
    EXPECT_EQ(bitsof(scanreal(("0x" + std::string(1500, 'f') + "p-7000").c_str())), bitsof(0x1p-1000));
    EXPECT_EQ(scanreal(("0x0." + std::string(1500, '0') + "1p6004").c_str()), 1.0);
}

#ifdef __GLIBC__
// Where the C library is known to be correct, random number-like words must
// read exactly as its strtod reads them.
TEST(ScanReal, AgreesWithTheCLibraryOnRandomWords)
{
    std::mt19937 random(20240611);
    const char alphabet[] = "0123456789.eE+-xXpPaAfFnNiI \t";
    for (int round = 0; round < 200000; round++) {
        std::string text;
        const int length = int(random() % 31) + 1;
        for (int i = 0; i < length; i++) {
            const unsigned pick = random() % 100;
            text += pick < 70 ? char('0' + random() % 10) : alphabet[random() % (sizeof alphabet - 1)];
        }
        if (random() % 4 == 0)
            text.insert(0, random() % 2 ? "0x" : "-");
        char* end;
        const double expected = std::strtod(text.c_str(), &end);
        int used;
        const double value = scanreal(text.c_str(), &used);
        ASSERT_EQ(used, int(end - text.c_str())) << text;
        if (expected != expected)
            ASSERT_TRUE(value != value) << text;
        else
            ASSERT_EQ(bitsof(value), bitsof(expected)) << text;
    }
}
#endif

TEST(ScanInt, ReadsTheLongestDecimalPrefixModulo2To32)
{
    struct {
        const char* text;
        int32_t value;
        int used;
    } const cases[] = {
        {"255", 255, 3},          {"256", 256, 3},     {"-1", -1, 2},          {"+7", 7, 2},
        {"\t 9", 9, 3},           {"12abc", 12, 2},    {"abc", 0, 0},          {"-", 0, 0},
        {"0x10", 0, 1},           {"1e3", 1, 1},       {"", 0, 0},             {"2147483647", 2147483647, 10},
        {"2147483648", INT32_MIN, 10},                 {"-2147483648", INT32_MIN, 11},
        {"4294967296", 0, 10},    {"4294967299", 3, 10},
        {"99999999999", 1215752191, 11},               {"-99999999999", -1215752191, 12},
    };
    for (const auto& c : cases) {
        int used = -1;
        EXPECT_EQ(scanint(c.text, &used), c.value) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
}
