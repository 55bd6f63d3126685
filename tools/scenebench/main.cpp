// scenebench - how long pictures, loading and saving take: the literal renderer
// against the fast one, plain list walks against the index. The one timing tool.
//
//   scenebench [--runs N] [--seed N] [--quick] [--io-only] [--render-only] [--folder DIR]
//              [--size WxH] [--scene FILE...] [--only-scenes] [--no-literal] [--overdraw]
//   scenebench [same options] --single N    render case N once with each pass, on one thread:
//                              for valgrind --tool=callgrind, whose counts do not depend on the load
//
// The built-in scenes are generated from the seed (scenes.h), so two runs
// measure the same work; scene files (--scene) are loaded as the editor loads
// them at start-up, with its camera and light unless the file sets its own.
// --size (default 1920x1080) sizes every case but the small mixed one. Each
// case is timed as the render pass alone (after ClearImage and PrepareScene):
// literal, fast on 1 thread and on all threads; beside them the floor (every
// pixel and every depth written once) and the whole redraw as the program
// makes it (PrepareScene, then the clear and the fast pass in one pass:
// ClearAndRender), all interleaved, medians of N runs. The fast pass is also
// checked to give the literal picture on 1 and on all threads, both ways.
// --quick takes 3 runs and leaves out the slow plain-walk loading and saving;
// --overdraw adds the mean number of surfaces per pixel. The results are
// printed as Markdown tables.
#include "tools/scenebench/scenes.h"

#include "core/registry.h"
#include "core/scenelist.h"
#include "render/camera.h"
#include "render/display_headless.h"
#include "render/image.h"
#include "render/render.h"
#include "render/workers.h"
#include "scenefile/scenefile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct RenderCase {
    std::string name;
    SceneList* scene;
    Camera cam;
    Light light;
    int width, height;
};

HeadlessWindow Window = {};

void setview(const RenderCase& c)
{
    Window.width = c.width;
    Window.height = c.height;
    FormatImage(&ActualImage, &Window);
    ActualCam = c.cam;
    ActualLight = c.light;
    ActualScene = c.scene;
}

// A built-in scene seen by the editor's start-up camera; the scenes hold a point light of their own.
RenderCase builtin(const std::string& name, SceneList* scene, bool central, int width, int height)
{
    Camera cam = DefaultCam();
    cam.flags = central ? CamCentral | CamClip : CamClip;
    return RenderCase{name, scene, cam, Camlight(cam, 0), width, height};
}

// A scene file loaded as the editor loads it at start-up (and as scenerender does).
RenderCase loaded(const std::string& path, int width, int height)
{
    StartView();
    SceneList* scene = ReadScene(path.c_str());
    const size_t slash = path.find_last_of("/\\");
    return RenderCase{path.substr(slash == std::string::npos ? 0 : slash + 1), scene, ActualCam, ActualLight, width,
                      height};
}

// The floor: every pixel and every depth of the picture written once, the
// least any render pass must do.
double timefloor()
{
    const size_t n = size_t(ActualImage.width) * size_t(ActualImage.height);
    uint32_t* pixels = reinterpret_cast<uint32_t*>(ActualImage.pixels);
    float* depth = ActualImage.depth;
    const Clock::time_point start = Clock::now();
    for (size_t i = 0; i < n; i++) {
        pixels[i] = uint32_t(i) & 0xFFFFFF;
        depth[i] = float(i & 1023);
    }
    const double ms = since(start);
    volatile uint8_t sink = ActualImage.pixels[n / 2];
    (void)sink;
    return ms;
}

double timeonce(const RenderCase& c, bool fast, int threads)
{
    RenderThreads = threads;
    ClearImage(&ActualImage);
    PrepareScene();
    const Clock::time_point start = Clock::now();
    if (fast)
        RenderScene(c.scene);
    else
        RenderSceneLiteral(c.scene);
    return since(start);
}

// The whole redraw on all threads, as the program makes it: PrepareScene,
// then the clear and the fast pass in one pass over the picture.
double timeredraw(const RenderCase& c)
{
    RenderThreads = 0;
    const Clock::time_point start = Clock::now();
    PrepareScene();
    ClearAndRender(c.scene);
    return since(start);
}

// Median milliseconds: the render pass alone (after ClearImage and
// PrepareScene), literal and fast on 1 and on all threads, the floor and the
// whole redraw. The runs are interleaved, so that a slower spell of a shared
// machine falls on all of them alike.
struct RenderTimes {
    double literal, one, all, floor, redraw;
};

RenderTimes timerender(const RenderCase& c, int runs, bool literal)
{
    std::vector<double> times[5];
    timeonce(c, true, 0);  // warms the caches and starts the helper threads
    for (int i = 0; i < runs; i++) {
        if (literal && i % 2 == 0)  // the literal pass is slow: every other run is enough
            times[0].push_back(timeonce(c, false, 1));
        times[1].push_back(timeonce(c, true, 1));
        times[2].push_back(timeonce(c, true, 0));
        times[3].push_back(timefloor());
        times[4].push_back(timeredraw(c));
    }
    return RenderTimes{literal ? median(times[0]) : 0, median(times[1]), median(times[2]), median(times[3]),
                       median(times[4])};
}

// The mean number of surfaces a pixel lies on: each object drawn alone on an
// erased picture, its pixels counted. The view must be prepared.
double overdraw(const RenderCase& c)
{
    const size_t n = size_t(c.width) * size_t(c.height);
    size_t covered = 0;
    for (ListBlock* block = c.scene; block; block = block->next)
        for (int i = 0; i < block->count; i++) {
            const ObjectTag tag = block->tags[i];
            if (tag != TagSphere && tag != TagPolygon)
                continue;
            ClearImage(&ActualImage);
            if (tag == TagSphere) {
                const SphereObject* s = static_cast<const SphereObject*>(block->objects[i]);
                if (s && s->center && s->pattern)
                    Sphere(*s->center, s->radius, *s->pattern);
            } else {
                const PolygonObject* p = static_cast<const PolygonObject*>(block->objects[i]);
                if (p && p->pattern)
                    Porygon(p->corners, p->count, *p->pattern);
            }
            for (size_t k = 0; k < n; k++)
                covered += ActualImage.depth[k] < std::numeric_limits<float>::infinity();
        }
    return double(covered) / double(n);
}

// Whether the fast pass, on 1 and on all threads, gives the literal picture
// byte for byte, after ClearImage and (the redraw) clearing as it goes over
// whatever the picture held.
bool samepicture(const RenderCase& c)
{
    const size_t n = size_t(c.width) * size_t(c.height);
    ClearImage(&ActualImage);
    PrepareScene();
    RenderSceneLiteral(c.scene);
    const std::vector<uint8_t> pixels(ActualImage.pixels, ActualImage.pixels + 4 * n);
    const std::vector<float> depth(ActualImage.depth, ActualImage.depth + n);
    auto literal = [&] {
        return std::memcmp(pixels.data(), ActualImage.pixels, 4 * n) == 0 &&
               std::memcmp(depth.data(), ActualImage.depth, n * sizeof(float)) == 0;
    };
    bool same = true;
    for (int threads : {1, 0}) {
        RenderThreads = threads;
        ClearImage(&ActualImage);
        RenderScene(c.scene);
        same = same && literal();
        std::memset(ActualImage.pixels, 0x5A, 4 * n);
        std::fill(ActualImage.depth, ActualImage.depth + n, -1.0f);
        ClearAndRender(c.scene);
        same = same && literal();
    }
    return same;
}

struct Options {
    int runs = 11;
    uint32_t seed = 7;
    bool literalio = true, render = true, files = true, literal = true, overdraw = false, builtins = true;
    int width = 1920, height = 1080;
    int single = 0;
    std::vector<std::string> scenes;
    std::string folder = ".";
};

// The built-in cases at the chosen size (the mixed scene also at 640x480), then the scene files.
std::vector<RenderCase> makecases(const Options& o)
{
    std::vector<RenderCase> cases;
    const uint32_t seed = o.seed;
    const int w = o.width, h = o.height;
    const std::string size = " " + std::to_string(w) + "x" + std::to_string(h);
    if (o.builtins) {
        SceneList* spheres = SphereScene(seed, 1000);
        SceneList* mixed = MixedScene(seed + 2, 500, 1000);
        cases.push_back(builtin("1000 spheres, central" + size, spheres, true, w, h));
        cases.push_back(builtin("1000 spheres, parallel" + size, spheres, false, w, h));
        cases.push_back(builtin("2000 polygons with ground" + size, PolygonScene(seed + 1, 2000), true, w, h));
        cases.push_back(builtin("mixed 500 spheres + 1000 polygons" + size, mixed, true, w, h));
        cases.push_back(builtin("mixed 500 spheres + 1000 polygons 640x480", mixed, true, 640, 480));
        cases.push_back(builtin("50 big overlapping spheres" + size, BigSphereScene(seed + 4, 50), true, w, h));
        cases.push_back(builtin("eye inside a sky sphere, 500 objects" + size, SkyScene(seed + 5, 500), true, w, h));
        cases.push_back(builtin("3000 tiny spheres + 3000 tiny triangles" + size, TinyScene(seed + 6, 3000, 3000), true, w, h));
        cases.push_back(builtin("200 978-triangle mesh" + size, MeshScene(seed + 7, 318), true, w, h));
    }
    for (const std::string& path : o.scenes)
        cases.push_back(loaded(path, w, h));
    return cases;
}

void single(const Options& o)
{
    const std::vector<RenderCase> cases = makecases(o);
    if (o.single > int(cases.size())) {
        std::fprintf(stderr, "scenebench: there are %zu cases\n", cases.size());
        std::exit(2);
    }
    const RenderCase& c = cases[size_t(o.single - 1)];
    setview(c);
    std::printf("%s: literal pass, then fast pass on one thread\n", c.name.c_str());
    timeonce(c, false, 1);
    timeonce(c, true, 1);
}

void renders(const Options& o)
{
    const std::vector<RenderCase> cases = makecases(o);
    const int all = renderthreads();
    std::printf("Render pass alone (after ClearImage and PrepareScene) and the whole redraw (PrepareScene, then "
                "the clear and the fast pass on %d threads in one pass), median ms; floor: every pixel and depth "
                "written once.\n\n",
                all);
    std::printf("| case | literal | fast 1 thread | fast %d threads | floor | fast %d / floor | redraw | redraw / floor "
                "| fast 1 / fast %d |%s same picture |\n",
                all, all, all, o.overdraw ? " surfaces per pixel |" : "");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|%s---|\n", o.overdraw ? "---:|" : "");
    for (size_t i = 0; i < cases.size(); i++) {
        const RenderCase& c = cases[i];
        setview(c);
        const bool same = samepicture(c);
        const RenderTimes t = timerender(c, o.runs, o.literal);
        char depth[40] = "";
        if (o.overdraw) {
            PrepareScene();
            std::snprintf(depth, sizeof depth, " %.2f |", overdraw(c));
        }
        char literal[40] = "-";
        if (o.literal)
            std::snprintf(literal, sizeof literal, "%.1f", t.literal);
        std::printf("| %zu. %s | %s | %.2f | %.2f | %.2f | %.1fx | %.2f | %.1fx | %.2fx |%s %s |\n", i + 1, c.name.c_str(),
                    literal, t.one, t.all, t.floor, t.all / t.floor, t.redraw, t.redraw / t.floor, t.one / t.all, depth,
                    same ? "yes" : "NO");
        std::fflush(stdout);
    }
}

long filesize(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? long(file.tellg()) : -1;
}

struct IoTimes {
    double save, load;
};

IoTimes timeio(SceneList* scene, const std::string& path, bool indexed, int runs)
{
    ListIndexed = indexed;
    std::vector<double> saves, loads;
    for (int i = 0; i < runs; i++) {
        Clock::time_point start = Clock::now();
        if (!SaveScene(path.c_str(), scene)) {
            std::fprintf(stderr, "scenebench: cannot write %s\n", path.c_str());
            std::exit(2);
        }
        saves.push_back(since(start) / 1000);
        start = Clock::now();
        ReadScene(path.c_str());
        loads.push_back(since(start) / 1000);
    }
    ListIndexed = true;
    return IoTimes{median(saves), median(loads)};
}

void io(uint32_t seed, int runs, bool literal, const std::string& folder)
{
    const int objects = 100000;
    SceneList* scene = LargeScene(seed + 3, objects);
    const std::string path = folder + "/scenebench-large.item";
    const IoTimes indexed = timeio(scene, path, true, runs);
    const double mb = double(filesize(path)) / 1e6;
    std::printf("\nLoading and saving %d objects (points, patterns, spheres, polygons), a file of %.2f MB:\n\n", objects, mb);
    std::printf("| lookups | save s | save MB/s | load s | load MB/s |\n|---|---:|---:|---:|---:|\n");
    std::printf("| indexed | %.3f | %.1f | %.3f | %.1f |\n", indexed.save, mb / indexed.save, indexed.load, mb / indexed.load);
    std::fflush(stdout);
    if (literal) {
        const IoTimes walk = timeio(scene, path, false, 1);
        std::printf("| plain walk | %.2f | %.2f | %.2f | %.2f |\n", walk.save, mb / walk.save, walk.load, mb / walk.load);
    }
    std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    bool usage = false;
    for (int i = 1; i < argc && !usage; i++) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--seed" && i + 1 < argc)
            o.seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--quick")
            o.runs = 3, o.literalio = false;
        else if (arg == "--io-only")
            o.render = false;
        else if (arg == "--render-only")
            o.files = false;
        else if (arg == "--no-literal")
            o.literal = false;
        else if (arg == "--overdraw")
            o.overdraw = true;
        else if (arg == "--folder" && i + 1 < argc)
            o.folder = argv[++i];
        else if (arg == "--size" && i + 1 < argc)
            usage = std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2 || o.width < 1 || o.height < 1;
        else if (arg == "--scene" && i + 1 < argc) {
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                o.scenes.push_back(argv[++i]);
        } else if (arg == "--only-scenes")
            o.builtins = false;
        else if (arg == "--single" && i + 1 < argc && std::atoi(argv[i + 1]) >= 1)
            o.single = std::atoi(argv[++i]);
        else
            usage = true;
    }
    if (usage) {
        std::fprintf(stderr, "usage: scenebench [--runs N] [--seed N] [--quick] [--io-only] [--render-only] [--folder DIR]\n"
                             "                  [--size WxH] [--scene FILE...] [--only-scenes] [--no-literal] [--overdraw]\n"
                             "       scenebench [same options] --single CASE\n");
        return 2;
    }
    // Every file must load: a misspelt name would be measured as an empty scene.
    for (const std::string& path : o.scenes)
        if (std::FILE* file = std::fopen(path.c_str(), "rb"))
            std::fclose(file);
        else {
            std::fprintf(stderr, "scenebench: cannot read scene '%s'\n", path.c_str());
            return 2;
        }
    if (o.single) {
        single(o);
        return 0;
    }
    std::printf("scenebench: seed %u, %d runs per median, %u hardware threads\n\n", o.seed, o.runs,
                std::thread::hardware_concurrency());
    if (o.render)
        renders(o);
    if (o.files && o.builtins)
        io(o.seed, std::max(1, o.runs / 2), o.literalio, o.folder);
    return 0;
}
