// MeshToScene (sceneconvert.h): a model as a scene list, ready for SaveScene.
//
// Vertices at one position become one point, so faces that meet share their
// points as the editor's own scenes do. Every number from the file is checked
// here: a face with a corner that is out of range or not finite is dropped and
// counted, and so is one with fewer than three distinct corners.
#include "core/memory.h"
#include "core/registry.h"
#include "scenefile/tokenizer.h"
#include "tools/sceneconvert/sceneconvert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

namespace {

// A face flatter than this share of its size is one polygon; the renderer
// draws it on its mean plane, and a thousandth of its width does not show.
constexpr double FlatTolerance = 1e-3;
// The longest name that reads back whole (tokenizer.h).
constexpr size_t NameBytes = size_t(NameWordLimit) - 1;
// --fit: the model's bounding sphere gets this radius, seen from this far
// through a lens of half the default camera's angle (less distortion).
constexpr double FitRadius = 500;
constexpr double FitDistance = 1050;
constexpr double FitFront = 2000;
const MeshColor DefaultColor = {200 / 255.0f, 200 / 255.0f, 200 / 255.0f};

struct PositionKey {
    uint32_t x, y, z;
    bool operator==(const PositionKey& o) const
    {
        return x == o.x && y == o.y && z == o.z;
    }
};

struct PositionHash {
    size_t operator()(const PositionKey& k) const
    {
        uint64_t h = k.x * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) + k.y * 0xBF58476D1CE4E5B9ull;
        h ^= (h >> 31) + k.z * 0x94D049BB133111EBull;
        return size_t(h ^ (h >> 32));
    }
};

uint32_t floatbits(float f)
{
    if (f == 0)
        f = 0;  // -0 and +0 are one position
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

int channel(float c)
{
    if (!(c > 0))
        return 0;  // NaN too
    return c >= 1 ? 255 : int(std::lround(c * 255));
}

// A name the format can carry: no byte that ends or splits a word, not too long.
std::string validname(const std::string& name, const char* fallback)
{
    std::string valid;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        valid += u <= 32 || u == 127 ? '_' : c;
    }
    if (valid.empty())
        valid = fallback;
    if (valid.size() > NameBytes)
        valid.resize(NameBytes);
    return valid;
}

std::string uniquename(const std::string& name, std::set<std::string>* taken)
{
    std::string unique = name;
    for (long n = 2; taken->count(unique); n++) {
        const std::string suffix = "_" + std::to_string(n);
        unique = name.substr(0, std::min(name.size(), NameBytes - suffix.size())) + suffix;
    }
    taken->insert(unique);
    return unique;
}

Vector* newpoint(Vector v)
{
    Vector* p = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
    *p = v;
    return p;
}

Pattern* newpattern(int r, int g, int b)
{
    const int ambient = readableambient(r, g, b);
    Pattern* p = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
    *p = RGBpattern(r, g, b, ambient, ambient, ambient);
    return p;
}

struct Face {
    size_t start, end;  // range in the face corner list
    int32_t pattern;
};

struct SceneBuild {
    std::vector<Vector> points;   // in scene axes
    std::vector<int32_t> corners;  // point numbers of the faces
    std::vector<Face> faces;
    std::vector<uint32_t> colors;  // packed colour of each pattern
    std::vector<std::string> patternnames;
};

bool flat(const SceneBuild& b, size_t start, size_t end)
{
    const size_t n = end - start;
    if (n <= 3)
        return true;
    double nx = 0, ny = 0, nz = 0, cx = 0, cy = 0, cz = 0;
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (size_t i = start; i < end; i++) {
        const Vector p = b.points[size_t(b.corners[i])];
        const Vector q = b.points[size_t(b.corners[i + 1 < end ? i + 1 : start])];
        nx += (double(p.y) - q.y) * (double(p.z) + q.z);
        ny += (double(p.z) - q.z) * (double(p.x) + q.x);
        nz += (double(p.x) - q.x) * (double(p.y) + q.y);
        cx += p.x, cy += p.y, cz += p.z;
        const double c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; k++)
            lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
    }
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double size =
        std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                  (hi[2] - lo[2]) * (hi[2] - lo[2]));
    if (!(length > 0))
        return true;  // all on a line: nothing to split
    cx /= double(n), cy /= double(n), cz /= double(n);
    for (size_t i = start; i < end; i++) {
        const Vector p = b.points[size_t(b.corners[i])];
        const double d = ((p.x - cx) * nx + (p.y - cy) * ny + (p.z - cz) * nz) / length;
        if (std::fabs(d) > FlatTolerance * size)
            return false;
    }
    return true;
}

void fit(SceneBuild& b)
{
    if (b.points.empty())
        return;
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (const Vector& p : b.points) {
        const double c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; k++)
            lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
    }
    const double centre[3] = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
    const double radius =
        std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                  (hi[2] - lo[2]) * (hi[2] - lo[2])) /
        2;
    const double scale = radius > 0 && std::isfinite(radius) ? FitRadius / radius : 1;
    for (Vector& p : b.points)
        p = newv((p.x - centre[0]) * scale, (p.y - centre[1]) * scale, (p.z - centre[2]) * scale);
}

// The camera objects of --fit: from the front, a little above and to the
// right, looking at the centre; the loader copies them into the camera.
void addcamera(SceneList* list)
{
    const Vector eye = multsv(1 / lengthv(newv(0.5, -0.45, -1)), newv(0.5, -0.45, -1));
    const Vector front = multsv(-FitFront, eye);
    const Vector down = newv(0, 1, 0);
    Vector lower = subv(down, multsv(multvv(down, eye), eye));
    lower = multsv(1000 / lengthv(lower), lower);
    Vector right = crossv(lower, front);
    right = multsv(1000 / lengthv(right), right);
    // The frame's columns: right, lower, front, position.
    const Vector columns[4] = {right, lower, front, multsv(FitDistance, eye)};
    for (const ViewObject& object : CamObjects)
        insertlist(list, object.tag, newpoint(columns[object.column]), copytext(object.name));
}

}  // namespace

int readableambient(int red, int green, int blue)
{
    // The unlit side shows ambient/255 of the colour. About a third keeps
    // shapes readable; a dark colour gets more, so that its shaded side is not
    // black, but never so much that light and shade look alike.
    const double luma = 0.299 * red + 0.587 * green + 0.114 * blue;
    constexpr int Ambient = 96, Most = 160;
    constexpr double Darkest = 40;
    if (luma * Ambient / 255 >= Darkest)
        return Ambient;
    return luma <= 0 ? Most : std::min(Most, int(std::ceil(Darkest * 255 / luma)));
}

SceneList* MeshToScene(Mesh& mesh, const ImportOptions& options, ImportCounts* counts)
{
    const size_t vertices = mesh.positions.size() / 3;
    const bool colored = mesh.colors.size() == vertices && vertices > 0;
    SceneBuild b;
    std::vector<int32_t> vertexpoint(vertices, -1);
    std::unordered_map<PositionKey, int32_t, PositionHash> welded;
    welded.reserve(vertices);
    b.corners.reserve(mesh.corners.size());
    b.faces.reserve(mesh.faceends.size());
    long outofrange = 0, notfinite = 0, degenerate = 0;

    std::map<int32_t, int32_t> materialpattern;  // material (-1: none) -> pattern
    std::map<uint32_t, int32_t> colorpattern;   // vertex colours: packed colour -> pattern
    std::set<std::string> names;
    if (options.back)
        names.insert("back");
    auto addpattern = [&](uint32_t color, const std::string& name) {
        b.colors.push_back(color);
        b.patternnames.push_back(uniquename(validname(name, "material"), &names));
        return int32_t(b.colors.size() - 1);
    };

    std::vector<int32_t> face;
    size_t start = 0;
    for (size_t f = 0; f < mesh.faceends.size(); start = mesh.faceends[f++]) {
        const size_t end = std::min(mesh.faceends[f], mesh.corners.size());
        if (end < start + 3) {
            degenerate++;  // a point or a line given as a face
            continue;
        }
        counts->faces++;
        counts->triangles += long(end - start) - 2;
        face.clear();
        bool bad = false;
        float r = 0, g = 0, bl = 0;
        for (size_t k = start; k < end && !bad; k++) {
            const int64_t v = mesh.corners[k];
            if (v < 0 || uint64_t(v) >= vertices) {
                outofrange++;
                bad = true;
                break;
            }
            const float* p = &mesh.positions[size_t(v) * 3];
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
                notfinite++;
                bad = true;
                break;
            }
            int32_t& point = vertexpoint[size_t(v)];
            if (point < 0) {
                const PositionKey key = {floatbits(p[0]), floatbits(p[1]), floatbits(p[2])};
                const auto found = welded.emplace(key, int32_t(b.points.size()));
                if (found.second)
                    b.points.push_back(
                        newv(p[0], 0.0 - p[1], 0.0 - p[2]));  // half a turn about x (and no -0)
                point = found.first->second;
            }
            if (face.empty() || face.back() != point)
                face.push_back(point);
            if (colored)
                r += mesh.colors[size_t(v)].r, g += mesh.colors[size_t(v)].g,
                    bl += mesh.colors[size_t(v)].b;
        }
        if (bad)
            continue;
        while (face.size() > 1 && face.back() == face.front())
            face.pop_back();
        if (face.size() < 3) {
            degenerate++;
            continue;
        }
        int32_t pattern;
        if (colored) {
            const float n = float(end - start);
            const uint32_t color = packcolor(channel(r / n), channel(g / n), channel(bl / n));
            const auto found = colorpattern.find(color);
            if (found != colorpattern.end()) {
                pattern = found->second;
            } else {
                char name[16];
                std::snprintf(name, sizeof name, "color_%02X%02X%02X", unsigned(color & 0xFF),
                              unsigned(color >> 8 & 0xFF), unsigned(color >> 16 & 0xFF));
                pattern = colorpattern[color] = addpattern(color, name);
            }
        } else {
            const int32_t id = f < mesh.facematerials.size() ? mesh.facematerials[f] : -1;
            const int32_t material = id >= 0 && size_t(id) < mesh.materials.size() ? id : -1;
            const auto found = materialpattern.find(material);
            if (found != materialpattern.end()) {
                pattern = found->second;
            } else {
                const MeshColor c =
                    material >= 0 ? mesh.materials[size_t(material)].color : DefaultColor;
                const std::string name =
                    material >= 0 ? mesh.materials[size_t(material)].name : "default";
                pattern = materialpattern[material] =
                    addpattern(packcolor(channel(c.r), channel(c.g), channel(c.b)), name);
            }
        }
        // Reversed: the file's front runs counter-clockwise, the renderer's clockwise.
        const size_t first = b.corners.size();
        b.corners.insert(b.corners.end(), face.rbegin(), face.rend());
        b.faces.push_back({first, b.corners.size(), pattern});
    }

    if (outofrange > 0)
        mesh.report.losses.push_back(std::to_string(outofrange) +
                                     " faces dropped: a corner names a vertex that does not exist");
    if (notfinite > 0)
        mesh.report.losses.push_back(
            std::to_string(notfinite) +
            " faces dropped: a corner's coordinates are not finite numbers");
    if (degenerate > 0)
        mesh.report.notes.push_back(std::to_string(degenerate) +
                                    " faces with fewer than 3 distinct corners left out: "
                                    "they have no area");
    if (options.fit)
        fit(b);

    SceneList* list = initlist();
    ActualScene = list;
    // The back pattern first: a BCK reference reads back only to a pattern before it.
    Pattern* back = nullptr;
    if (options.back) {
        back = newpattern(options.backcolor[0], options.backcolor[1], options.backcolor[2]);
        insertlist(list, TagPattern, back, copytext("back"));
        counts->patterns++;
    }
    std::vector<Pattern*> patterns;
    for (size_t i = 0; i < b.colors.size(); i++) {
        const uint32_t c = b.colors[i];
        Pattern* p = newpattern(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
        if (back) {
            p->back = back;
            p->flags |= PatternHasBack;
        }
        insertlist(list, TagPattern, p, copytext(b.patternnames[i].c_str()));
        patterns.push_back(p);
        counts->patterns++;
    }
    if (options.fit)
        addcamera(list);
    std::vector<Vector*> points;
    for (size_t i = 0; i < b.points.size(); i++) {
        points.push_back(newpoint(b.points[i]));
        insertlist(list, TagPoint, points.back(), copytext(("p" + std::to_string(i + 1)).c_str()));
    }
    counts->points = long(b.points.size());

    auto addpolygon = [&](const int32_t* corners, int32_t count, int32_t pattern) {
        PolygonObject* polygon = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
        polygon->count = count;
        polygon->corners = static_cast<Vector**>(Memory_Gra(sizeof(Vector*) * size_t(count)));
        for (int32_t k = 0; k < count; k++)
            polygon->corners[k] = points[size_t(corners[k])];
        polygon->pattern = patterns[size_t(pattern)];
        counts->polygons++;
        counts->polytriangles += count - 2;
        insertlist(list, TagPolygon, polygon,
                   copytext(("f" + std::to_string(counts->polygons)).c_str()));
    };
    for (const Face& f : b.faces) {
        const int32_t* c = &b.corners[f.start];
        const int32_t n = int32_t(f.end - f.start);
        if (flat(b, f.start, f.end)) {
            addpolygon(c, n, f.pattern);
            continue;
        }
        counts->split++;
        for (int32_t k = 1; k + 1 < n; k++) {
            const int32_t triangle[3] = {c[0], c[k], c[k + 1]};
            addpolygon(triangle, 3, f.pattern);
        }
    }
    if (counts->split > 0)
        mesh.report.notes.push_back(std::to_string(counts->split) +
                                    " faces not flat, written as triangles");

    // The editor's start-up view; a light that follows the camera shows a model from every side.
    StartView();
    ActualLight.flags |= LightBound;
    return list;
}
