// libFuzzer target: any bytes as a scene file.
//
// ReadScene must neither crash nor leak nor allocate beyond what the input
// backs, and what it loads must survive save, load, save with identical bytes.
// Built and run by run_fuzzer.sh.
#include "render/camera.h"
#include "scenefile/diagnostics.h"
#include "scenefile/scenefile.h"
#include "scenetest.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = TestPath("input.item");
    static const std::string first = TestPath("first.item");
    static const std::string second = TestPath("second.item");
    WriteBytes(input, std::string(reinterpret_cast<const char*>(data), size));

    StartView();
    std::vector<std::string> messages;
    SceneMessages = &messages;
    SceneList* list = ReadScene(input.c_str());
    SceneMessages = nullptr;

    SceneList* again = SaveLoadSave(list, first, second);
    if (!again)
        std::abort();
    if (RoundTrips(list) && ReadBytes(first) != ReadBytes(second)) {
        std::fprintf(stderr, "save, load, save changed the file\n");
        std::abort();
    }
    ReleaseScene(again, first.c_str());
    ReleaseScene(list, input.c_str());
    return 0;
}
