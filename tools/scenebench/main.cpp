// scenebench - how long pictures, loading and saving take: the literal renderer
// against the fast one, plain list walks against the index.
//
//   scenebench [--runs N] [--seed N] [--quick] [--io-only] [--render-only] [--folder DIR]
//   scenebench --single N      render case N (1 to 5) once with each pass, on one thread: for
//                              valgrind --tool=callgrind, whose counts do not depend on the load
//
// Every scene is generated from the seed (scenes.h), so two runs measure the
// same work. Each render case is timed as the render pass alone (after
// ClearImage and PrepareScene) and reported as the median of N runs, with the
// ratios; the fast pass is also checked to give the literal picture. --quick
// takes 3 runs and leaves out the slow plain-walk loading and saving. The
// results are printed as Markdown tables.
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
    const char* name;
    SceneList* scene;
    bool central;
    int width, height;
};

HeadlessWindow Window = {};

void setview(const RenderCase& c)
{
    Window.width = c.width;
    Window.height = c.height;
    FormatImage(&ActualImage, &Window);
    // The editor's start-up camera; the scenes hold a point light of their own.
    ActualCam = DefaultCam();
    ActualCam.flags = c.central ? CamCentral | CamClip : CamClip;
    ActualLight = Camlight(ActualCam, 0);
    ActualScene = c.scene;
}

// Median milliseconds of the render pass alone (after ClearImage and
// PrepareScene): the literal pass, then the fast one on 1 and on 2 threads.
// The runs of the three are interleaved, so that a slower spell of a shared
// machine falls on all of them alike.
struct RenderTimes {
    double literal, one, two;
};

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

RenderTimes timerender(const RenderCase& c, int runs)
{
    std::vector<double> literal, one, two;
    timeonce(c, true, 2);  // warms the caches and starts the helper thread
    for (int i = 0; i < runs; i++) {
        if (i % 2 == 0)  // the literal pass is slow: every other run is enough
            literal.push_back(timeonce(c, false, 1));
        one.push_back(timeonce(c, true, 1));
        two.push_back(timeonce(c, true, 2));
    }
    return RenderTimes{median(literal), median(one), median(two)};
}

// Median milliseconds of the whole redraw: ClearImage, PrepareScene, render;
// 1 and 2 threads interleaved.
struct RedrawTimes {
    double one, two;
};

RedrawTimes timeredraw(const RenderCase& c, int runs)
{
    std::vector<double> times[2];
    for (int i = 0; i < 2 * runs; i++) {
        RenderThreads = 1 + i % 2;
        const Clock::time_point start = Clock::now();
        ClearImage(&ActualImage);
        PrepareScene();
        RenderScene(c.scene);
        times[i % 2].push_back(since(start));
    }
    return RedrawTimes{median(times[0]), median(times[1])};
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
                Sphere(*s->center, s->radius, *s->pattern);
            } else {
                const PolygonObject* p = static_cast<const PolygonObject*>(block->objects[i]);
                Porygon(p->corners, p->count, *p->pattern);
            }
            for (size_t k = 0; k < n; k++)
                covered += ActualImage.depth[k] < std::numeric_limits<float>::infinity();
        }
    return double(covered) / double(n);
}

bool samepicture(const RenderCase& c)
{
    const size_t n = size_t(c.width) * size_t(c.height);
    ClearImage(&ActualImage);
    PrepareScene();
    RenderSceneLiteral(c.scene);
    const std::vector<uint8_t> pixels(ActualImage.pixels, ActualImage.pixels + 4 * n);
    const std::vector<float> depth(ActualImage.depth, ActualImage.depth + n);
    ClearImage(&ActualImage);
    RenderScene(c.scene);
    return std::memcmp(pixels.data(), ActualImage.pixels, 4 * n) == 0 &&
           std::memcmp(depth.data(), ActualImage.depth, n * sizeof(float)) == 0;
}

constexpr int CaseCount = 5;

void makecases(uint32_t seed, RenderCase cases[CaseCount])
{
    SceneList* spheres = SphereScene(seed, 1000);
    SceneList* polygons = PolygonScene(seed + 1, 2000);
    SceneList* mixed = MixedScene(seed + 2, 500, 1000);
    cases[0] = {"1000 spheres, central, 1920x1080", spheres, true, 1920, 1080};
    cases[1] = {"1000 spheres, parallel, 1920x1080", spheres, false, 1920, 1080};
    cases[2] = {"2000 polygons with ground, central, 1920x1080", polygons, true, 1920, 1080};
    cases[3] = {"mixed 500 spheres + 1000 polygons, 1920x1080", mixed, true, 1920, 1080};
    cases[4] = {"mixed 500 spheres + 1000 polygons, 640x480", mixed, true, 640, 480};
}

void single(uint32_t seed, int n)
{
    RenderCase cases[CaseCount];
    makecases(seed, cases);
    const RenderCase& c = cases[n - 1];
    setview(c);
    std::printf("%s: literal pass, then fast pass on one thread\n", c.name);
    timeonce(c, false, 1);
    timeonce(c, true, 1);
}

void renders(uint32_t seed, int runs)
{
    RenderCase cases[CaseCount];
    makecases(seed, cases);
    SceneList* mixed = cases[3].scene;
    std::printf("| case | literal ms | fast 1 thread ms | fast 2 threads ms | literal / fast 1 | fast 1 / fast 2 | same picture |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---|\n");
    std::vector<std::string> redraws;
    for (const RenderCase& c : cases) {
        setview(c);
        const bool same = samepicture(c);
        const RenderTimes t = timerender(c, runs);
        std::printf("| %s | %.1f | %.2f | %.2f | %.1fx | %.2fx | %s |\n", c.name, t.literal, t.one, t.two,
                    t.literal / t.one, t.one / t.two, same ? "yes" : "NO");
        std::fflush(stdout);
        if (c.scene == mixed) {
            char line[200];
            const RedrawTimes r = timeredraw(c, runs);
            std::snprintf(line, sizeof line, "| %s | %.2f | %.2f | %.2f |\n", c.name, r.one, r.two, overdraw(c));
            redraws.push_back(line);
        }
    }
    std::printf("\nWhole redraw of the mixed scene (ClearImage + PrepareScene + fast render pass), median ms:\n\n");
    std::printf("| case | 1 thread | 2 threads | mean surfaces per pixel |\n|---|---:|---:|---:|\n");
    for (const std::string& line : redraws)
        std::printf("%s", line.c_str());
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
    int runs = 11;
    uint32_t seed = 7;
    bool literalio = true, render = true, files = true;
    int one = 0;
    std::string folder = ".";
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--seed" && i + 1 < argc)
            seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--quick")
            runs = 3, literalio = false;
        else if (arg == "--io-only")
            render = false;
        else if (arg == "--render-only")
            files = false;
        else if (arg == "--folder" && i + 1 < argc)
            folder = argv[++i];
        else if (arg == "--single" && i + 1 < argc && std::atoi(argv[i + 1]) >= 1 && std::atoi(argv[i + 1]) <= CaseCount)
            one = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: scenebench [--runs N] [--seed N] [--quick] [--io-only] [--render-only] [--folder DIR]\n"
                                 "       scenebench [--seed N] --single CASE   (CASE 1 to %d)\n", CaseCount);
            return 2;
        }
    }
    if (one) {
        single(seed, one);
        return 0;
    }
    std::printf("scenebench: seed %u, %d runs per median, %u hardware threads\n\n", seed, runs,
                std::thread::hardware_concurrency());
    if (render)
        renders(seed, runs);
    if (files)
        io(seed, std::max(1, runs / 2), literalio, folder);
    return 0;
}
