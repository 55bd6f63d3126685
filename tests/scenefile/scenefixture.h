// scenefixture.h - a test fixture that loads scene texts and cleans up after itself.
//
// Each test starts from the start-up camera (central view with clipping) and
// directed light, collects the loader's messages, and gives back every scene
// it read and the camera and light it found.
#pragma once

#include "core/registry.h"
#include "render/camera.h"
#include "scenefile/diagnostics.h"
#include "scenefile/scenefile.h"
#include "scenetest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

class SceneFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedcam = ActualCam;
        savedlight = ActualLight;
        StartView();
        SceneMessages = &messages;
    }

    void TearDown() override
    {
        SceneMessages = nullptr;
        for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
            ReleaseScene(it->first, it->second.c_str());
        ActualCam = savedcam;
        ActualLight = savedlight;
    }

    // Reads a file (path as given to ReadScene); released at the end of the test.
    SceneList* read(const std::string& path)
    {
        SceneList* list = ReadScene(path.c_str());
        loaded.emplace_back(list, path);
        return list;
    }

    // Writes the bytes to a fresh file and reads it.
    SceneList* load(const std::string& bytes)
    {
        const std::string path = TestPath("load" + std::to_string(loaded.size()) + ".item");
        WriteBytes(path, bytes);
        return read(path);
    }

    std::vector<std::string> messages;
    std::vector<std::pair<SceneList*, std::string>> loaded;
    Camera savedcam;
    Light savedlight;
};

// Every entry as "TAG name" in list order (TAG the keyword, or NOP when deleted).
std::vector<std::string> Entries(SceneList* list);
