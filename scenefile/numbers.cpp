#include "scenefile/numbers.h"

#include <cmath>
#include <cstring>

// Hard cases (long mantissas, huge or tiny exponents) are rounded exactly
// with a small unsigned big integer: the value is the ratio N / D of two
// integers, and the quotient is taken bit by bit.
namespace {

// Enough for 800 significant digits over 10^1125 and the shifts of the quotient.
constexpr int BigLimbs = 144;
constexpr int MaxDigits = 800;

struct Big {
    uint32_t limb[BigLimbs];  // least significant first
    int size;                 // limbs in use; the top one is not 0
};

Big bigfrom(uint32_t value)
{
    Big big;
    big.size = value ? 1 : 0;
    big.limb[0] = value;
    return big;
}

void bigmuladd(Big& big, uint32_t factor, uint32_t addend)
{
    uint64_t carry = addend;
    for (int i = 0; i < big.size; i++) {
        const uint64_t product = uint64_t(big.limb[i]) * factor + carry;
        big.limb[i] = uint32_t(product);
        carry = product >> 32;
    }
    if (carry)
        big.limb[big.size++] = uint32_t(carry);
}

void bigshiftleft(Big& big, int bits)
{
    if (big.size == 0 || bits == 0)
        return;
    const int limbs = bits / 32;
    const int rest = bits % 32;
    big.limb[big.size + limbs] = 0;
    for (int i = big.size - 1; i >= 0; i--) {
        const uint32_t value = big.limb[i];
        if (rest)
            big.limb[i + limbs + 1] |= value >> (32 - rest);
        big.limb[i + limbs] = value << rest;
    }
    for (int i = 0; i < limbs; i++)
        big.limb[i] = 0;
    big.size += limbs + 1;
    while (big.size > 0 && big.limb[big.size - 1] == 0)
        big.size--;
}

void bigshiftright1(Big& big)
{
    for (int i = 0; i < big.size; i++) {
        big.limb[i] >>= 1;
        if (i + 1 < big.size)
            big.limb[i] |= big.limb[i + 1] << 31;
    }
    while (big.size > 0 && big.limb[big.size - 1] == 0)
        big.size--;
}

int bigcompare(const Big& a, const Big& b)
{
    if (a.size != b.size)
        return a.size < b.size ? -1 : 1;
    for (int i = a.size - 1; i >= 0; i--)
        if (a.limb[i] != b.limb[i])
            return a.limb[i] < b.limb[i] ? -1 : 1;
    return 0;
}

// a -= b, for a >= b.
void bigsubtract(Big& a, const Big& b)
{
    int64_t borrow = 0;
    for (int i = 0; i < a.size; i++) {
        int64_t difference = int64_t(a.limb[i]) - (i < b.size ? b.limb[i] : 0) - borrow;
        borrow = difference < 0;
        if (borrow)
            difference += int64_t(1) << 32;
        a.limb[i] = uint32_t(difference);
    }
    while (a.size > 0 && a.limb[a.size - 1] == 0)
        a.size--;
}

int bigbits(const Big& big)
{
    if (big.size == 0)
        return 0;
    int bits = (big.size - 1) * 32;
    for (uint32_t top = big.limb[big.size - 1]; top; top >>= 1)
        bits++;
    return bits;
}

void bigpow10(Big& big, int exponent)
{
    for (; exponent >= 9; exponent -= 9)
        bigmuladd(big, 1000000000u, 0);
    for (; exponent > 0; exponent--)
        bigmuladd(big, 10, 0);
}

// q * 2^unit, for q <= 2^53 and unit >= -1074, built from its bits so that no
// library rounding or x87 arithmetic is involved.
double makedouble(uint64_t q, int unit)
{
    constexpr uint64_t hidden = uint64_t(1) << 52;
    if (q == hidden << 1) {
        q = hidden;
        unit++;
    }
    uint64_t bits = q;  // below 2^52 only as a subnormal, where unit is -1074
    if (q >= hidden) {
        const int biased = unit + 1075;
        if (biased >= 2047)
            return HUGE_VAL;
        bits = uint64_t(biased) << 52 | (q - hidden);
    }
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The double nearest to n / d (both positive), ties to even, subnormals and
// overflow included.
double roundratio(Big n, Big d)
{
    // 2^e <= n/d < 2^(e+1)
    int e = bigbits(n) - bigbits(d);
    {
        Big a = n, b = d;
        if (e >= 0)
            bigshiftleft(b, e);
        else
            bigshiftleft(a, -e);
        if (bigcompare(a, b) < 0)
            e--;
    }
    if (e > 1023)
        return HUGE_VAL;
    if (e < -1076)
        return 0.0;
    // The weight of the last bit kept: 53 bits, fewer below the normal range.
    const int unit = e - 52 > -1074 ? e - 52 : -1074;
    if (unit >= 0)
        bigshiftleft(d, unit);
    else
        bigshiftleft(n, -unit);
    // n/d < 2^53 now: long division, one quotient bit at a time.
    uint64_t q = 0;
    Big step = d;
    bigshiftleft(step, 53);
    for (int bit = 53; bit >= 0; bit--) {
        if (bigcompare(n, step) >= 0) {
            bigsubtract(n, step);
            q |= uint64_t(1) << bit;
        }
        bigshiftright1(step);
    }
    bigshiftleft(n, 1);
    const int half = bigcompare(n, d);
    if (half > 0 || (half == 0 && (q & 1)))
        q++;
    return makedouble(q, unit);
}

bool isdigit10(char c) { return c >= '0' && c <= '9'; }

int hexvalue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isspacec(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Case-blind test that text starts with word (lower case).
bool startsnocase(const char* text, const char* word)
{
    for (; *word; text++, word++)
        if (lower(*text) != *word)
            return false;
    return true;
}

// An optionally signed exponent at p; saturates far outside any double.
// Returns the bytes used, 0 when there are no digits.
int scanexponent(const char* p, int* value)
{
    int i = 0;
    bool negative = false;
    if (p[i] == '+' || p[i] == '-')
        negative = p[i++] == '-';
    if (!isdigit10(p[i]))
        return 0;
    int magnitude = 0;
    for (; isdigit10(p[i]); i++)
        if (magnitude < 100000)
            magnitude = magnitude * 10 + (p[i] - '0');
    *value = negative ? -magnitude : magnitude;
    return i;
}

// digits: the significant digits of a decimal value digits * 10^exponent.
double decimalvalue(const char* digits, int count, int exponent)
{
    if (count == 0)
        return 0.0;
    if (count + exponent > 310)
        return HUGE_VAL;
    if (count + exponent < -324)
        return 0.0;
    // Exact fast path: an integer below 2^53 times or over an exact power of ten
    // rounds once, correctly (SSE2 doubles, no contraction).
    if (count <= 19) {
        uint64_t m = 0;
        for (int i = 0; i < count; i++)
            m = m * 10 + uint64_t(digits[i] - '0');
        static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        constexpr uint64_t exactlimit = uint64_t(1) << 53;
        if (m < exactlimit) {
            if (exponent >= 0 && exponent <= 22)
                return double(m) * powers[exponent];
            if (exponent < 0 && exponent >= -22)
                return double(m) / powers[-exponent];
            // A short mantissa takes some of a larger power exactly.
            if (exponent > 22 && exponent <= 22 + 15) {
                uint64_t scaled = m;
                int k = exponent - 22;
                while (k > 0 && scaled < exactlimit / 10) {
                    scaled *= 10;
                    k--;
                }
                if (k == 0)
                    return double(scaled) * powers[22];
            }
        }
    }
    Big n = bigfrom(0);
    for (int i = 0; i < count; i++)
        bigmuladd(n, 10, uint32_t(digits[i] - '0'));
    Big d = bigfrom(1);
    if (exponent >= 0)
        bigpow10(n, exponent);
    else
        bigpow10(d, -exponent);
    return roundratio(n, d);
}

// nibbles: significant hex digits of a value nibbles * 2^exponent.
double binaryvalue(const char* nibbles, int count, int exponent)
{
    if (count == 0)
        return 0.0;
    if (count * 4 + exponent > 1030)
        return HUGE_VAL;
    if (count * 4 + exponent < -1080)
        return 0.0;
    Big n = bigfrom(0);
    for (int i = 0; i < count; i++)
        bigmuladd(n, 16, uint32_t(hexvalue(nibbles[i])));
    Big d = bigfrom(1);
    if (exponent >= 0)
        bigshiftleft(n, exponent);
    else
        bigshiftleft(d, -exponent);
    return roundratio(n, d);
}

// The mantissa digits after a sign; base 10 or 16. Keeps at most MaxDigits
// significant digits; a dropped non-zero digit leaves a final 1 so that the
// rounding still sees that the value lies above the kept digits.
struct Mantissa {
    char digits[MaxDigits + 2];
    int count = 0;
    int scale = 0;  // value = digits * base^scale (before any exponent)
    int used = 0;   // bytes of text taken; 0: no digit at all
};

Mantissa scanmantissa(const char* p, int base)
{
    Mantissa m;
    bool any = false, point = false, sticky = false;
    int i = 0;
    for (;; i++) {
        const char c = p[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        const int value = base == 10 ? (isdigit10(c) ? c - '0' : -1) : hexvalue(c);
        if (value < 0)
            break;
        any = true;
        if (m.count == 0 && value == 0) {
            if (point)
                m.scale--;
        } else if (m.count < MaxDigits) {
            m.digits[m.count++] = c;
            if (point)
                m.scale--;
        } else {
            sticky |= value != 0;
            if (!point)
                m.scale++;
        }
    }
    if (sticky) {
        m.digits[m.count++] = '1';
        m.scale--;
    }
    // A lone point is no number; a point after digits belongs to it.
    m.used = any ? i : 0;
    return m;
}

// Where the number proper starts, as the C library reads it: past leading
// white space and one sign.
int numberstart(const char* text, bool* negative)
{
    int i = 0;
    while (isspacec(text[i]))
        i++;
    *negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        i++;
    return i;
}

}  // namespace

double scanreal(const char* text, int* used)
{
    bool negative;
    int i = numberstart(text, &negative);
    const char* p = text + i;
    double magnitude;
    int taken = 0;
    if (startsnocase(p, "inf")) {
        magnitude = HUGE_VAL;
        taken = startsnocase(p, "infinity") ? 8 : 3;
    } else if (startsnocase(p, "nan")) {
        magnitude = std::nan("");
        taken = 3;
        if (p[3] == '(') {
            int k = 4;
            while (isdigit10(p[k]) || (lower(p[k]) >= 'a' && lower(p[k]) <= 'z') || p[k] == '_')
                k++;
            if (p[k] == ')')
                taken = k + 1;
        }
    } else if (p[0] == '0' && lower(p[1]) == 'x' &&
               (hexvalue(p[2]) >= 0 || (p[2] == '.' && hexvalue(p[3]) >= 0))) {
        // Without a hex digit after it, the x is not part of the number: "0x" reads as 0.
        const Mantissa m = scanmantissa(p + 2, 16);
        taken = 2 + m.used;
        int exponent = 0;
        if (lower(p[taken]) == 'p') {
            const int length = scanexponent(p + taken + 1, &exponent);
            if (length)
                taken += 1 + length;
        }
        magnitude = binaryvalue(m.digits, m.count, m.scale * 4 + exponent);
    } else {
        const Mantissa m = scanmantissa(p, 10);
        taken = m.used;
        int exponent = 0;
        if (taken && lower(p[taken]) == 'e') {
            const int length = scanexponent(p + taken + 1, &exponent);
            if (length)
                taken += 1 + length;
        }
        magnitude = taken ? decimalvalue(m.digits, m.count, m.scale + exponent) : 0.0;
    }
    if (used)
        *used = taken ? i + taken : 0;
    if (!taken)
        return 0.0;
    return negative ? -magnitude : magnitude;
}

int32_t scanint(const char* text, int* used)
{
    bool negative;
    int i = numberstart(text, &negative);
    const int start = i;
    uint32_t value = 0;
    for (; isdigit10(text[i]); i++)
        value = value * 10u + uint32_t(text[i] - '0');
    if (used)
        *used = i > start ? i : 0;
    if (i == start)
        return 0;
    if (negative)
        value = 0u - value;
    // Two's complement without relying on an implementation-defined conversion.
    return value <= 0x7FFFFFFFu ? int32_t(value) : int32_t(value - 0x80000000u) + INT32_MIN;
}
