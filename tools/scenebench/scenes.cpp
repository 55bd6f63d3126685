#include "tools/scenebench/scenes.h"

#include "core/memory.h"
#include "core/objects.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float Aspect = 16.0f / 9.0f;  // the widest picture measured
constexpr float Ground = 300;           // the ground plane's height below the eye
constexpr float Pi = 3.14159265f;

struct Draw {
    std::mt19937 bits;
    // Uniform in [lo, hi) from 24 raw bits: the same on every standard library.
    float uniform(float lo, float hi) { return lo + (hi - lo) * float(bits() >> 8) * (1.0f / 16777216.0f); }
    int below(int n) { return int(bits() % uint32_t(n)); }
};

struct Builder {
    SceneList* list = initlist();
    int serial = 0;
    std::vector<Pattern*> patterns;

    // Names as a generator would write them: kind and serial number.
    char* name(const char* kind) { return copytext((std::string(kind) + "_" + std::to_string(serial++)).c_str()); }

    Vector* point(Vector at)
    {
        Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
        *v = at;
        insertlist(list, TagPoint, v, name("point"));
        return v;
    }

    void palette(Draw& draw, int count)
    {
        for (int i = 0; i < count; i++) {
            Pattern* p = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
            const int ambient = 20 + draw.below(60);
            *p = RGBpattern(draw.below(256), draw.below(256), draw.below(256), ambient, ambient, ambient);
            // Every third pattern shows an earlier one on its back side.
            if (i % 3 == 2) {
                p->back = patterns[size_t(draw.below(int(patterns.size())))];
                p->flags |= PatternHasBack;
            }
            insertlist(list, TagPattern, p, name("colour"));
            patterns.push_back(p);
        }
    }

    Pattern* anypattern(Draw& draw) { return patterns[size_t(draw.below(int(patterns.size())))]; }

    void sphere(Vector* centre, float radius, Pattern* pattern)
    {
        SphereObject* s = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
        *s = SphereObject{centre, radius, pattern};
        insertlist(list, TagSphere, s, name("sphere"));
    }

    void polygon(const std::vector<Vector*>& corners, Pattern* pattern)
    {
        PolygonObject* p = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
        p->count = int32_t(corners.size());
        p->corners = static_cast<Vector**>(Memory_Gra(corners.size() * sizeof(Vector*)));
        for (size_t i = 0; i < corners.size(); i++)
            p->corners[i] = corners[i];
        p->pattern = pattern;
        insertlist(list, TagPolygon, p, name("polygon"));
    }

    void light()
    {
        Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
        *v = newv(2500, -4000, -2500);
        insertlist(list, TagPoint, v, copytext("light_position"));
    }

    void ground(Draw& draw)
    {
        const float far = 21000, near = -20000, side = 30000;
        polygon({point(newv(-side, Ground, near)), point(newv(side, Ground, near)), point(newv(side, Ground, far)),
                 point(newv(-side, Ground, far))},
                anypattern(draw));
    }
};

// A centre in the camera's view at a depth of w units from the eye, above the ground.
Vector placed(Draw& draw, float w, float radius)
{
    const float x = draw.uniform(-0.95f, 0.95f) * Aspect * w;
    float top = 0.95f * w, bottom = Ground - radius;
    if (bottom > top)
        bottom = top;
    return newv(x, draw.uniform(-top, bottom), w - 1000);
}

// Corners around a centre in a randomly turned plane; radius jitter below 1
// makes the many-cornered ones concave.
std::vector<Vector*> outline(Builder& b, Draw& draw, Vector centre, float radius, int corners, float jitter)
{
    const Vector n = newv(draw.uniform(-1, 1), draw.uniform(-1, 1), draw.uniform(-1, 1));
    Vector e1 = crossv(n, lengthv(crossv(n, newv(1, 0, 0))) > 0.1f ? newv(1, 0, 0) : newv(0, 1, 0));
    e1 = multsv(1 / lengthv(e1), e1);
    Vector e2 = crossv(n, e1);
    e2 = multsv(1 / lengthv(e2), e2);
    const bool backwards = draw.below(2) == 0;
    std::vector<Vector*> result;
    for (int i = 0; i < corners; i++) {
        const float angle = (float(i) + draw.uniform(0, 0.6f)) * 2 * Pi / float(corners) * (backwards ? -1 : 1);
        const float r = radius * draw.uniform(1 - jitter, 1);
        result.push_back(b.point(addv(centre, addv(multsv(r * std::cos(angle), e1), multsv(r * std::sin(angle), e2)))));
    }
    return result;
}

void spheres(Builder& b, Draw& draw, int count)
{
    for (int i = 0; i < count; i++) {
        const float w = draw.uniform(800, 4000);
        const float radius = draw.uniform(0.01f, 0.04f) * w;  // 2 to 8 % of the height across
        b.sphere(b.point(placed(draw, w, radius)), radius, b.anypattern(draw));
    }
}

void polygons(Builder& b, Draw& draw, int count, float minsize, float maxsize, bool manycorners)
{
    for (int i = 0; i < count; i++) {
        const bool big = manycorners && i % 200 == 0;
        const float w = draw.uniform(800, 4000);
        const float radius = (big ? draw.uniform(0.08f, 0.2f) : draw.uniform(minsize, maxsize)) * w / 2;
        const int corners = big ? 50 : 3 + draw.below(2);
        b.polygon(outline(b, draw, placed(draw, w, radius), radius, corners, big ? 0.6f : 0.3f), b.anypattern(draw));
    }
}

}  // namespace

SceneList* SphereScene(uint32_t seed, int count)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    spheres(b, draw, count);
    return b.list;
}

SceneList* PolygonScene(uint32_t seed, int count)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    b.ground(draw);
    polygons(b, draw, count - 1, 0.01f, 0.08f, true);
    return b.list;
}

SceneList* MixedScene(uint32_t seed, int spherecount, int polygoncount)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    b.ground(draw);
    // Interleaved, so neither kind is drawn wholly first.
    for (int i = 0; i < spherecount + polygoncount; i++) {
        if (i % 3 == 0 && i / 3 < spherecount)
            spheres(b, draw, 1);
        else
            polygons(b, draw, 1, 0.01f, 0.05f, false);
    }
    return b.list;
}

SceneList* BigSphereScene(uint32_t seed, int count)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    for (int i = 0; i < count; i++) {
        const float w = draw.uniform(1500, 4000);
        const float radius = draw.uniform(0.10f, 0.40f) * w;  // 10 to 40 % of the height across
        const Vector centre = newv(draw.uniform(-0.8f, 0.8f) * Aspect * w, draw.uniform(-0.8f, 0.8f) * w, w - 1000);
        b.sphere(b.point(centre), radius, b.anypattern(draw));
    }
    return b.list;
}

SceneList* SkyScene(uint32_t seed, int count)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    // The sky first, as a scene's author writes it: centred near the eye, far beyond everything.
    b.sphere(b.point(newv(300, -200, -600)), 60000, b.anypattern(draw));
    b.ground(draw);
    for (int i = 0; i < count; i++) {
        if (i % 2 == 0)
            spheres(b, draw, 1);
        else
            polygons(b, draw, 1, 0.02f, 0.10f, false);
    }
    return b.list;
}

SceneList* TinyScene(uint32_t seed, int spherecount, int polygoncount)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    for (int i = 0; i < spherecount + polygoncount; i++) {
        const float w = draw.uniform(800, 6000);
        if (i % 2 == 0 && i / 2 < spherecount) {
            const float radius = draw.uniform(0.004f, 0.012f) * w;  // 9 to 26 pixels across at 1080 rows
            b.sphere(b.point(placed(draw, w, radius)), radius, b.anypattern(draw));
        } else {
            const float radius = draw.uniform(0.008f, 0.024f) * w / 2;
            b.polygon(outline(b, draw, placed(draw, w, radius), radius, 3, 0.3f), b.anypattern(draw));
        }
    }
    return b.list;
}

SceneList* MeshScene(uint32_t seed, int side)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.light();
    b.palette(draw, 12);
    // A height field under the eye, from just in front of it to the horizon, hills on hills.
    float phase[6];
    for (float& p : phase)
        p = draw.uniform(0, 2 * Pi);
    std::vector<Vector*> grid;
    const float x0 = -9000, x1 = 9000, z0 = -700, z1 = 16000;
    for (int j = 0; j < side; j++)
        for (int i = 0; i < side; i++) {
            const float x = x0 + (x1 - x0) * float(i) / float(side - 1);
            const float z = z0 + (z1 - z0) * float(j) / float(side - 1);
            const float h = 250 * std::sin(x / 1300 + phase[0]) * std::sin(z / 1700 + phase[1]) +
                            90 * std::sin(x / 410 + phase[2]) * std::cos(z / 530 + phase[3]) +
                            30 * std::sin((x + z) / 150 + phase[4]) + draw.uniform(-8, 8);
            grid.push_back(b.point(newv(x, Ground - h + 200 * (z - z0) / (z1 - z0), z)));
        }
    for (int j = 0; j + 1 < side; j++)
        for (int i = 0; i + 1 < side; i++) {
            Vector* p00 = grid[size_t(j * side + i)];
            Vector* p10 = grid[size_t(j * side + i + 1)];
            Vector* p01 = grid[size_t((j + 1) * side + i)];
            Vector* p11 = grid[size_t((j + 1) * side + i + 1)];
            Pattern* pattern = b.anypattern(draw);
            b.polygon({p00, p10, p11}, pattern);
            b.polygon({p00, p11, p01}, pattern);
        }
    return b.list;
}

SceneList* LargeScene(uint32_t seed, int count)
{
    Draw draw{std::mt19937(seed)};
    Builder b;
    b.palette(draw, count / 50);
    std::vector<Vector*> points;
    // Points first, then spheres and polygons on them: about 4 : 3 : 3.
    const int pointcount = count * 2 / 5 - count / 50;
    for (int i = 0; i < pointcount; i++)
        points.push_back(b.point(newv(draw.uniform(-5000, 5000), draw.uniform(-5000, 5000), draw.uniform(-5000, 5000))));
    const int rest = count - pointcount - count / 50;
    for (int i = 0; i < rest; i++) {
        if (i % 2 == 0) {
            b.sphere(points[size_t(draw.below(pointcount))], draw.uniform(1, 100), b.anypattern(draw));
            continue;
        }
        std::vector<Vector*> corners;
        for (int c = 3 + draw.below(2); c > 0; c--)
            corners.push_back(points[size_t(draw.below(pointcount))]);
        b.polygon(corners, b.anypattern(draw));
    }
    return b.list;
}
