// The camera, light and scene-chooser dialogs.
#include "tests/ui/dialogfixture.h"

namespace {

// -------------------------------------------------------------- camera, light

TEST_F(DialogTest, CameraStoreThenUseRoundTrips)
{
    const HWND dlg = open(CmdCamera, SlotCamera);
    EXPECT_TRUE(checked(dlg, CamCentralView)) << "start-up view is central";
    const int before = entries();
    const Camera stored = ActualCam;
    markpicture();
    click(dlg, CamStore);
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
    click(dlg, CamUse);
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(std::memcmp(ActualCam.frame.m, stored.frame.m, sizeof stored.frame.m), 0);

    // Stored again: overwritten in place.
    keydown(VK_LEFT);
    click(dlg, CamStore);
    EXPECT_EQ(entries(), before + 4);
    EXPECT_EQ(static_cast<Vector*>(searchlist(ActualScene, TagPoint, "cam_position"))->x, position().x);
}

TEST_F(DialogTest, CameraUseWithMissingObjectsWarnsButCopiesWhatItFinds)
{
    addpoint("cam_position", 5, 6, 7);
    const HWND dlg = open(CmdCamera, SlotCamera);
    const Vector oldfront = front();
    markpicture();
    click(dlg, CamUse);
    EXPECT_EQ(warnings(), Lines({"The default position of the camera is not defined."}));
    EXPECT_TRUE(redrawn());
    expectvector(position(), 5, 6, 7);
    expectvector(front(), oldfront.x, oldfront.y, oldfront.z);
}

TEST_F(DialogTest, CameraViewButtons)
{
    const HWND dlg = open(CmdCamera, SlotCamera);
    markpicture();
    click(dlg, CamParallel);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualCam.flags, CamClip) << "clipping stays";
    EXPECT_TRUE(checked(dlg, CamParallel));
    EXPECT_FALSE(checked(dlg, CamCentralView));
    ActualCam.flags = 0;
    click(dlg, CamCentralView);
    EXPECT_EQ(ActualCam.flags, CamCentral | CamClip);
    EXPECT_TRUE(checked(dlg, CamCentralView));
    EXPECT_FALSE(checked(dlg, CamParallel));

    click(dlg, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotCamera], nullptr);
    ActualCam.flags = CamClip;
    EXPECT_TRUE(checked(open(CmdCamera, SlotCamera), CamParallel));
}

TEST_F(DialogTest, LightDialogShowsUndefinedAndAddsNothingUntilTyped)
{
    const int before = entries();
    const HWND dlg = open(CmdLight, SlotLight);
    EXPECT_EQ(text(dlg, LightPosField), "undefined");
    EXPECT_EQ(text(dlg, LightDirField), "undefined");
    EXPECT_TRUE(checked(dlg, LightDirection)) << "start-up light is directed";
    EXPECT_FALSE(checked(dlg, LightBind));
    EXPECT_EQ(entries(), before);

    markpicture();
    settext(dlg, LightPosField, "5");
    EXPECT_TRUE(redrawn());
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "light_position")), 5, 0, 0);
    settext(dlg, LightPosField, "5 6 7");
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "light_position")), 5, 6, 7);

    settext(dlg, LightDirField, "0 0 0");
    const Vector* direction = static_cast<Vector*>(searchlist(ActualScene, TagVector, "light_direction"));
    ASSERT_NE(direction, nullptr);
    expectvector(*direction, 0, 0, -1);
    EXPECT_EQ(text(dlg, LightDirField), "0 0 0");
    settext(dlg, LightDirField, "1e-30 0 0");
    expectvector(*direction, 1e-30f, 0, 0);
    EXPECT_EQ(entries(), before + 2);

    // Opened again, the fields show the objects.
    click(dlg, IDCANCEL);
    const HWND again = open(CmdLight, SlotLight);
    EXPECT_EQ(text(again, LightPosField), "5 6 7");
    EXPECT_EQ(text(again, LightDirField), "1e-30 0 0");
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
        {CmdPoints, SlotPoints, PointPosition, IDOK, "Position", camposition},
        {CmdVectors, SlotVectors, VectorComponents, IDOK, "Components", nullptr},
        {CmdSpheres, SlotSpheres, SphereRadius, IDOK, "Radius", nullptr},
        {CmdLight, SlotLight, LightPosField, 0, "Position", position},
        {CmdLight, SlotLight, LightDirField, 0, "Direction", direction},
    };
    for (const Field& f : fields) {
        const int before = entries();
        const HWND dlg = open(f.cmd, f.slot);
        settext(dlg, PointName, "cam_position");
        settext(dlg, VectorName, "newvector");
        settext(dlg, SphereName, "newsphere");
        settext(dlg, SphereCenter, "o");
        settext(dlg, SphereColor, "red");
        const Vector was = f.kept ? *f.kept : nullv();
        for (const char* number : {"nan 0 1", "1e39 0 1", "-inf 0 0", "inf", "0 0 -1e39"}) {
            if (f.field == SphereRadius && number[0] == '0')
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
    settext(open(CmdSpheres, SlotSpheres), SphereRadius, "300");
    const HWND sphere = GDlgs[SlotSpheres];
    settext(sphere, SphereName, "ball");
    settext(sphere, SphereCenter, "o");
    settext(sphere, SphereColor, "red");
    click(sphere, IDOK);
    const HWND points = open(CmdPoints, SlotPoints);
    settext(points, PointName, "cam_position");
    settext(points, PointPosition, "inf 0 0");
    click(points, IDOK);
    click(open(CmdCamera, SlotCamera), CamUse);
    EXPECT_EQ(warnings(),
              Lines({"Position: numbers must be finite (no nan or inf, nothing beyond 3.4e38)."}));
    EXPECT_NE(litpixels(), 0u);
}

TEST_F(DialogTest, LightKindAndBinding)
{
    const HWND dlg = open(CmdLight, SlotLight);
    click(dlg, LightPoint);
    EXPECT_EQ(ActualLight.flags & LightDirected, 0);
    EXPECT_TRUE(checked(dlg, LightPoint));
    EXPECT_FALSE(checked(dlg, LightDirection));
    click(dlg, LightDirection);
    EXPECT_EQ(ActualLight.flags & LightDirected, LightDirected);
    EXPECT_TRUE(checked(dlg, LightDirection));

    markpicture();
    click(dlg, LightBind);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualLight.flags & LightBound, LightBound);
    EXPECT_TRUE(checked(dlg, LightBind));
    markpicture();
    click(dlg, LightBind);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(ActualLight.flags & LightBound, 0);
    EXPECT_FALSE(checked(dlg, LightBind));
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
    const Lines shown = lines(chooser, ChooserList);
    ASSERT_EQ(int(shown.size()), number_of_scenes);
    EXPECT_EQ(Lines(shown.end() - 3, shown.end()), Lines({"(unnamed)", "a.txt", "b.txt"}));
    EXPECT_EQ(selection(chooser, ChooserList), LB_ERR);

    // The current scene: nothing at all.
    const HWND points = open(CmdPoints, SlotPoints);
    markpicture();
    select(chooser, ChooserList, first);
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(GDlgs[SlotPoints], points);

    open(CmdPolygons, SlotPolygons);
    select(chooser, ChooserList, first + 1);
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
    select(chooser, ChooserList, first + 2);
    expectvector(front(), 0, 0, 10);
    expectvector(position(), 1, 2, 3);
    EXPECT_EQ(ActualCam.flags, flags);

    // No selection: nothing.
    select(chooser, ChooserList, -1);
    EXPECT_EQ(chosen_scene, first + 2);
    EXPECT_TRUE(warnings().empty());

    click(chooser, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotChooser], nullptr);
}

}  // namespace
