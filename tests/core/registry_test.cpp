#include "core/registry.h"

#include <gtest/gtest.h>

namespace {

// The registry is process-wide: every test starts and leaves it empty.
struct RegistryTest : ::testing::Test {
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        number_of_scenes = 0;
        chosen_scene = 0;
        ActualScene = nullptr;
    }
};

}  // namespace

TEST_F(RegistryTest, QuotedPathLosesItsQuotesAndShortNameFollowsTheLastBackslash)
{
    SceneList* list = initlist();
    ASSERT_TRUE(AddScene(list, "\"C:\\scenes\\a.txt\""));
    EXPECT_EQ(number_of_scenes, 1);
    EXPECT_EQ(chosen_scene, 0);
    EXPECT_EQ(ListScene[0], list);
    EXPECT_STREQ(SceneName[0], "C:\\scenes\\a.txt");
    EXPECT_STREQ(SceneShort[0], "a.txt");

    NameScene(0, "plain.item");
    EXPECT_STREQ(SceneName[0], "plain.item");
    EXPECT_STREQ(SceneShort[0], "plain.item");

    NameScene(0, "dir/sub/b.item");  // a slash does not separate folders
    EXPECT_STREQ(SceneShort[0], "dir/sub/b.item");

    NameScene(0, "\"only-leading");
    EXPECT_STREQ(SceneName[0], "only-leading");
    NameScene(0, "\"");
    EXPECT_STREQ(SceneName[0], "");
}

TEST_F(RegistryTest, SceneWithoutFileHasNoNames)
{
    ASSERT_TRUE(AddScene(initlist(), nullptr));
    EXPECT_EQ(SceneName[0], nullptr);
    EXPECT_EQ(SceneShort[0], nullptr);
}

TEST_F(RegistryTest, FullRegistryRefusesWithoutTouchingAnything)
{
    SceneList* lists[MaxScenes];
    for (int i = 0; i < MaxScenes; i++) {
        lists[i] = initlist();
        ASSERT_TRUE(AddScene(lists[i], nullptr));
        EXPECT_EQ(chosen_scene, i);
    }
    ChooseScene(5);
    EXPECT_EQ(ActualScene, lists[5]);
    EXPECT_FALSE(AddScene(initlist(), "extra.item"));
    EXPECT_EQ(number_of_scenes, MaxScenes);
    EXPECT_EQ(chosen_scene, 5);
    EXPECT_EQ(ListScene[MaxScenes - 1], lists[MaxScenes - 1]);
}
