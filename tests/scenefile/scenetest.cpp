#include "scenetest.h"

#include "core/listindex.h"
#include "core/registry.h"
#include "render/camera.h"
#include "scenefile/scenefile.h"
#include "scenefile/tokenizer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

struct TestFolder {
    fs::path path;
    TestFolder()
    {
        std::random_device random;
        path = fs::temp_directory_path() / ("scenefile-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

const char* const ExampleScene =
    "CAM CX\n"
    "LGT IF\n"
    "PNT p1 0 0 0\n"
    "PNT p2 100 0 0\n"
    "PNT p3 0 100 0\n"
    "PAT red RGB 255 0 0 AMB 33 33 33\n"
    "PAT blue RGB 0 0 255 AMB 33 33 33 BCK red\n"
    "SPH ball p1 50 red\n"
    "POL tri 3 p1 p2 p3 blue\n";

std::string TestPath(const std::string& name)
{
    static TestFolder folder;
    return (folder.path / name).string();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::path(path), ignored);
}

std::string Lines(const std::string& text)
{
#ifdef _WIN32
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
#else
    return text;
#endif
}

void ReleaseScene(SceneList* list, const char* path)
{
    const int last = number_of_scenes - 1;
    if (last >= 0 && ListScene[last] == list) {
        // The registry's copy starts one byte earlier when the path was quoted.
        if (SceneName[last])
            std::free(SceneName[last] - (path && path[0] == '"' ? 1 : 0));
        ListScene[last] = nullptr;
        SceneName[last] = nullptr;
        SceneShort[last] = nullptr;
        number_of_scenes = int16_t(last);
        chosen_scene = int16_t(last > 0 ? last - 1 : 0);
    }
    std::set<ColorCell*> cells;  // shared after FRT: free each once
    dropindex(list);
    ListBlock* block = list;
    while (block) {
        for (int i = 0; i < block->count; i++) {
            void* object = block->objects[i];
            if (block->tags[i] == TagPolygon)
                std::free(static_cast<PolygonObject*>(object)->corners);
            if (block->tags[i] == TagPattern)
                cells.insert(static_cast<Pattern*>(object)->color);
            if (block->tags[i] != TagDeleted)
                std::free(object);
            std::free(block->names[i]);
        }
        ListBlock* next = block->next;
        std::free(block);
        block = next;
    }
    for (ColorCell* cell : cells)
        std::free(cell);
}

const char* SaveOver(const char* path, SceneList* list)
{
    const int scene = chosen_scene;
    char* old = scene < number_of_scenes ? SceneName[scene] : nullptr;
    const char* result = SaveScene(path, list);
    // Tests never name their scenes with quoted paths, so the old copy starts at the name.
    if (result && old && SceneName[scene] != old)
        std::free(old);
    return result;
}

bool RoundTrips(SceneList* list)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (block->names[i] && std::strlen(block->names[i]) >= size_t(NameWordLimit))
                return false;
    return true;
}

SceneList* SaveLoadSave(SceneList* list, const std::string& first, const std::string& second)
{
    const uint8_t cam = ActualCam.flags;
    const uint8_t light = ActualLight.flags;
    if (!SaveOver(first.c_str(), list))
        return nullptr;
    SceneList* again = ReadScene(first.c_str());
    // A central view without clipping is written "CF", which reads as central
    // with clipping by the rules of the CAM letters; the letters are tested on
    // their own, the scene is compared here.
    ActualCam.flags = cam;
    ActualLight.flags = light;
    if (!SaveOver(second.c_str(), again)) {
        ReleaseScene(again, first.c_str());
        return nullptr;
    }
    return again;
}
