// The fast render pass against the literal one: thousands of seeded random
// scenes, and every byte of the picture and of the depths must agree.
#include "render_fixture.h"

#include "render/fast/fast.h"
#include "render/workers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct Draw {
    std::mt19937 bits;
    double uniform(double lo, double hi) { return lo + (hi - lo) * double(bits() >> 5) / double(1u << 27); }
    // Log-uniform: tiny and huge alike.
    double scale(double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); }
    int below(int n) { return int(bits() % uint32_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
};

// A scene built around the camera: positions are given in camera units
// (a·right + b·lower + c·front + position), so most of them are in view.
struct SceneMaker {
    SceneMaker(Draw& d, bool g) : draw(d), grid(g) {}

    Draw& draw;
    bool grid;  // whole view coordinates: corners on pixels, q exactly 0, points on edges
    double smallest = 1e-4;  // object sizes from this to 3 (times the front's length)
    SceneList* list = initlist();
    Vector* lastcentre = nullptr;  // the last sphere, for twin()
    double lastradius = 0;
    std::vector<Pattern*> patterns;
    int serial = 0;

    std::string name(const char* prefix) { return prefix + std::to_string(serial++); }

    Vector at(double a, double b, double c)
    {
        return multmv(ActualCam.frame, newv(a, b, c));
    }
    Vector* point(Vector v)
    {
        if (grid)
            v = newv(std::round(v.x), std::round(v.y), std::round(v.z));
        return RenderTest::addpoint(list, name("p").c_str(), v.x, v.y, v.z);
    }

    void palette()
    {
        for (int i = 0, n = 1 + draw.below(4); i < n; i++) {
            const int grey = draw.chance(15) ? 255 : draw.below(256);  // 255: lit or not, the same colour
            Pattern p = draw.chance(50) ? RGBpattern(draw.below(256), draw.below(256), draw.below(256), grey, grey, grey)
                                        : RGBpattern(draw.below(256), draw.below(256), draw.below(256), draw.below(256),
                                                     draw.below(256), draw.below(256));
            if (!patterns.empty() && draw.chance(40)) {
                p.back = patterns[size_t(draw.below(int(patterns.size())))];
                p.flags |= PatternHasBack;
            }
            patterns.push_back(RenderTest::addpattern(list, name("c").c_str(), p));
        }
    }
    Pattern* pattern() { return patterns[size_t(draw.below(int(patterns.size())))]; }

    // Where things go: mostly in front, some across and behind the eye's plane.
    Vector somewhere()
    {
        const double c = draw.chance(80) ? draw.scale(0.05, 8) : draw.uniform(-2, 0.3);
        const double spread = std::fabs(c) + 0.2;
        return at(draw.uniform(-spread, spread) * 1.5, draw.uniform(-spread, spread), c);
    }
    double size() { return draw.scale(smallest, 3) * lengthv(multvecmv(ActualCam.frame, newv(0, 0, 1))); }

    void sphere()
    {
        Vector centre = somewhere();
        double radius = size();
        if (draw.chance(12)) {  // around the eye, or just touching it
            centre = at(draw.uniform(-0.1, 0.1), draw.uniform(-0.1, 0.1), draw.uniform(-0.1, 0.1));
            radius = lengthv(subv(centre, at(0, 0, 0))) * draw.uniform(0.5, 3);
        }
        if (draw.chance(5))  // centred on the eye: every line of sight has C·d = 0
            centre = at(0, 0, 0);
        if (grid)
            radius = std::round(radius * 2) / 2;
        if (draw.chance(3))
            radius = -radius;
        if (draw.chance(2))
            radius = 0;
        lastcentre = point(centre);
        lastradius = radius;
        RenderTest::addsphere(list, name("s").c_str(), lastcentre, float(radius), pattern());
    }

    // The last sphere again, in another colour: equal depths all over it.
    void twin()
    {
        if (lastcentre)
            RenderTest::addsphere(list, name("s").c_str(), lastcentre, float(lastradius), pattern());
    }

    // Grid views: a few polygons of different sizes on one plane parallel to
    // the picture at a whole depth, so that they meet at exactly equal depths.
    void flat()
    {
        const double c = draw.uniform(0.05, 3);
        for (int i = 0, n = 2 + draw.below(3); i < n; i++) {
            std::vector<Vector*> corners;
            const double a = draw.uniform(-1.5, 1), b = draw.uniform(-1, 0.8);
            const double w = draw.uniform(0.05, 1.5), h = draw.uniform(0.05, 1.2);
            corners = {point(at(a, b, c)), point(at(a + w, b, c)), point(at(a + w, b + h, c))};
            if (draw.chance(60))
                corners.push_back(point(at(a, b + h, c)));
            RenderTest::addpolygon(list, name("g").c_str(), corners, pattern());
        }
    }

    std::vector<Vector*> outline(Vector centre, double radius, int corners)
    {
        const Vector n = newv(draw.uniform(-1, 1), draw.uniform(-1, 1), draw.uniform(-1, 1));
        Vector e1 = crossv(n, newv(0.3, 1, 0.2));
        e1 = multsv(1 / lengthv(e1), e1);
        Vector e2 = crossv(e1, n);
        e2 = multsv(1 / lengthv(e2), e2);
        const int shape = draw.below(5);
        std::vector<Vector*> result;
        for (int i = 0; i < corners; i++) {
            double angle = 6.2831853 * i / corners, r = radius;
            if (shape == 1)
                r *= i % 2 ? 0.3 : 1;  // a star: concave
            if (shape == 2)
                angle = draw.uniform(0, 6.2831853);  // anywhere on the circle: self-intersecting
            if (shape == 3)
                r *= draw.uniform(0.2, 1);
            Vector p = addv(centre, addv(multsv(float(r * std::cos(angle)), e1), multsv(float(r * std::sin(angle)), e2)));
            if (shape == 4)  // not planar
                p = addv(p, multsv(float(radius * draw.uniform(-0.3, 0.3)), crossv(e1, e2)));
            result.push_back(point(p));
        }
        return result;
    }

    // Teeth stacked down the picture: a column crosses two edges per tooth.
    std::vector<Vector*> comb(Vector centre, double radius, int teeth)
    {
        auto offset = [&](double a, double b) { return point(addv(centre, multvecmv(ActualCam.frame, newv(a, b, 0)))); };
        std::vector<Vector*> result;
        const double w = 2 * radius / teeth, slant = draw.uniform(-0.5, 0.5) * w;
        for (int i = 0; i < teeth; i++) {
            result.push_back(offset(-radius, w * i - radius));
            result.push_back(offset(radius, w * (i + 0.5) - radius + slant));
        }
        result.push_back(offset(2 * radius, radius));
        result.push_back(offset(2 * radius, -1.2 * radius));
        return result;
    }

    void polygon()
    {
        std::vector<Vector*> corners;
        const int kind = draw.below(10);
        if (kind == 0) {  // a floor through the eye's plane
            const double y = draw.uniform(-1, 1), far = draw.scale(1, 30);
            corners = {point(at(-far, y, -far)), point(at(far, y, -far)), point(at(far, y, far)), point(at(-far, y, far))};
        } else if (kind == 1) {
            corners = comb(somewhere(), draw.uniform(0.05, 1), 20 + draw.below(60));
        } else if (kind == 2) {  // degenerate: repeated corners, a line, fewer than three
            Vector* p = point(somewhere());
            Vector* q = point(somewhere());
            const int n = draw.below(5);
            for (int i = 0; i < n; i++)
                corners.push_back(i % 2 ? q : p);
        } else {
            const int n = draw.chance(70) ? 3 + draw.below(2) : 5 + draw.below(draw.chance(20) ? 70 : 8);
            corners = outline(somewhere(), size(), n);
        }
        RenderTest::addpolygon(list, name("g").c_str(), corners, pattern());
        if (draw.chance(8))  // the same corners again: equal depths, first one wins
            RenderTest::addpolygon(list, name("g").c_str(), corners, pattern());
    }

    void light()
    {
        const int kind = draw.below(4);
        if (kind == 0)
            RenderTest::addpoint(list, "light_position", 0, 0, 0);
        else if (kind == 1) {
            const Vector p = somewhere();
            RenderTest::addpoint(list, "light_position", p.x, p.y, p.z);
        }
        if (draw.chance(50)) {
            const Vector d = newv(draw.uniform(-1, 1), draw.uniform(-1, 1), draw.uniform(-1, 1));
            RenderTest::addpoint(list, "light_direction", d.x, d.y, d.z, TagVector);
        }
    }
};

// A view in which scene and view coordinates differ by whole numbers: one
// pixel per unit, lower exactly half the (power of two) picture height.
Camera gridcamera(Draw& draw, int height)
{
    Camera cam;
    const float front = float(1 << draw.below(7));
    cam.frame = newvecm(newv(draw.chance(80) ? 1 : -1, 0, 0), newv(0, height / 2.0, 0), newv(0, 0, front),
                        newv(draw.below(9) - 4, draw.below(9) - 4, draw.below(9) - 4));
    cam.flags = uint8_t((draw.chance(60) ? CamCentral : 0) | (draw.chance(70) ? CamClip : 0));
    return cam;
}

Camera randomcamera(Draw& draw)
{
    Camera cam = DefaultCam();
    const int kind = draw.below(20);
    if (kind < 14) {
        cam.frame = multmm(rotatey(float(draw.uniform(-3.2, 3.2))), multmm(rotatex(float(draw.uniform(-1.6, 1.6))), cam.frame));
        cam.frame = multmm(translate(newv(draw.uniform(-500, 500), draw.uniform(-500, 500), draw.uniform(-500, 500))), cam.frame);
        if (draw.chance(30))
            cam.frame = multmm(scale(float(draw.scale(1e-3, 1e3))), cam.frame);
    } else if (kind < 18) {
        auto any = [&] {
            return multsv(float(draw.scale(1e-3, 1e4)), newv(draw.uniform(-1, 1), draw.uniform(-1, 1), draw.uniform(-1, 1)));
        };
        cam.frame = newvecm(any(), any(), any(), any());
    } else {  // degenerate: no front, or lower along front
        const Vector front = kind == 18 ? nullv() : newv(0, 0, 1000);
        cam.frame = newvecm(newv(1000, 0, 0), kind == 18 ? newv(0, 1000, 0) : newv(0, 0, 50), front, newv(0, 0, -1000));
    }
    cam.flags = uint8_t((draw.chance(60) ? CamCentral : 0) | (draw.chance(70) ? CamClip : 0));
    return cam;
}

struct Picture {
    std::vector<uint8_t> pixels;
    std::vector<float> depth;
};

Picture take()
{
    const size_t n = size_t(ActualImage.width) * size_t(ActualImage.height);
    Picture p;
    if (n) {
        p.pixels.assign(ActualImage.pixels, ActualImage.pixels + n * ImageBytesPerPixel);
        p.depth.assign(ActualImage.depth, ActualImage.depth + n);
    }
    return p;
}

// The first differing pixel, as text; empty when the pictures agree byte for byte.
std::string difference(const Picture& a, const Picture& b)
{
    if (a.pixels.size() != b.pixels.size())
        return "sizes differ";
    for (size_t i = 0; i < a.depth.size(); i++)
        if (std::memcmp(&a.pixels[4 * i], &b.pixels[4 * i], 4) || std::memcmp(&a.depth[i], &b.depth[i], sizeof(float)))
            return "pixel (" + std::to_string(i % size_t(ActualImage.width)) + ", " +
                   std::to_string(i / size_t(ActualImage.width)) + "): depth " + std::to_string(a.depth[i]) + " vs " +
                   std::to_string(b.depth[i]);
    return "";
}

using FastRenderTest = RenderTest;

// Every pixel of the cleared picture given other bytes, its fourth too.
void scribble()
{
    uint32_t* pixels = reinterpret_cast<uint32_t*>(ActualImage.pixels);
    for (size_t i = 0, n = size_t(ActualImage.width) * size_t(ActualImage.height); i < n; i++)
        pixels[i] = uint32_t(i) * 2654435761u;
}

// Renders the scene both ways (the fast one with 1 to 4 threads) over the same
// scribbled picture and compares; then the redraw's clear-as-you-go pass over
// a picture full of something else. Its picture is the literal one with the
// pixels no point was stored in (depth still +infinity) black, and the fourth
// bytes 0, as after ClearImage.
std::string compare(SceneList* scene, int threads)
{
    ClearImage(&ActualImage);
    scribble();
    PrepareScene();
    RenderSceneLiteral(scene);
    Picture literal = take();
    ClearImage(&ActualImage);
    scribble();
    RenderThreads = threads;
    RenderScene(scene);
    std::string diff = difference(literal, take());
    const size_t n = literal.depth.size();
    if (diff.empty() && n) {
        for (size_t i = 0; i < n; i++) {
            uint8_t* pixel = &literal.pixels[4 * i];
            pixel[3] = 0;
            if (literal.depth[i] == std::numeric_limits<float>::infinity())
                pixel[0] = pixel[1] = pixel[2] = 0;
        }
        std::memset(ActualImage.pixels, 0xA5, n * ImageBytesPerPixel);
        std::fill(ActualImage.depth, ActualImage.depth + n, -1.0f);
        ClearAndRender(scene);
        diff = difference(literal, take());
        if (!diff.empty())
            diff = "cleared as it goes: " + diff;
    }
    RenderThreads = 0;
    return diff;
}

}  // namespace

TEST_F(FastRenderTest, RandomScenesGiveTheLiteralPictureByteForByte)
{
    int drawn = 0;
    for (uint32_t seed = 1; seed <= 3000; seed++) {
        Draw draw{std::mt19937(seed)};
        const bool grid = seed % 4 == 0, big = seed % 100 == 1;
        const int height = grid ? 2 << draw.below(5) : big ? 240 : 1 + draw.below(56);
        ActualCam = grid ? gridcamera(draw, height) : randomcamera(draw);
        const uint8_t lightflags[4] = {0, LightDirected, LightBound, LightBound | LightDirected};
        ActualLight = Camlight(ActualCam, lightflags[draw.below(4)]);
        image(big ? 320 : 1 + draw.below(72), height);
        SceneMaker maker(draw, grid);
        maker.palette();
        maker.light();
        for (int i = 0, n = big ? 60 : 1 + draw.below(10); i < n; i++) {
            if (draw.chance(45))
                maker.sphere();
            else
                maker.polygon();
        }
        ActualScene = maker.list;
        const std::string diff = compare(maker.list, 1 + int(seed % 3));
        ASSERT_EQ(diff, "") << "seed " << seed;
        drawn += ActualViewOk;
    }
    EXPECT_GT(drawn, 2000);  // the degenerate cameras are a minority
}

TEST_F(FastRenderTest, ASteadyRedrawAllocatesNothing)
{
    Draw draw{std::mt19937(99)};
    image(160, 120);
    SceneMaker maker(draw, false);
    maker.palette();
    maker.light();
    for (int i = 0; i < 40; i++)
        i % 2 ? maker.sphere() : maker.polygon();
    ActualScene = maker.list;
    PrepareScene();
    RenderThreads = 2;
    RenderScene(maker.list);  // the first frame sizes the records and starts the helper
    static int allocations;
    allocations = 0;
    const HeapFunction heap = HeapAllocate;
    HeapAllocate = [](size_t size) {
        allocations++;
        return std::malloc(size);
    };
    ClearImage(&ActualImage);
    RenderScene(maker.list);
    HeapAllocate = heap;
    RenderThreads = 0;
    EXPECT_EQ(allocations, 0);
}

// Pictures of several tiles crowded with large overlapping objects, some at
// exactly equal depths (a sphere twice, polygons on one plane). Each is drawn
// near first and with every tile's shapes in the list's order backwards, where
// only the tie rule can keep the first of two equal depths.
TEST_F(FastRenderTest, CrowdedScenesAcrossTilesGiveTheLiteralPictureInEitherOrder)
{
    for (uint32_t seed = 1; seed <= 160; seed++) {
        Draw draw{std::mt19937(seed + 100000)};
        const bool grid = seed % 2 == 0;
        const int height = grid ? 128 : 70 + draw.below(130);
        ActualCam = grid ? gridcamera(draw, height) : randomcamera(draw);
        const uint8_t lightflags[4] = {0, LightDirected, LightBound, LightBound | LightDirected};
        ActualLight = Camlight(ActualCam, lightflags[draw.below(4)]);
        image(grid ? 64 * (1 + draw.below(3)) + draw.below(3) : 60 + draw.below(200), height);
        SceneMaker maker(draw, grid);
        maker.smallest = 0.02;
        maker.palette();
        maker.light();
        for (int i = 0, n = 15 + draw.below(40); i < n; i++) {
            if (draw.chance(45))
                maker.sphere();
            else
                maker.polygon();
            if (draw.chance(15))
                maker.twin();
            if (grid && draw.chance(15))
                maker.flat();
        }
        ActualScene = maker.list;
        for (TileOrder order : {TileOrder::NearFirst, TileOrder::ListBackwards}) {
            FastTileOrder = order;
            const std::string diff = compare(maker.list, 1 + int(seed % 4));
            FastTileOrder = TileOrder::NearFirst;
            ASSERT_EQ(diff, "") << "seed " << seed << (order == TileOrder::NearFirst ? ", near first" : ", backwards");
        }
    }
}

// A list long enough for the setup's counting passes on every thread and for
// its longer jobs, in both views: many thousands of shapes over a few tiles.
TEST_F(FastRenderTest, ALongListGivesTheLiteralPicture)
{
    for (const uint8_t flags : {uint8_t(CamCentral | CamClip), uint8_t(0)}) {
        Draw draw{std::mt19937(4242 + flags)};
        ActualCam = DefaultCam();
        ActualCam.flags = flags;
        ActualLight = Camlight(ActualCam, 0);
        image(72, 40);
        SceneMaker maker(draw, false);
        maker.palette();
        maker.light();
        for (int i = 0; i < 17000; i++)  // past 16 384, where the jobs grow
            draw.chance(45) ? maker.sphere() : maker.polygon();
        ActualScene = maker.list;
        const std::string diff = compare(maker.list, 2 + flags % 2);
        ASSERT_EQ(diff, "") << (flags ? "central view" : "parallel view");
    }
}
