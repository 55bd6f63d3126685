// objects.h - the records a scene is made of, and their tags.
//
// Every list entry ties an ObjectTag to one of these records. Spheres and
// polygons point at the very point and pattern records of their own list, so
// moving a point moves everything built on it.
//
//   RGBpattern(r, g, b, ar, ag, ab)  a pattern with a fresh colour cell (low 8 bits of each count)
//   packcolor(r, g, b)               r | g << 8 | b << 16
#pragma once

#include "math/vector.h"

#include <cstdint>

// A tag is the index of the kind's keyword in the scene-file keyword table.
using ObjectTag = uint8_t;
constexpr ObjectTag TagDeleted = 0;
constexpr ObjectTag TagPoint = 3;
constexpr ObjectTag TagVector = 4;
constexpr ObjectTag TagPattern = 6;
constexpr ObjectTag TagSphere = 14;
constexpr ObjectTag TagPolygon = 15;

// A packed colour: red | green << 8 | blue << 16.
using ColorCell = uint32_t;

constexpr uint8_t PatternHasBack = 0x08;  // flags: `back` is set

struct Pattern {
    ColorCell* color;  // may be shared by two patterns (the loader's FRT)
    uint32_t ambient;
    Pattern* back;
    uint8_t flags;
};

struct SphereObject {
    Vector* center;
    float radius;
    Pattern* pattern;
};

struct PolygonObject {
    int32_t count;
    Vector** corners;
    Pattern* pattern;
};

uint32_t packcolor(int red, int green, int blue);
Pattern RGBpattern(int red, int green, int blue, int ambred, int ambgreen, int ambblue);
