#include "math/matrix.h"

#include "core/memory.h"

#include <cmath>
#include <cstdio>

Matrix newm(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
            double m7, double m8, double m9, double m10, double m11)
{
    return Matrix{{float(m0), float(m1), float(m2), float(m3), float(m4), float(m5), float(m6),
                   float(m7), float(m8), float(m9), float(m10), float(m11)}};
}

Matrix newvecm(Vector a, Vector b, Vector c, Vector d)
{
    return Matrix{{a.x, b.x, c.x, d.x, a.y, b.y, c.y, d.y, a.z, b.z, c.z, d.z}};
}

Matrix unit()
{
    return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}};
}

Vector columnm(Matrix a, int column)
{
    return Vector{a.m[column], a.m[4 + column], a.m[8 + column]};
}

void setcolumnm(Matrix* a, int column, Vector v)
{
    a->m[column] = v.x;
    a->m[4 + column] = v.y;
    a->m[8 + column] = v.z;
}

const char* textm(Matrix a, int line)
{
    const float* m = a.m;
    if (line == 0) {
        char* text = static_cast<char*>(Memory_Str(1200));
        std::snprintf(text, 1200,
                      " /%+0#g,%+0#g,%+0#g,%+0#g\\ \n"
                      "< %+0#g,%+0#g,%+0#g,%+0#g >\n"
                      " \\%+0#g,%+0#g,%+0#g,%+0#g/ \n",
                      double(m[0]), double(m[1]), double(m[2]), double(m[3]), double(m[4]),
                      double(m[5]), double(m[6]), double(m[7]), double(m[8]), double(m[9]),
                      double(m[10]), double(m[11]));
        return text;
    }
    if (line >= 1 && line <= 3) {
        const float* row = m + 4 * (line - 1);
        char* text = static_cast<char*>(Memory_Str(400));
        std::snprintf(text, 400, "(%+0#g,%+0#g,%+0#g,%+0#g)", double(row[0]), double(row[1]),
                      double(row[2]), double(row[3]));
        return text;
    }
    return "Warning: Line number of Matrix undefined";
}

Vector multvecmv(Matrix a, Vector v)
{
    const float* m = a.m;
    return Vector{m[0] * v.x + m[1] * v.y + m[2] * v.z,
                  m[4] * v.x + m[5] * v.y + m[6] * v.z,
                  m[8] * v.x + m[9] * v.y + m[10] * v.z};
}

Matrix multmm(Matrix a, Matrix b)
{
    Matrix r;
    for (int i = 0; i < 3; i++) {
        const float* row = a.m + 4 * i;
        for (int j = 0; j < 3; j++)
            r.m[4 * i + j] = row[0] * b.m[j] + row[1] * b.m[4 + j] + row[2] * b.m[8 + j];
        r.m[4 * i + 3] = row[0] * b.m[3] + row[1] * b.m[7] + row[2] * b.m[11] + row[3];
    }
    return r;
}

Matrix translate(Vector t)
{
    return Matrix{{1, 0, 0, t.x, 0, 1, 0, t.y, 0, 0, 1, t.z}};
}

Matrix scale(float s)
{
    return Matrix{{s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0}};
}

// Sine and cosine of a float angle, the same to the bit on every build: the
// platforms' sinf and cosf differ in the last bit, which would make a drag
// render different pixels under Windows and Linux. Range reduction to
// [-pi/4, pi/4] and the classic double-precision kernels, rounded once to float.
static void sincosfloat(float angle, float* sine, float* cosine)
{
    const double x = angle;
    if (!(std::fabs(x) < 1e6)) {  // huge or not finite: no camera turns by that much
        *sine = float(std::sin(x));
        *cosine = float(std::cos(x));
        return;
    }
    const double k = std::nearbyint(x * 0.636619772367581343076);  // 2/pi
    const double r = ((x - k * 1.57079632673412561417e+00) - k * 6.07710050630396597660e-11) -
                     k * 2.02226624879595063154e-21;
    const double z = r * r;
    const double s = r + r * z * (-1.66666666666666324348e-01 +
                                  z * (8.33333333332248946124e-03 +
                                       z * (-1.98412698298579493134e-04 +
                                            z * (2.75573137070700676789e-06 +
                                                 z * (-2.50507602534068634195e-08 +
                                                      z * 1.58969099521155010221e-10)))));
    const double c = 1.0 - 0.5 * z +
                     z * z * (4.16666666666666019037e-02 +
                              z * (-1.38888888888741095749e-03 +
                                   z * (2.48015872894767294178e-05 +
                                        z * (-2.75573143513906633035e-07 +
                                             z * (2.08757232129817482790e-09 +
                                                  z * -1.13596475577881948265e-11)))));
    switch (int(k - 4.0 * std::floor(k / 4.0))) {
    case 0: *sine = float(s); *cosine = float(c); break;
    case 1: *sine = float(c); *cosine = float(-s); break;
    case 2: *sine = float(-s); *cosine = float(-c); break;
    default: *sine = float(-c); *cosine = float(s); break;
    }
}

Matrix rotatex(float angle)
{
    float s, c;
    sincosfloat(angle, &s, &c);
    return Matrix{{1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0}};
}

Matrix rotatey(float angle)
{
    float s, c;
    sincosfloat(angle, &s, &c);
    return Matrix{{c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0}};
}

Matrix rotatez(float angle)
{
    float s, c;
    sincosfloat(angle, &s, &c);
    return Matrix{{c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0}};
}

float determinant(Matrix a)
{
    const float* m = a.m;
    return (m[5] * m[10] - m[6] * m[9]) * m[0] + (m[6] * m[8] - m[4] * m[10]) * m[1] +
           (m[4] * m[9] - m[5] * m[8]) * m[2];
}

Matrix inverse(Matrix a)
{
    const float* m = a.m;
    float d = determinant(a);
    // A singular matrix yields its adjugate rather than a failure.
    if (d == 0.0f)
        d = 1.0f;
    Matrix r;
    r.m[0] = (m[5] * m[10] - m[9] * m[6]) / d;
    r.m[1] = (m[9] * m[2] - m[1] * m[10]) / d;
    r.m[2] = (m[1] * m[6] - m[5] * m[2]) / d;
    r.m[4] = (m[6] * m[8] - m[10] * m[4]) / d;
    r.m[5] = (m[10] * m[0] - m[2] * m[8]) / d;
    r.m[6] = (m[2] * m[4] - m[6] * m[0]) / d;
    r.m[8] = (m[4] * m[9] - m[8] * m[5]) / d;
    r.m[9] = (m[8] * m[1] - m[0] * m[9]) / d;
    r.m[10] = (m[0] * m[5] - m[4] * m[1]) / d;
    r.m[3] = -(r.m[0] * m[3] + r.m[1] * m[7] + r.m[2] * m[11]);
    r.m[7] = -(r.m[4] * m[3] + r.m[5] * m[7] + r.m[6] * m[11]);
    r.m[11] = -(r.m[8] * m[3] + r.m[9] * m[7] + r.m[10] * m[11]);
    return r;
}
