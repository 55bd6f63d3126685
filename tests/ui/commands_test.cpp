// The menu commands: scenes, the file choosers, the chooser's list and the dialog slots.
#include "tests/ui/shellfixture.h"

#include <cstring>

TEST_F(ShellTest, NewSceneAddsAnUnnamedCurrentSceneAndKeepsTheView)
{
    SceneList* first = ActualScene;
    keydown('1');
    keydown(VK_LEFT);
    const Matrix frame = ActualCam.frame;
    markpicture();

    command(CmdNewScene);
    EXPECT_EQ(number_of_scenes, 2);
    EXPECT_EQ(chosen_scene, 1);
    EXPECT_EQ(ListScene[0], first);
    EXPECT_EQ(ListScene[1], ActualScene);
    EXPECT_NE(ActualScene, first);
    EXPECT_EQ(SceneName[1], nullptr);
    EXPECT_EQ(std::memcmp(&frame, &ActualCam.frame, sizeof(Matrix)), 0);
    EXPECT_FLOAT_EQ(Chosengrade, 1.0f);
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(filedialogs.empty());
}

TEST_F(ShellTest, UnknownCommandOnlyRedraws)
{
    // A gap in the File menu, the icon's id, and none at all.
    for (int id : {116, 200, 0}) {
        markpicture();
        command(id);
        EXPECT_TRUE(redrawn()) << id;
    }
    EXPECT_EQ(number_of_scenes, 1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(filedialogs.empty());
}

TEST_F(ShellTest, LoadAsksForAFileAndAddsItsScene)
{
    const std::string path = temppath("load.item");
    writefile(path, "PNT p 1 2 3\n");

    // Cancelled: nothing changes, nothing is drawn.
    markpicture();
    command(CmdLoadScene);
    ASSERT_EQ(filedialogs.size(), 1u);
    EXPECT_FALSE(filedialogs[0].save);
    EXPECT_EQ(filedialogs[0].size, 1024u);
    EXPECT_EQ(number_of_scenes, 1);
    EXPECT_FALSE(redrawn());

    // The same file twice gives two scenes of the same name.
    fileanswer = path;
    command(CmdLoadScene);
    command(CmdLoadScene);
    EXPECT_EQ(number_of_scenes, 3);
    EXPECT_EQ(chosen_scene, 2);
    EXPECT_EQ(ListScene[2], ActualScene);
    EXPECT_STREQ(SceneShort[1], "load.item");
    EXPECT_STREQ(SceneShort[2], "load.item");
    EXPECT_TRUE(redrawn());
}

TEST_F(ShellTest, NewAndLoadEndTheEditingDialogsButNotTheChooser)
{
    for (int id : {CmdNewScene, CmdLoadScene}) {
        const HWND chooser = fakechooser();
        const HWND points = fakedialog(SlotPoints);
        const HWND light = fakedialog(SlotLight);
        fileanswer = temppath("missing.item");
        command(id);
        EXPECT_EQ(GDlgs[SlotChooser], chooser);
        EXPECT_TRUE(IsWindow(chooser));
        EXPECT_EQ(GDlgs[SlotPoints], nullptr);
        EXPECT_EQ(GDlgs[SlotLight], nullptr);
        EXPECT_FALSE(IsWindow(points) && IsWindowVisible(points));
        EXPECT_FALSE(IsWindow(light) && IsWindowVisible(light));
        DestroyWindow(chooser);
        GDlgs[SlotChooser] = nullptr;
    }

    // A cancelled load ends nothing.
    const HWND points = fakedialog(SlotPoints);
    fileanswer.clear();
    command(CmdLoadScene);
    EXPECT_EQ(GDlgs[SlotPoints], points);
}

TEST_F(ShellTest, FullRegistryRefusesNewAndLoadBeforeAnythingChanges)
{
    const HWND points = fakedialog(SlotPoints);
    const int16_t held = number_of_scenes;
    number_of_scenes = MaxScenes;
    SceneList* current = ActualScene;
    fileanswer = temppath("missing.item");
    for (int id : {CmdNewScene, CmdLoadScene}) {
        boxes.clear();
        command(id);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "No more scenes can be held.");
        EXPECT_EQ(boxes[0].caption, "WARNING");
        EXPECT_EQ(boxes[0].buttons, BoxOk);
    }
    EXPECT_TRUE(filedialogs.empty());
    EXPECT_EQ(number_of_scenes, MaxScenes);
    EXPECT_EQ(ActualScene, current);
    EXPECT_EQ(GDlgs[SlotPoints], points);
    number_of_scenes = held;
}

TEST_F(ShellTest, SaveAsksOnlyForASceneWithoutFile)
{
    const std::string path = temppath("saved.item");
    DeleteFileA(path.c_str());

    // Cancelled: still unnamed.
    command(CmdSaveScene);
    ASSERT_EQ(filedialogs.size(), 1u);
    EXPECT_TRUE(filedialogs[0].save);
    EXPECT_EQ(SceneName[0], nullptr);

    fileanswer = path;
    markpicture();
    command(CmdSaveScene);
    EXPECT_EQ(filedialogs.size(), 2u);
    EXPECT_STREQ(SceneShort[0], "saved.item");
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(redrawn());

    // Named now: saved in place without asking.
    DeleteFileA(path.c_str());
    command(CmdSaveScene);
    EXPECT_EQ(filedialogs.size(), 2u);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    // "Save scene as" always asks.
    const std::string other = temppath("other.item");
    fileanswer = other;
    command(CmdSaveSceneAs);
    EXPECT_EQ(filedialogs.size(), 3u);
    EXPECT_STREQ(SceneShort[0], "other.item");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShellTest, FailedSaveWarnsAndKeepsTheName)
{
    fileanswer = temppath("kept.item");
    command(CmdSaveSceneAs);
    ASSERT_STREQ(SceneShort[0], "kept.item");

    fileanswer = temppath("no such folder\\lost.item");
    command(CmdSaveSceneAs);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Scene could not be saved.");
    EXPECT_EQ(boxes[0].caption, "WARNING");
    EXPECT_EQ(boxes[0].buttons, BoxOk);
    EXPECT_STREQ(SceneShort[0], "kept.item");
}

TEST_F(ShellTest, ChooserListFollowsNewLoadAndSave)
{
    const std::string path = temppath("listed.item");
    writefile(path, "");
    const HWND chooser = fakechooser();
    command(CmdNewScene);
    fileanswer = path;
    command(CmdLoadScene);
    command(CmdNewScene);
    EXPECT_EQ(listlines(chooser),
              (std::vector<std::string>{"(unnamed)", "(unnamed)", "listed.item", "(unnamed)"}));

    // Saving scene 3 replaces its own line and keeps the order.
    fileanswer = temppath("b.item");
    command(CmdSaveScene);
    EXPECT_EQ(listlines(chooser),
              (std::vector<std::string>{"(unnamed)", "(unnamed)", "listed.item", "b.item"}));

    // A failed save of a named scene leaves its line.
    fileanswer = temppath("no such folder\\c.item");
    command(CmdSaveSceneAs);
    EXPECT_EQ(listlines(chooser).back(), "b.item");
}

TEST_F(ShellTest, DialogCommandOpensOneDialogPerSlot)
{
    struct Entry {
        int command, slot, resource;
    };
    const Entry table[] = {
        {CmdChooseScene, SlotChooser, DialogChooser}, {CmdPoints, SlotPoints, DialogPoints},
        {CmdVectors, SlotVectors, DialogVectors},     {CmdColors, SlotColors, DialogColors},
        {CmdSpheres, SlotSpheres, DialogSpheres},     {CmdPolygons, SlotPolygons, DialogPolygons},
        {CmdCamera, SlotCamera, DialogCamera},        {CmdLight, SlotLight, DialogLight}};
    for (const Entry& entry : table) {
        markpicture();
        command(entry.command);
        EXPECT_FALSE(redrawn());
        if (!FindResourceA(nullptr, MAKEINTRESOURCEA(entry.resource), MAKEINTRESOURCEA(5))) {
            // Without its template the dialog cannot open; the next command tries again.
            EXPECT_EQ(GDlgs[entry.slot], nullptr);
            continue;
        }
        const HWND dialog = GDlgs[entry.slot];
        ASSERT_NE(dialog, nullptr) << entry.resource;
        ShowWindow(dialog, SW_HIDE);
        command(entry.command);
        EXPECT_EQ(GDlgs[entry.slot], dialog);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetParent(dialog) == hWindow || GetWindow(dialog, GW_OWNER) == hWindow, true);
    }
    for (int slot = 6; slot < 18; ++slot)
        EXPECT_EQ(GDlgs[slot], nullptr);
}
