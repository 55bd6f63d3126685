// render_bench - time of one render (ClearImage, PrepareScene, RenderScene) of
// each sample scene, loaded once as the editor loads it at start-up.
//
//   render_bench [--size=WxH] [benchmark options]     (default size 640x480)
#include "core/registry.h"
#include "render/camera.h"
#include "render/display_headless.h"
#include "render/image.h"
#include "render/render.h"
#include "scenefile/scenefile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Loaded {
    SceneList* scene;
    Camera cam;
    Light light;
};

Loaded load(const std::string& path)
{
    ActualCam = DefaultCam();
    ActualCam.flags |= CamCentral | CamClip;
    ActualLight = Camlight(ActualCam, LightDirected);
    Loaded loaded;
    loaded.scene = ReadScene(path.c_str());
    loaded.cam = ActualCam;
    loaded.light = ActualLight;
    return loaded;
}

void render(benchmark::State& state, Loaded loaded, HeadlessWindow* window)
{
    ActualCam = loaded.cam;
    ActualLight = loaded.light;
    ActualScene = loaded.scene;
    FormatImage(&ActualImage, window);
    for (auto _ : state) {
        ClearImage(&ActualImage);
        PrepareScene();
        RenderScene(ActualScene);
        benchmark::DoNotOptimize(ActualImage.pixels[0]);
    }
    state.counters["pixels/s"] = benchmark::Counter(
        double(ActualImage.width) * ActualImage.height, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

int main(int argc, char** argv)
{
    static HeadlessWindow window = {640, 480, {}, 0};
    for (int i = 1; i < argc; i++)
        if (std::strncmp(argv[i], "--size=", 7) == 0)
            std::sscanf(argv[i] + 7, "%dx%d", &window.width, &window.height);
    for (const char* name : {"still_life", "room", "drawing", "lamp", "terrain", "chess"}) {
        const Loaded loaded = load(std::string(EXAMPLES_DIR "/") + name + ".item");
        benchmark::RegisterBenchmark(name, render, loaded, &window)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
