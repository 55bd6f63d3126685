// vector.h - the three-component vector, for points and directions alike.
//
// Every operation takes its operands by value and returns a new value; each
// stored component is a 32-bit float.
//
//   newv(x, y, z)   the vector, components rounded to float
//   nullv()         (0, 0, 0)
//   textv(v)        "(%+0#g,%+0#g,%+0#g)" in a transient string (Memory_Str)
//   multsv(s, v)    s·v, s rounded to float first
//   addv(a, b)      a + b
//   subv(a, b)      a − b
//   multvv(a, b)    a·b, summed x, y, z in this order
//   crossv(a, b)    a × b, right-handed
//   lengthv(v)      sqrtf of the float-rounded sum of squares
//   orthov(v)       a perpendicular vector: smallest component zeroed, the others swapped
#pragma once

struct Vector {
    float x, y, z;
};

Vector newv(double x, double y, double z);
Vector nullv();
char* textv(Vector v);
Vector multsv(double s, Vector v);
Vector addv(Vector a, Vector b);
Vector subv(Vector a, Vector b);
float multvv(Vector a, Vector b);
Vector crossv(Vector a, Vector b);
float lengthv(Vector v);
Vector orthov(Vector v);
