// The camera, light and scene-chooser dialogs.
#include "tests/ui/dialogfixture.h"

namespace {

// -------------------------------------------------------------- camera, light

TEST_F(DialogTest, CameraStoreThenUseRoundTrips)
{
    const HWND dlg = open(CmdCamera, SlotCamera);
    EXPECT_TRUE(checked(dlg, 13132)) << "start-up view is central";
    const int before = entries();
    const Camera stored = ActualCam;
    markpicture();
    click(dlg, 1312);
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(entries(), before + 4);
    ListBlock* block = ActualScene;
    const Lines names = {block->names[before], block->names[before + 1], block->names[before + 2],
                         block->names[before + 3]};
    EXPECT_EQ(names, Lines({"cam_position", "cam_front", "cam_lower", "cam_right"}));
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "cam_position")), 0, 0, -1000);
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagVector, "cam_lower")), 0, 1000, 0);

    keydown(VK_LEFT);
    EXPECT_NE(position().x, 0.0f);
    click(dlg, 1311);
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(std::memcmp(ActualCam.frame.m, stored.frame.m, sizeof stored.frame.m), 0);

    // Stored again: overwritten in place.
    keydown(VK_LEFT);
    click(dlg, 1312);
    EXPECT_EQ(entries(), before + 4);
    EXPECT_EQ(static_cast<Vector*>(searchlist(ActualScene, TagPoint, "cam_position"))->x, position().x);
}

TEST_F(DialogTest, CameraUseWithMissingObjectsWarnsButCopiesWhatItFinds)
{
    addpoint("cam_position", 5, 6, 7);
    const HWND dlg = open(CmdCamera, SlotCamera);
    const Vector oldfront = front();
    markpicture();
    click(dlg, 1311);
    EXPECT_EQ(warnings(), Lines({"The default position of the camera is not defined."}));
    EXPECT_TRUE(redrawn());
    expectvector(position(), 5, 6, 7);
    expectvector(front(), oldfront.x, oldfront.y, oldfront.z);
}

TEST_F(DialogTest, CameraViewButtons)
{
    const HWND dlg = open(CmdCamera, SlotCamera);
    markpicture();
    click(dlg, 13131);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualCam.flags, CamClip) << "clipping stays";
    EXPECT_TRUE(checked(dlg, 13131));
    EXPECT_FALSE(checked(dlg, 13132));
    ActualCam.flags = 0;
    click(dlg, 13132);
    EXPECT_EQ(ActualCam.flags, CamCentral | CamClip);
    EXPECT_TRUE(checked(dlg, 13132));
    EXPECT_FALSE(checked(dlg, 13131));

    click(dlg, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotCamera], nullptr);
    ActualCam.flags = CamClip;
    EXPECT_TRUE(checked(open(CmdCamera, SlotCamera), 13131));
}

TEST_F(DialogTest, LightDialogShowsUndefinedAndAddsNothingUntilTyped)
{
    const int before = entries();
    const HWND dlg = open(CmdLight, SlotLight);
    EXPECT_EQ(text(dlg, 1323), "undefined");
    EXPECT_EQ(text(dlg, 1324), "undefined");
    EXPECT_TRUE(checked(dlg, 1322)) << "start-up light is directed";
    EXPECT_FALSE(checked(dlg, 1325));
    EXPECT_EQ(entries(), before);

    markpicture();
    settext(dlg, 1323, "5");
    EXPECT_TRUE(redrawn());
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "light_position")), 5, 0, 0);
    settext(dlg, 1323, "5 6 7");
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "light_position")), 5, 6, 7);

    settext(dlg, 1324, "0 0 0");
    const Vector* direction = static_cast<Vector*>(searchlist(ActualScene, TagVector, "light_direction"));
    ASSERT_NE(direction, nullptr);
    expectvector(*direction, 0, 0, -1);
    EXPECT_EQ(text(dlg, 1324), "0 0 0");
    settext(dlg, 1324, "1e-30 0 0");
    expectvector(*direction, 1e-30f, 0, 0);
    EXPECT_EQ(entries(), before + 2);

    // Opened again, the fields show the objects.
    click(dlg, IDCANCEL);
    const HWND again = open(CmdLight, SlotLight);
    EXPECT_EQ(text(again, 1323), "5 6 7");
    EXPECT_EQ(text(again, 1324), "1e-30 0 0");
    EXPECT_EQ(entries(), before + 2);
}

// A number that is no finite float would blank the picture: every field of reals
// refuses it with a warning naming the field, and nothing changes.
TEST_F(DialogTest, NumbersThatAreNotFiniteFloatsAreRefusedInEveryField)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    Vector* position = addpoint("light_position", 1, 2, 3);
    Vector* direction = addpoint("light_direction", 0, 0, -1, TagVector);
    const Vector* camposition = addpoint("cam_position", 0, 0, -1000);
    struct Field {
        int cmd, slot, field, use;  // use 0: the field acts on every change
        const char* label;
        const Vector* kept;
    } const fields[] = {
        {CmdPoints, SlotPoints, 1213, IDOK, "Position", camposition},
        {CmdVectors, SlotVectors, 1223, IDOK, "Components", nullptr},
        {CmdSpheres, SlotSpheres, 1245, IDOK, "Radius", nullptr},
        {CmdLight, SlotLight, 1323, 0, "Position", position},
        {CmdLight, SlotLight, 1324, 0, "Direction", direction},
    };
    for (const Field& f : fields) {
        const int before = entries();
        const HWND dlg = open(f.cmd, f.slot);
        settext(dlg, 1212, "cam_position");
        settext(dlg, 1222, "newvector");
        settext(dlg, 1242, "newsphere");
        settext(dlg, 1244, "o");
        settext(dlg, 1246, "red");
        const Vector was = f.kept ? *f.kept : nullv();
        for (const char* number : {"nan 0 1", "1e39 0 1", "-inf 0 0", "inf", "0 0 -1e39"}) {
            if (f.field == 1245 && number[0] == '0')
                continue;  // the radius is the first number only
            markpicture();
            settext(dlg, f.field, number);
            if (f.use)
                click(dlg, f.use);
            EXPECT_EQ(warnings(),
                      Lines({std::string(f.label) +
                             ": numbers must be finite (no nan or inf, nothing beyond 3.4e38)."}))
                << f.label << ": " << number;
            EXPECT_FALSE(redrawn()) << f.label << ": " << number;
            if (f.kept)
                expectvector(*f.kept, was.x, was.y, was.z);
        }
        EXPECT_EQ(entries(), before) << f.label << ": nothing was made";
        // The largest float and the smallest are numbers like any other.
        settext(dlg, f.field, "3.4e38 -1e-45 0");
        if (f.use)
            click(dlg, f.use);
        EXPECT_TRUE(warnings().empty()) << f.label;
        click(dlg, IDCANCEL);
    }

    // "Use default cam" then finds the camera whole, and the picture is drawn.
    addpoint("cam_front", 0, 0, 1000, TagVector);
    addpoint("cam_lower", 0, 1000, 0, TagVector);
    addpoint("cam_right", 1000, 0, 0, TagVector);
    *static_cast<Vector*>(searchlist(ActualScene, TagPoint, "cam_position")) = newv(0, 0, -1000);
    settext(open(CmdSpheres, SlotSpheres), 1245, "300");
    const HWND sphere = GDlgs[SlotSpheres];
    settext(sphere, 1242, "ball");
    settext(sphere, 1244, "o");
    settext(sphere, 1246, "red");
    click(sphere, IDOK);
    const HWND points = open(CmdPoints, SlotPoints);
    settext(points, 1212, "cam_position");
    settext(points, 1213, "inf 0 0");
    click(points, IDOK);
    click(open(CmdCamera, SlotCamera), 1311);
    EXPECT_EQ(warnings(),
              Lines({"Position: numbers must be finite (no nan or inf, nothing beyond 3.4e38)."}));
    EXPECT_NE(litpixels(), 0u);
}

TEST_F(DialogTest, LightKindAndBinding)
{
    const HWND dlg = open(CmdLight, SlotLight);
    click(dlg, 1321);
    EXPECT_EQ(ActualLight.flags & LightDirected, 0);
    EXPECT_TRUE(checked(dlg, 1321));
    EXPECT_FALSE(checked(dlg, 1322));
    click(dlg, 1322);
    EXPECT_EQ(ActualLight.flags & LightDirected, LightDirected);
    EXPECT_TRUE(checked(dlg, 1322));

    markpicture();
    click(dlg, 1325);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualLight.flags & LightBound, LightBound);
    EXPECT_TRUE(checked(dlg, 1325));
    markpicture();
    click(dlg, 1325);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualLight.flags & LightBound, 0);
    EXPECT_FALSE(checked(dlg, 1325));
}

// -------------------------------------------------------------------- chooser

TEST_F(DialogTest, ChooserListsScenesAndSwitchesWithTheirCamera)
{
    // The scene of SetUp, a named one with all camera objects, one with only cam_front.
    const int first = chosen_scene;
    SceneList* named = initlist();
    ASSERT_TRUE(AddScene(named, "C:\\scenes\\a.txt"));
    ActualScene = named;
    addpoint("cam_position", 1, 2, 3);
    addpoint("cam_front", 0, 0, 500, TagVector);
    addpoint("cam_lower", 0, 400, 0, TagVector);
    addpoint("cam_right", 300, 0, 0, TagVector);
    SceneList* frontonly = initlist();
    ASSERT_TRUE(AddScene(frontonly, "b.txt"));
    ActualScene = frontonly;
    addpoint("cam_front", 0, 0, 10, TagVector);
    ChooseScene(first);

    const HWND chooser = open(CmdChooseScene, SlotChooser);
    const Lines shown = lines(chooser, 1121);
    ASSERT_EQ(int(shown.size()), number_of_scenes);
    EXPECT_EQ(Lines(shown.end() - 3, shown.end()), Lines({"(unnamed)", "a.txt", "b.txt"}));
    EXPECT_EQ(selection(chooser, 1121), LB_ERR);

    // The current scene: nothing at all.
    const HWND points = open(CmdPoints, SlotPoints);
    markpicture();
    select(chooser, 1121, first);
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(GDlgs[SlotPoints], points);

    open(CmdPolygons, SlotPolygons);
    select(chooser, 1121, first + 1);
    EXPECT_EQ(chosen_scene, first + 1);
    EXPECT_EQ(ActualScene, named);
    EXPECT_EQ(GDlgs[SlotPoints], nullptr);
    EXPECT_EQ(GDlgs[SlotPolygons], nullptr);
    EXPECT_EQ(GDlgs[SlotChooser], chooser);
    EXPECT_TRUE(IsWindowVisible(chooser));
    expectvector(position(), 1, 2, 3);
    expectvector(front(), 0, 0, 500);
    expectvector(lower(), 0, 400, 0);
    expectvector(right(), 300, 0, 0);

    const uint8_t flags = ActualCam.flags;
    select(chooser, 1121, first + 2);
    expectvector(front(), 0, 0, 10);
    expectvector(position(), 1, 2, 3);
    EXPECT_EQ(ActualCam.flags, flags);

    // No selection: nothing.
    select(chooser, 1121, -1);
    EXPECT_EQ(chosen_scene, first + 2);
    EXPECT_TRUE(warnings().empty());

    click(chooser, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotChooser], nullptr);
}

}  // namespace
