// matrix.h - the affine transform: a 3×3 linear part and a translation column.
//
// Twelve floats m[0..11], row by row; the implicit fourth row is (0, 0, 0, 1).
// Column j of the linear part is the image of the j-th unit vector, column 3
// the image of the origin. Values in, values out.
//
//   newm(m0..m11)          from twelve reals, row by row
//   newvecm(a, b, c, d)    columns a, b, c (linear part) and d (translation)
//   unit()                 identity
//   columnm(M, j)          column j as a vector
//   setcolumnm(M, j, v)    column j of *M set to v
//   textm(M, line)         whole matrix (line 0) or one row (1..3) as transient text
//   multmv(M, p)           point transform L·p + t
//   multvecmv(M, v)        direction transform L·v
//   multmm(A, B)           A·B, B applied first
//   translate(t), scale(s), rotatex(a), rotatey(a), rotatez(a)   right-handed, radians;
//                          sine and cosine are computed alike on every build
//   determinant(M)         of the linear part
//   inverse(M)             inverse affine transform; a singular matrix gives its adjugate
#pragma once

#include "math/vector.h"

struct Matrix {
    float m[12];
};

Matrix newm(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
            double m7, double m8, double m9, double m10, double m11);
Matrix newvecm(Vector a, Vector b, Vector c, Vector d);
Matrix unit();
Vector columnm(Matrix a, int column);
void setcolumnm(Matrix* a, int column, Vector v);
const char* textm(Matrix a, int line);
// Inline: renderers transform every corner of every frame through it.
inline Vector multmv(Matrix a, Vector p)
{
    const float* m = a.m;
    return Vector{m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
                  m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
                  m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}
Vector multvecmv(Matrix a, Vector v);
Matrix multmm(Matrix a, Matrix b);
Matrix translate(Vector t);
Matrix scale(float s);
Matrix rotatex(float angle);
Matrix rotatey(float angle);
Matrix rotatez(float angle);
float determinant(Matrix a);
Matrix inverse(Matrix a);
