// SceneToMesh (sceneconvert.h): a scene as flat, simple faces for the writers.
//
// A convex polygon stays one face on its own corners, so the points it shares
// with its neighbours stay shared. Any other polygon (concave, or crossing
// itself) is cut into the region the renderer fills by the even-odd rule:
// slabs between the heights of its corners and crossings, and in each slab
// the spans between the 1st and 2nd, 3rd and 4th... edge. A sphere becomes a
// UV sphere of `segments` steps around and segments/2 from pole to pole.
#include "tools/sceneconvert/sceneconvert.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace {

// Cutting a polygon costs up to the square of its edges in each slab; past
// this many corners a concave one is written as the fan of its outline.
constexpr size_t CutCornerLimit = 4096;

struct Vec3 {
    double x, y, z;
};

Vec3 sub(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Scene axes to the file's: half a turn about x (sceneconvert.h).
Vec3 tofile(Vector v)
{
    return {v.x, 0.0 - v.y, 0.0 - v.z};  // 0 - 0 is +0, -0 would print as such
}

struct Exporter {
    SceneList* list;
    Mesh mesh;
    std::unordered_map<const Vector*, int64_t> pointvertex;
    std::map<const Pattern*, int32_t> patternmaterial;
    long backs = 0;
    long notfinite = 0;  // polygons and spheres left out
    long fanned = 0;     // polygons too long to cut, written as fans
};

int64_t addvertex(Exporter& e, Vec3 p)
{
    e.mesh.positions.insert(e.mesh.positions.end(), {float(p.x), float(p.y), float(p.z)});
    return int64_t(e.mesh.positions.size() / 3 - 1);
}

int64_t pointvertex(Exporter& e, const Vector* point)
{
    const auto found = e.pointvertex.find(point);
    if (found != e.pointvertex.end())
        return found->second;
    return e.pointvertex[point] = addvertex(e, tofile(*point));
}

int32_t material(Exporter& e, const Pattern* pattern)
{
    const auto found = e.patternmaterial.find(pattern);
    if (found != e.patternmaterial.end())
        return found->second;
    const char* name = searchtext(e.list, TagPattern, pattern);
    const uint32_t c = pattern->color ? *pattern->color : 0;
    e.mesh.materials.push_back(
        {name ? name : "pattern",
         {float(c & 0xFF) / 255, float(c >> 8 & 0xFF) / 255, float(c >> 16 & 0xFF) / 255}});
    if (pattern->flags & PatternHasBack)
        e.backs++;
    return e.patternmaterial[pattern] = int32_t(e.mesh.materials.size() - 1);
}

void addface(Exporter& e, const std::vector<int64_t>& corners, int32_t m)
{
    e.mesh.corners.insert(e.mesh.corners.end(), corners.begin(), corners.end());
    e.mesh.faceends.push_back(e.mesh.corners.size());
    e.mesh.facematerials.push_back(m);
}

// A triangle turned so that its front faces along normal.
void addtriangle(Exporter& e, int64_t a, int64_t b, int64_t c, Vec3 normal, int32_t m)
{
    auto at = [&](int64_t v) {
        const float* p = &e.mesh.positions[size_t(v) * 3];
        return Vec3{p[0], p[1], p[2]};
    };
    if (dot(cross(sub(at(b), at(a)), sub(at(c), at(a))), normal) < 0)
        std::swap(b, c);
    addface(e, {a, b, c}, m);
}

// The polygon in two of its coordinates, dropping the one its normal is largest in.
struct Outline {
    std::vector<Vec3> corners;  // file axes
    std::vector<double> u, v;
    Vec3 normal;  // Newell's, for the file's counter-clockwise front
    Vec3 centre;
    int drop;  // 0, 1 or 2: the coordinate left out
};

double coordinate(Vec3 p, int k)
{
    return k == 0 ? p.x : k == 1 ? p.y : p.z;
}

bool convex(const Outline& o)
{
    const size_t n = o.u.size();
    int sign = 0, flips = 0;
    double previous = 0;
    for (size_t i = 0; i < n; i++) {
        const size_t j = (i + 1) % n, k = (i + 2) % n;
        const double turn =
            (o.u[j] - o.u[i]) * (o.v[k] - o.v[j]) - (o.v[j] - o.v[i]) * (o.u[k] - o.u[j]);
        if (turn != 0) {
            const int s = turn > 0 ? 1 : -1;
            if (sign != 0 && s != sign)
                return false;
            sign = s;
        }
        // A star turns one way all along but goes round more than once: the
        // direction along u then changes sign more than twice.
        const double du = o.u[j] - o.u[i];
        if (du != 0) {
            if (previous != 0 && (du > 0) != (previous > 0))
                flips++;
            previous = du;
        }
    }
    return flips <= 2 && sign != 0;
}

// The point of the polygon's plane above (u, v).
Vec3 lift(const Outline& o, double u, double v)
{
    const int a = o.drop == 0 ? 1 : 0, b = o.drop == 2 ? 1 : 2;
    const double na = coordinate(o.normal, a), nb = coordinate(o.normal, b),
                 nd = coordinate(o.normal, o.drop);
    const double d = coordinate(o.centre, o.drop) -
                     (na * (u - coordinate(o.centre, a)) + nb * (v - coordinate(o.centre, b))) / nd;
    double c[3];
    c[a] = u, c[b] = v, c[o.drop] = d;
    return {c[0], c[1], c[2]};
}

struct Edge {
    double u0, v0, u1, v1;  // v0 < v1
    double at(double v) const
    {
        return u0 + (u1 - u0) * (v - v0) / (v1 - v0);
    }
};

void evenodd(Exporter& e, const Outline& o, const std::vector<int64_t>& cornervertex, int32_t m)
{
    const size_t n = o.u.size();
    std::vector<Edge> edges;
    std::vector<double> heights;
    for (size_t i = 0; i < n; i++) {
        const size_t j = (i + 1) % n;
        heights.push_back(o.v[i]);
        if (o.v[i] == o.v[j])
            continue;  // a level edge bounds no slab
        edges.push_back(o.v[i] < o.v[j] ? Edge{o.u[i], o.v[i], o.u[j], o.v[j]}
                                        : Edge{o.u[j], o.v[j], o.u[i], o.v[i]});
    }
    std::sort(heights.begin(), heights.end());
    heights.erase(std::unique(heights.begin(), heights.end()), heights.end());
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.v0 < b.v0; });

    // Corners keep their own vertices; every other slab corner gets one, once.
    std::map<std::pair<double, double>, int64_t> made;
    for (size_t i = 0; i < n; i++)
        made.emplace(std::make_pair(o.u[i], o.v[i]), cornervertex[i]);
    auto vertex = [&](double u, double v) {
        const auto found = made.find({u, v});
        if (found != made.end())
            return found->second;
        return made[{u, v}] = addvertex(e, lift(o, u, v));
    };
    // Each span is a trapezoid between two heights. Where a span's top or
    // bottom meets the corners of the spans next to it, those corners are put
    // on its side too: adjacent spans then share whole edges, and no crack
    // opens along a seam that one side splits and the other does not.
    struct Span {
        double top, bottom, topleft, topright, bottomleft, bottomright;
    };
    std::vector<Span> spans;
    std::map<double, std::vector<double>> seams;  // height -> every span corner on it
    auto span = [&](const Edge& left, const Edge& right, double top, double bottom) {
        const Span x = {top,           bottom,          left.at(top),
                        right.at(top), left.at(bottom), right.at(bottom)};
        spans.push_back(x);
        for (double u : {x.topleft, x.topright})
            seams[top].push_back(u);
        for (double u : {x.bottomleft, x.bottomright})
            seams[bottom].push_back(u);
    };
    std::vector<Edge> active;
    size_t next = 0;
    for (size_t h = 0; h + 1 < heights.size(); h++) {
        const double top = heights[h], bottom = heights[h + 1];
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](const Edge& x) { return x.v1 <= top; }),
                     active.end());
        while (next < edges.size() && edges[next].v0 <= top)
            active.push_back(edges[next++]);
        // Crossings inside the slab cut it further.
        std::vector<double> cuts = {top, bottom};
        for (size_t i = 0; i < active.size(); i++)
            for (size_t j = i + 1; j < active.size(); j++) {
                const double d0 = active[i].at(top) - active[j].at(top);
                const double d1 = active[i].at(bottom) - active[j].at(bottom);
                if ((d0 < 0 && d1 > 0) || (d0 > 0 && d1 < 0)) {
                    const double cut = top + (bottom - top) * d0 / (d0 - d1);
                    if (cut > top && cut < bottom)
                        cuts.push_back(cut);
                }
            }
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        for (size_t c = 0; c + 1 < cuts.size(); c++) {
            const double a = cuts[c], b = cuts[c + 1], mid = (a + b) / 2;
            std::sort(active.begin(), active.end(),
                      [&](const Edge& x, const Edge& y) { return x.at(mid) < y.at(mid); });
            for (size_t k = 0; k + 1 < active.size(); k += 2)
                span(active[k], active[k + 1], a, b);
        }
    }
    for (auto& seam : seams) {
        std::sort(seam.second.begin(), seam.second.end());
        seam.second.erase(std::unique(seam.second.begin(), seam.second.end()), seam.second.end());
    }
    // The span as a strip between its top and its bottom run of corners, so
    // that every piece of either run is the side of a triangle.
    auto run = [&](double v, double from, double to) {
        const std::vector<double>& us = seams[v];
        std::vector<double> points = {from};
        for (auto u = std::upper_bound(us.begin(), us.end(), from); u != us.end() && *u < to; ++u)
            points.push_back(*u);
        if (to > from)
            points.push_back(to);
        return points;
    };
    for (const Span& x : spans) {
        const std::vector<double> top = run(x.top, x.topleft, x.topright);
        const std::vector<double> bottom = run(x.bottom, x.bottomleft, x.bottomright);
        auto share = [](const std::vector<double>& r, size_t i) {
            return r.size() < 2 ? 1.0 : (r[i] - r.front()) / (r.back() - r.front());
        };
        size_t i = 0, j = 0;
        while (i + 1 < top.size() || j + 1 < bottom.size()) {
            const bool alongtop = j + 1 >= bottom.size() ||
                                  (i + 1 < top.size() && share(top, i + 1) <= share(bottom, j + 1));
            const int64_t a = vertex(top[i], x.top), b = vertex(bottom[j], x.bottom);
            const int64_t c = alongtop ? vertex(top[++i], x.top) : vertex(bottom[++j], x.bottom);
            addtriangle(e, a, b, c, o.normal, m);
        }
    }
}

void addpolygon(Exporter& e, const PolygonObject* polygon)
{
    if (polygon->count < 3 || !polygon->corners)
        return;  // the renderer draws nothing for it either
    const int32_t m = material(e, polygon->pattern);
    // Reversed: the renderer's front runs clockwise on the screen, the file's counter-clockwise.
    std::vector<const Vector*> points;
    for (int32_t k = polygon->count - 1; k >= 0; k--)
        if (points.empty() || points.back() != polygon->corners[k])
            points.push_back(polygon->corners[k]);
    while (points.size() > 1 && points.back() == points.front())
        points.pop_back();
    if (points.size() < 3)
        return;
    for (const Vector* p : points)
        if (!std::isfinite(p->x) || !std::isfinite(p->y) || !std::isfinite(p->z)) {
            e.notfinite++;  // the renderer cannot draw it either, and sorting NaN is undefined
            return;
        }
    Outline o;
    o.normal = {0, 0, 0};
    o.centre = {0, 0, 0};
    for (const Vector* p : points)
        o.corners.push_back(tofile(*p));
    const size_t n = o.corners.size();
    for (size_t i = 0; i < n; i++) {
        const Vec3 p = o.corners[i], q = o.corners[(i + 1) % n];
        o.normal.x += (p.y - q.y) * (p.z + q.z);
        o.normal.y += (p.z - q.z) * (p.x + q.x);
        o.normal.z += (p.x - q.x) * (p.y + q.y);
        o.centre = {o.centre.x + p.x / double(n), o.centre.y + p.y / double(n),
                    o.centre.z + p.z / double(n)};
    }
    if (!(dot(o.normal, o.normal) > 0)) {
        // A bow-tie's two halves can cancel; any plane through three corners will do.
        for (size_t k = 2; k < n; k++) {
            const Vec3 c = cross(sub(o.corners[1], o.corners[0]), sub(o.corners[k], o.corners[0]));
            if (dot(c, c) > dot(o.normal, o.normal))
                o.normal = c;
        }
        if (!(dot(o.normal, o.normal) > 0))
            return;  // all corners on one line: nothing to see
    }
    const double ax = std::fabs(o.normal.x), ay = std::fabs(o.normal.y), az = std::fabs(o.normal.z);
    o.drop = ax >= ay && ax >= az ? 0 : ay >= az ? 1 : 2;
    const int a = o.drop == 0 ? 1 : 0, b = o.drop == 2 ? 1 : 2;
    for (const Vec3& p : o.corners) {
        o.u.push_back(coordinate(p, a));
        o.v.push_back(coordinate(p, b));
    }
    std::vector<int64_t> vertices;
    for (const Vector* p : points)
        vertices.push_back(pointvertex(e, p));
    if (convex(o)) {
        addface(e, vertices, m);
    } else if (n > CutCornerLimit) {
        e.fanned++;
        for (size_t k = 1; k + 1 < n; k++)
            addtriangle(e, vertices[0], vertices[k], vertices[k + 1], o.normal, m);
    } else {
        evenodd(e, o, vertices, m);
    }
}

void addsphere(Exporter& e, const SphereObject* sphere, int segments)
{
    const double r = std::fabs(double(sphere->radius));
    if (!(r > 0) || !std::isfinite(r))
        return;
    const Vec3 c = tofile(*sphere->center);
    if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
        e.notfinite++;
        return;
    }
    const int32_t m = material(e, sphere->pattern);
    const int rings = std::max(2, segments / 2);
    const double pi = 3.14159265358979323846;
    const int64_t top = addvertex(e, {c.x, c.y + r, c.z});
    for (int i = 1; i < rings; i++) {
        const double theta = pi * i / rings;
        for (int j = 0; j < segments; j++) {
            const double phi = 2 * pi * j / segments;
            addvertex(e, {c.x + r * std::sin(theta) * std::cos(phi), c.y + r * std::cos(theta),
                          c.z + r * std::sin(theta) * std::sin(phi)});
        }
    }
    const int64_t bottom = addvertex(e, {c.x, c.y - r, c.z});
    auto ring = [&](int i, int j) { return top + 1 + int64_t(i - 1) * segments + (j % segments); };
    auto outward = [&](int64_t a, int64_t b, int64_t d) {
        const float* p = &e.mesh.positions[size_t(a) * 3];
        const float* q = &e.mesh.positions[size_t(b) * 3];
        const float* s = &e.mesh.positions[size_t(d) * 3];
        addtriangle(e, a, b, d,
                    {(p[0] + q[0] + s[0]) / 3 - c.x, (p[1] + q[1] + s[1]) / 3 - c.y,
                     (p[2] + q[2] + s[2]) / 3 - c.z},
                    m);
    };
    for (int j = 0; j < segments; j++) {
        outward(top, ring(1, j), ring(1, j + 1));
        for (int i = 1; i + 1 < rings; i++) {
            outward(ring(i, j), ring(i + 1, j), ring(i + 1, j + 1));
            outward(ring(i, j), ring(i + 1, j + 1), ring(i, j + 1));
        }
        outward(bottom, ring(rings - 1, j + 1), ring(rings - 1, j));
    }
}

}  // namespace

Mesh SceneToMesh(SceneList* list, int segments)
{
    Exporter e{list, {}, {}, {}, 0};
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++) {
            if (block->tags[i] == TagPolygon)
                addpolygon(e, static_cast<const PolygonObject*>(block->objects[i]));
            else if (block->tags[i] == TagSphere)
                addsphere(e, static_cast<const SphereObject*>(block->objects[i]), segments);
        }
    if (e.backs > 0)
        e.mesh.report.losses.push_back(
            std::to_string(e.backs) +
            " back colours are not carried over: the formats have one colour per face");
    if (e.notfinite > 0)
        e.mesh.report.losses.push_back(std::to_string(e.notfinite) +
                                       " polygons and spheres left out: coordinates that are not "
                                       "finite numbers");
    if (e.fanned > 0)
        e.mesh.report.losses.push_back(
            std::to_string(e.fanned) + " concave polygons of more than " +
            std::to_string(CutCornerLimit) +
            " corners written as fans of their outline: cutting them would take too long, and "
            "the fan may cover more or less than the editor's fill");
    e.mesh.hascamera = true;
    e.mesh.camera = ActualCam;
    // The camera's columns to the file's axes, as every point.
    for (int j = 0; j < 4; j++) {
        e.mesh.camera.frame.m[4 + j] = -ActualCam.frame.m[4 + j];
        e.mesh.camera.frame.m[8 + j] = -ActualCam.frame.m[8 + j];
    }
    return std::move(e.mesh);
}
