// Every file of the fuzz corpus, read on every test run: none may crash or
// leak, and whatever it loads to must survive a save and a load unchanged.
#include "scenefixture.h"

#include <algorithm>
#include <filesystem>

TEST_F(SceneFileTest, EveryCorpusFileLoadsAndItsSceneRoundTrips)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(SCENEFILE_CORPUS))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);
    const std::string first = TestPath("corpus1.item");
    const std::string second = TestPath("corpus2.item");
    for (const auto& file : files) {
        SceneList* list = read(file.string());
        SceneList* again = SaveLoadSave(list, first, second);
        ASSERT_NE(again, nullptr) << file;
        if (RoundTrips(list)) {
            EXPECT_TRUE(ReadBytes(first) == ReadBytes(second)) << file;
        }
        // Give the registry slots back as we go: the corpus may grow large.
        ReleaseScene(again, first.c_str());
        ReleaseScene(list, file.string().c_str());
        loaded.pop_back();
    }
}
