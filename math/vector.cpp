#include "math/vector.h"

#include "core/memory.h"

#include <cmath>
#include <cstdio>

Vector newv(double x, double y, double z)
{
    return Vector{float(x), float(y), float(z)};
}

Vector nullv()
{
    return Vector{0.0f, 0.0f, 0.0f};
}

char* textv(Vector v)
{
    char* text = static_cast<char*>(Memory_Str(300));
    std::snprintf(text, 300, "(%+0#g,%+0#g,%+0#g)", double(v.x), double(v.y), double(v.z));
    return text;
}

Vector multsv(double s, Vector v)
{
    const float f = float(s);
    return Vector{f * v.x, f * v.y, f * v.z};
}

Vector addv(Vector a, Vector b)
{
    return Vector{a.x + b.x, a.y + b.y, a.z + b.z};
}

Vector subv(Vector a, Vector b)
{
    return Vector{a.x - b.x, a.y - b.y, a.z - b.z};
}

float multvv(Vector a, Vector b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector crossv(Vector a, Vector b)
{
    return Vector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float lengthv(Vector v)
{
    const float sum = v.x * v.x + v.y * v.y + v.z * v.z;
    return std::sqrt(sum);
}

Vector orthov(Vector v)
{
    const float ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    if (ay > ax && az > ax)
        return Vector{0.0f, v.z, -v.y};
    if (az > ay)
        return Vector{-v.z, 0.0f, v.x};
    return Vector{v.y, -v.x, 0.0f};
}
