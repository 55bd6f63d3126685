// lanes.h - four floats side by side, for the fast rasterisers (internal to render/fast/).
//
// The fast rasterisers work on four pixels of a column at once. Every lane
// operation is the one IEEE single-precision operation that the literal
// renderer performs per pixel: SSE2 adds, subtracts, multiplies, divides and
// square roots round exactly as their scalar forms do, and comparisons treat
// NaN alike (ordered: false). So a lane holds bit for bit what the scalar code
// holds. Without SSE2 the same interface runs lane by lane.
//
//   F4 / M4              four floats / four lane flags
//   f4(x), f4(a,b,c,d)   broadcast / from four values
//   + - * /, sqrt4, neg  lane arithmetic (neg flips the sign bit, as unary minus does)
//   gt ge lt eq          ordered comparisons (false where either lane is NaN)
//   & | andnot           flag logic; andnot(a, b) = b and not a
//   select(m, a, b)      a where m is set, else b
//   noflags(), firstlanes(n)   no lane / lanes 0 to n - 1
//   lanemask(bits)       lane i set when bit i is set
//   lanebits(m)          bit i set when lane i is set
//   setlanes(out, bits, value)   out[i] = value for every bit i set (four ints)
//   lane(x, i)           lane i
//   load4(in), store4(x, out)   four floats from memory / the four lanes to memory
//   prefetch(p)          asks for p's cache line ahead of its use (nothing without SSE2)
//   shadelanes(colour, ambient)   a colour and its ambient made ready for shadewords
//   shadewords(cos, shade, out)   the literal's per-channel shading of four cos values,
//                        as blue | green << 8 | red << 16
//   transpose4(in, instride, out, outstride)   four rows of four 4-byte values into four columns
//   mergeword(out, word)  a pixel word into *out, which keeps its fourth byte and takes the
//                        other three from word, unless word is Unwritten (its top bit set):
//                        then *out stays
//   transposemerge4(in, instride, out, outstride)   transpose4 for pixels, each word merged so
#pragma once

#include <cstddef>
#include <cstdint>

inline void mergeword(uint32_t* out, uint32_t word)
{
    if (!(word >> 31))
        *out = (*out & 0xFF000000u) | word;
}

#if defined(__SSE2__)
#include <emmintrin.h>

struct F4 {
    __m128 v;
};
struct M4 {
    __m128 v;
};

inline F4 f4(float x) { return F4{_mm_set1_ps(x)}; }
inline F4 f4(float a, float b, float c, float d) { return F4{_mm_setr_ps(a, b, c, d)}; }
inline F4 operator+(F4 a, F4 b) { return F4{_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return F4{_mm_sub_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, F4 b) { return F4{_mm_mul_ps(a.v, b.v)}; }
inline F4 operator/(F4 a, F4 b) { return F4{_mm_div_ps(a.v, b.v)}; }
inline F4 sqrt4(F4 a) { return F4{_mm_sqrt_ps(a.v)}; }
inline F4 neg(F4 a) { return F4{_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }
inline M4 gt(F4 a, F4 b) { return M4{_mm_cmpgt_ps(a.v, b.v)}; }
inline M4 ge(F4 a, F4 b) { return M4{_mm_cmpge_ps(a.v, b.v)}; }
inline M4 lt(F4 a, F4 b) { return M4{_mm_cmplt_ps(a.v, b.v)}; }
inline M4 eq(F4 a, F4 b) { return M4{_mm_cmpeq_ps(a.v, b.v)}; }
inline M4 operator&(M4 a, M4 b) { return M4{_mm_and_ps(a.v, b.v)}; }
inline M4 operator|(M4 a, M4 b) { return M4{_mm_or_ps(a.v, b.v)}; }
inline M4 operator^(M4 a, M4 b) { return M4{_mm_xor_ps(a.v, b.v)}; }
inline M4 andnot(M4 a, M4 b) { return M4{_mm_andnot_ps(a.v, b.v)}; }
inline M4 noflags() { return M4{_mm_setzero_ps()}; }
inline M4 firstlanes(int n)
{
    const __m128i index = _mm_setr_epi32(0, 1, 2, 3);
    return M4{_mm_castsi128_ps(_mm_cmplt_epi32(index, _mm_set1_epi32(n)))};
}
inline M4 lanemask(int bits)
{
    const __m128i bit = _mm_setr_epi32(1, 2, 4, 8);
    return M4{_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(bits), bit), bit))};
}
inline F4 select(M4 m, F4 a, F4 b) { return F4{_mm_or_ps(_mm_and_ps(m.v, a.v), _mm_andnot_ps(m.v, b.v))}; }
inline int lanebits(M4 m) { return _mm_movemask_ps(m.v); }
inline float lane(F4 a, int i)
{
    alignas(16) float v[4];
    _mm_store_ps(v, a.v);
    return v[i];
}

// value = c × t with t = a × (1 − cos) / 255 + cos, in double, rounded to
// float and truncated: the literal's operations in its order, two lanes per
// double register.
inline __m128d shadefactor(__m128d cos, __m128d a)
{
    const __m128d scaled = _mm_mul_pd(a, _mm_sub_pd(_mm_set1_pd(1.0), cos));
    return _mm_add_pd(_mm_div_pd(scaled, _mm_set1_pd(255.0)), cos);
}
inline __m128i shadevalues(__m128d tlo, __m128d thi, __m128d c)
{
    return _mm_cvttps_epi32(_mm_movelh_ps(_mm_cvtpd_ps(_mm_mul_pd(c, tlo)), _mm_cvtpd_ps(_mm_mul_pd(c, thi))));
}

// A colour and its ambient (red | green << 8 | blue << 16) as shadewords takes
// them: blue, green, red, each channel in double.
struct ShadeLanes {
    __m128d c[3], a[3];
    bool grey;  // equal ambient channels share t
};
inline ShadeLanes shadelanes(uint32_t colour, uint32_t ambient)
{
    ShadeLanes s;
    for (int k = 0; k < 3; k++) {
        const int shift = 16 - 8 * k;
        s.c[k] = _mm_set1_pd(double((colour >> shift) & 0xFF));
        s.a[k] = _mm_set1_pd(double((ambient >> shift) & 0xFF));
    }
    s.grey = ((ambient ^ (ambient >> 8)) & 0xFFFF) == 0;
    return s;
}

// out[i] = blue | green << 8 | red << 16 of lane i.
inline void shadewords(F4 cos, const ShadeLanes& s, uint32_t out[4])
{
    const __m128d lo = _mm_cvtps_pd(cos.v);
    const __m128d hi = _mm_cvtps_pd(_mm_movehl_ps(cos.v, cos.v));
    __m128d tlo = shadefactor(lo, s.a[0]), thi = shadefactor(hi, s.a[0]);
    __m128i words = _mm_setzero_si128();
    for (int k = 0; k < 3; k++) {
        if (!s.grey && k > 0) {
            tlo = shadefactor(lo, s.a[k]);
            thi = shadefactor(hi, s.a[k]);
        }
        const __m128i channel = shadevalues(tlo, thi, s.c[k]);
        words = _mm_or_si128(words, k == 0 ? channel : k == 1 ? _mm_slli_epi32(channel, 8) : _mm_slli_epi32(channel, 16));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), words);
}

inline F4 load4(const float* in) { return F4{_mm_loadu_ps(in)}; }
inline void prefetch(const void* p) { _mm_prefetch(static_cast<const char*>(p), _MM_HINT_T0); }
inline void setlanes(int32_t* out, int bits, int32_t value)
{
    const __m128i set = _mm_castps_si128(lanemask(bits).v);
    __m128i* p = reinterpret_cast<__m128i*>(out);
    const __m128i old = _mm_loadu_si128(p);
    _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(set, _mm_set1_epi32(value)), _mm_andnot_si128(set, old)));
}
inline void store4(F4 a, float out[4]) { _mm_storeu_ps(out, a.v); }
template <typename T>
inline void transpose4(const T* in, size_t instride, T* out, size_t outstride)
{
    static_assert(sizeof(T) == 4, "four-byte elements");
    __m128 r0 = _mm_loadu_ps(reinterpret_cast<const float*>(in));
    __m128 r1 = _mm_loadu_ps(reinterpret_cast<const float*>(in + instride));
    __m128 r2 = _mm_loadu_ps(reinterpret_cast<const float*>(in + 2 * instride));
    __m128 r3 = _mm_loadu_ps(reinterpret_cast<const float*>(in + 3 * instride));
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(reinterpret_cast<float*>(out), r0);
    _mm_storeu_ps(reinterpret_cast<float*>(out + outstride), r1);
    _mm_storeu_ps(reinterpret_cast<float*>(out + 2 * outstride), r2);
    _mm_storeu_ps(reinterpret_cast<float*>(out + 3 * outstride), r3);
}
inline void transposemerge4(const uint32_t* in, size_t instride, uint32_t* out, size_t outstride)
{
    __m128 r[4] = {_mm_loadu_ps(reinterpret_cast<const float*>(in)),
                   _mm_loadu_ps(reinterpret_cast<const float*>(in + instride)),
                   _mm_loadu_ps(reinterpret_cast<const float*>(in + 2 * instride)),
                   _mm_loadu_ps(reinterpret_cast<const float*>(in + 3 * instride))};
    _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]);
    for (size_t k = 0; k < 4; k++) {
        __m128i* p = reinterpret_cast<__m128i*>(out + k * outstride);
        const __m128i word = _mm_castps_si128(r[k]);
        const __m128i unwritten = _mm_srai_epi32(word, 31);
        const __m128i kept = _mm_or_si128(unwritten, _mm_set1_epi32(int32_t(0xFF000000u)));
        _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(_mm_loadu_si128(p), kept), _mm_andnot_si128(unwritten, word)));
    }
}

#else
#include <cmath>
#include <cstring>

struct F4 {
    float v[4];
};
struct M4 {
    bool v[4];
};

inline F4 f4(float x) { return F4{{x, x, x, x}}; }
inline F4 f4(float a, float b, float c, float d) { return F4{{a, b, c, d}}; }
template <typename Op>
inline F4 lanewise(F4 a, F4 b, Op op)
{
    F4 r;
    for (int i = 0; i < 4; i++)
        r.v[i] = op(a.v[i], b.v[i]);
    return r;
}
template <typename Op>
inline M4 lanetest(F4 a, F4 b, Op op)
{
    M4 r;
    for (int i = 0; i < 4; i++)
        r.v[i] = op(a.v[i], b.v[i]);
    return r;
}
inline F4 operator+(F4 a, F4 b) { return lanewise(a, b, [](float x, float y) { return x + y; }); }
inline F4 operator-(F4 a, F4 b) { return lanewise(a, b, [](float x, float y) { return x - y; }); }
inline F4 operator*(F4 a, F4 b) { return lanewise(a, b, [](float x, float y) { return x * y; }); }
inline F4 operator/(F4 a, F4 b) { return lanewise(a, b, [](float x, float y) { return x / y; }); }
inline F4 sqrt4(F4 a) { return lanewise(a, a, [](float x, float) { return std::sqrt(x); }); }
inline F4 neg(F4 a) { return lanewise(a, a, [](float x, float) { return -x; }); }
inline M4 gt(F4 a, F4 b) { return lanetest(a, b, [](float x, float y) { return x > y; }); }
inline M4 ge(F4 a, F4 b) { return lanetest(a, b, [](float x, float y) { return x >= y; }); }
inline M4 lt(F4 a, F4 b) { return lanetest(a, b, [](float x, float y) { return x < y; }); }
inline M4 eq(F4 a, F4 b) { return lanetest(a, b, [](float x, float y) { return x == y; }); }
inline M4 operator&(M4 a, M4 b) { return M4{{a.v[0] && b.v[0], a.v[1] && b.v[1], a.v[2] && b.v[2], a.v[3] && b.v[3]}}; }
inline M4 operator|(M4 a, M4 b) { return M4{{a.v[0] || b.v[0], a.v[1] || b.v[1], a.v[2] || b.v[2], a.v[3] || b.v[3]}}; }
inline M4 operator^(M4 a, M4 b) { return M4{{a.v[0] != b.v[0], a.v[1] != b.v[1], a.v[2] != b.v[2], a.v[3] != b.v[3]}}; }
inline M4 andnot(M4 a, M4 b) { return M4{{!a.v[0] && b.v[0], !a.v[1] && b.v[1], !a.v[2] && b.v[2], !a.v[3] && b.v[3]}}; }
inline M4 noflags() { return M4{{false, false, false, false}}; }
inline M4 firstlanes(int n) { return M4{{0 < n, 1 < n, 2 < n, 3 < n}}; }
inline M4 lanemask(int bits) { return M4{{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0}}; }
inline F4 select(M4 m, F4 a, F4 b) { return F4{{m.v[0] ? a.v[0] : b.v[0], m.v[1] ? a.v[1] : b.v[1], m.v[2] ? a.v[2] : b.v[2], m.v[3] ? a.v[3] : b.v[3]}}; }
inline int lanebits(M4 m) { return int(m.v[0]) | int(m.v[1]) << 1 | int(m.v[2]) << 2 | int(m.v[3]) << 3; }
inline float lane(F4 a, int i) { return a.v[i]; }

struct ShadeLanes {
    uint32_t colour, ambient;
};
inline ShadeLanes shadelanes(uint32_t colour, uint32_t ambient)
{
    return ShadeLanes{colour, ambient};
}

inline void shadewords(F4 cos, const ShadeLanes& s, uint32_t out[4])
{
    const uint32_t colour = s.colour, ambient = s.ambient;
    for (int i = 0; i < 4; i++) {
        out[i] = 0;
        for (int k = 0; k < 3; k++) {
            const int shift = 16 - 8 * k;
            const double c = double((colour >> shift) & 0xFF), a = double((ambient >> shift) & 0xFF);
            const double value = c * (a * (1.0 - double(cos.v[i])) / 255.0 + double(cos.v[i]));
            out[i] |= uint32_t(uint8_t(int32_t(float(value)))) << (8 * k);
        }
    }
}

inline F4 load4(const float* in) { return F4{{in[0], in[1], in[2], in[3]}}; }
inline void prefetch(const void*) {}
inline void setlanes(int32_t* out, int bits, int32_t value)
{
    for (int i = 0; i < 4; i++)
        if (bits >> i & 1)
            out[i] = value;
}
inline void store4(F4 a, float out[4])
{
    for (int i = 0; i < 4; i++)
        out[i] = a.v[i];
}
template <typename T>
inline void transpose4(const T* in, size_t instride, T* out, size_t outstride)
{
    for (size_t i = 0; i < 4; i++)
        for (size_t k = 0; k < 4; k++)
            std::memcpy(out + k * outstride + i, in + i * instride + k, sizeof(T));  // pixels are bytes
}
inline void transposemerge4(const uint32_t* in, size_t instride, uint32_t* out, size_t outstride)
{
    for (size_t i = 0; i < 4; i++)
        for (size_t k = 0; k < 4; k++)
            mergeword(out + k * outstride + i, in[i * instride + k]);
}
#endif
