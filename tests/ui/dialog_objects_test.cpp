// The dialogs of points, vectors, colours and spheres, and the templates of all eight.
#include "tests/ui/dialogfixture.h"

namespace {

// ---------------------------------------------------------------- templates

struct TemplateRow {
    int cmd, slot;
    const char* caption;
    int x, y, w, h;  // dialog units
    int controls;
};

// The cascade: each dialog 20 units right of and above the one before.
const TemplateRow Templates[] = {
    {CmdChooseScene, SlotChooser, "Choose scene", 20, 180, 170, 105, 3},
    {CmdPoints, SlotPoints, "Edit points", 40, 160, 170, 160, 8},
    {CmdVectors, SlotVectors, "Edit vectors", 60, 140, 170, 160, 8},
    {CmdColors, SlotColors, "Edit colors", 80, 120, 170, 180, 12},
    {CmdSpheres, SlotSpheres, "Draw Spheres", 100, 100, 170, 180, 13},
    {CmdPolygons, SlotPolygons, "Draw Polygons", 120, 80, 170, 260, 16},
    {CmdCamera, SlotCamera, "Camera operations", 140, 60, 120, 70, 6},
    {CmdLight, SlotLight, "Light source", 160, 40, 145, 70, 8},
};

TEST_F(DialogTest, TemplatesPlaceCaptionAndStyleEachDialog)
{
    POINT origin = {0, 0};
    ClientToScreen(hWindow, &origin);
    for (const TemplateRow& row : Templates) {
        SCOPED_TRACE(row.caption);
        const HWND dlg = open(row.cmd, row.slot);
        ASSERT_NE(dlg, nullptr);
        char caption[64];
        GetWindowTextA(dlg, caption, sizeof caption);
        EXPECT_STREQ(caption, row.caption);
        const LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME),
                  WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME);
        EXPECT_EQ(style & WS_SYSMENU, 0) << "no close box: only button 2 ends a dialog";

        // The client area stands in dialog units from the main window's client
        // area; the frame around it is the platform's.
        RECT at = {row.x, row.y, row.w, row.h};
        MapDialogRect(dlg, &at);
        POINT corner = {0, 0};
        ClientToScreen(dlg, &corner);
        RECT client;
        GetClientRect(dlg, &client);
        EXPECT_EQ(corner.x, origin.x + at.left);
        EXPECT_EQ(corner.y, origin.y + at.top);
        EXPECT_EQ(client.right, at.right);
        EXPECT_EQ(client.bottom, at.bottom);

        int controls = 0;
        for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            controls++;
            char kind[32];
            GetClassNameA(child, kind, sizeof kind);
            const LONG_PTR cstyle = GetWindowLongPtrA(child, GWL_STYLE);
            const int id = GetDlgCtrlID(child);
            SCOPED_TRACE(id);
            if (_stricmp(kind, "ListBox") == 0) {
                // Unsorted, so that lines stay in the scene's order.
                const LONG_PTR want = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL |
                                      WS_VSCROLL | WS_TABSTOP;
                EXPECT_EQ(cstyle & (want | LBS_SORT), want);
                // The list box may turn its border into a sunken edge.
                EXPECT_TRUE((cstyle & WS_BORDER) ||
                            (GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
            }
            // Plain buttons: the procedures set every mark themselves.
            if (id == CamParallel || id == CamCentralView || id == LightPoint ||
                id == LightDirection) {
                EXPECT_EQ(cstyle & BS_TYPEMASK, BS_RADIOBUTTON);
            }
            if (id == LightBind) {
                EXPECT_EQ(cstyle & BS_TYPEMASK, BS_CHECKBOX);
            }
            if (_stricmp(kind, "Button") == 0) {
                EXPECT_NE(cstyle & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "Enter has no meaning";
            }
        }
        EXPECT_EQ(controls, row.controls);
        EXPECT_NE(GetDlgItem(dlg, IDCANCEL), nullptr);
    }
}

// ---------------------------------------------------------- points, vectors

TEST_F(DialogTest, PointUseCreatesOrMovesAndParsesPartialNumbers)
{
    addpoint("a", 9, 9, 9);
    const HWND dlg = open(CmdPoints, SlotPoints);
    EXPECT_EQ(lines(dlg, PointList), Lines({"a"}));

    // A new point takes what converts; the rest starts at zero.
    settext(dlg, PointName, "b");
    settext(dlg, PointPosition, "5");
    markpicture();
    click(dlg, IDOK);
    EXPECT_TRUE(redrawn());
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "b")), 5, 0, 0);
    EXPECT_EQ(lines(dlg, PointList), Lines({"a", "b"}));
    EXPECT_STREQ(lastname(), "b");

    Vector* a = static_cast<Vector*>(searchlist(ActualScene, TagPoint, "a"));
    settext(dlg, PointName, "a");
    settext(dlg, PointPosition, "1 2");
    click(dlg, IDOK);
    expectvector(*a, 1, 2, 9);
    settext(dlg, PointPosition, "4,5,6");
    click(dlg, IDOK);
    expectvector(*a, 4, 2, 9);
    settext(dlg, PointPosition, "4 5 6 7");
    click(dlg, IDOK);
    expectvector(*a, 4, 5, 6);
    settext(dlg, PointPosition, "none");
    markpicture();
    click(dlg, IDOK);
    expectvector(*a, 4, 5, 6);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, PointList), Lines({"a", "b"}));
    EXPECT_TRUE(warnings().empty());
}

TEST_F(DialogTest, PointSelectionShowsRoundedValuesThatUseCarriesBack)
{
    Vector* p = addpoint("p", 0.1234567f, -2.5f, 1e20f);
    const HWND dlg = open(CmdPoints, SlotPoints);
    select(dlg, PointList, 0);
    EXPECT_EQ(text(dlg, PointName), "p");
    EXPECT_EQ(text(dlg, PointPosition), "0.123457 -2.5 1e+20");
    click(dlg, IDOK);
    expectvector(*p, 0.123457f, -2.5f, 1e20f);
}

TEST_F(DialogTest, DuplicateAndEmptyNames)
{
    Vector* first = addpoint("twin", 1, 1, 1);
    Vector* second = addpoint("twin", 2, 2, 2);
    const HWND dlg = open(CmdPoints, SlotPoints);
    EXPECT_EQ(lines(dlg, PointList), Lines({"twin", "twin"}));
    select(dlg, PointList, 1);
    EXPECT_EQ(text(dlg, PointPosition), "1 1 1");
    settext(dlg, PointPosition, "3 3 3");
    click(dlg, IDOK);
    expectvector(*first, 3, 3, 3);
    expectvector(*second, 2, 2, 2);

    // The empty text names a point like any other.
    settext(dlg, PointName, "");
    settext(dlg, PointPosition, "7 7 7");
    click(dlg, IDOK);
    settext(dlg, PointPosition, "8");
    click(dlg, IDOK);
    EXPECT_EQ(lines(dlg, PointList), Lines({"twin", "twin", ""}));
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "")), 8, 7, 7);

    // A blank or a line break would not survive saving: no such name is made, in any dialog.
    const int before = entries();
    for (const char* name : {"twin ", "two words", "line\nbreak", "cr\r"}) {
        settext(dlg, PointName, name);
        click(dlg, IDOK);
    }
    EXPECT_EQ(lines(dlg, PointList).size(), 3u);
    addpattern("red", 255, 0, 0);
    const HWND spheres = open(CmdSpheres, SlotSpheres);
    settext(spheres, SphereName, "a ball");
    settext(spheres, SphereCenter, "twin");
    settext(spheres, SphereColor, "red");
    click(spheres, IDOK);
    const HWND colors = open(CmdColors, SlotColors);
    settext(colors, ColorName, "dark red");
    click(colors, IDOK);
    const HWND polygons = open(CmdPolygons, SlotPolygons);
    settext(polygons, PolygonName, " ");
    settext(polygons, PolygonColor, "red");
    click(polygons, PolygonCreate);
    EXPECT_EQ(
        warnings(),
        Lines(7, "A name may not hold blanks or line breaks: a scene file could not keep it."));
    EXPECT_EQ(entries(), before + 1);
}

TEST_F(DialogTest, VectorsAreKeptApartFromPointsOfTheSameName)
{
    Vector* point = addpoint("v", 1, 2, 3);
    const HWND dlg = open(CmdVectors, SlotVectors);
    EXPECT_TRUE(lines(dlg, VectorList).empty());
    settext(dlg, VectorName, "v");
    settext(dlg, VectorComponents, "0 0 1");
    click(dlg, IDOK);
    expectvector(*point, 1, 2, 3);
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagVector, "v")), 0, 0, 1);
    EXPECT_EQ(lines(dlg, VectorList), Lines({"v"}));
}

TEST_F(DialogTest, LongListNamesAndEmptySelectionsAreSafe)
{
    // Far longer than any field: a name like this can only come from a file.
    const std::string name(3000, 'n');
    addpoint(name.c_str(), 4, 5, 6);
    const HWND dlg = open(CmdPoints, SlotPoints);
    select(dlg, PointList, 0);
    EXPECT_EQ(text(dlg, PointPosition), "4 5 6");

    settext(dlg, PointName, "kept");
    settext(dlg, PointPosition, "kept too");
    select(dlg, PointList, -1);
    EXPECT_EQ(text(dlg, PointName), "kept");
    EXPECT_EQ(text(dlg, PointPosition), "kept too");
}

TEST_F(DialogTest, FinishEndsTheDialogAndTheMenuOpensAFreshOne)
{
    const HWND dlg = open(CmdPoints, SlotPoints);
    settext(dlg, PointName, "typed");
    EXPECT_EQ(open(CmdPoints, SlotPoints), dlg) << "shown again, not created twice";
    EXPECT_EQ(text(dlg, PointName), "typed");
    click(dlg, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotPoints], nullptr);
    EXPECT_FALSE(IsWindow(dlg) && IsWindowVisible(dlg));
    addpoint("later", 0, 0, 0);
    const HWND again = open(CmdPoints, SlotPoints);
    EXPECT_EQ(text(again, PointName), "");
    EXPECT_EQ(lines(again, PointList), Lines({"later"}));
}

TEST_F(DialogTest, UnhandledMessagesAndIdsAreLeftToThePlatform)
{
    const HWND dlg = open(CmdPoints, SlotPoints);
    const DLGPROC procs[] = {CheckChoosesceneProc, CheckPointboxProc, CheckVectorboxProc,
                             CheckColorboxProc, CheckSphereboxProc, CheckPolygonboxProc,
                             CheckCamboxProc, CheckLightboxProc};
    for (DLGPROC proc : procs) {
        EXPECT_EQ(proc(dlg, WM_COMMAND, MAKEWPARAM(999, BN_CLICKED), 0), 0);
        EXPECT_EQ(proc(dlg, WM_MOUSEMOVE, 0, 0), 0);
    }
    EXPECT_TRUE(warnings().empty());
}

// -------------------------------------------------------------------- colours

TEST_F(DialogTest, ColorComponentsAreReadAsIntegersAndCutToEightBits)
{
    const HWND dlg = open(CmdColors, SlotColors);
    settext(dlg, ColorName, "c");
    settext(dlg, ColorValue, "300 0 0");
    settext(dlg, ColorAmbient, "0x10 010 16");
    click(dlg, IDOK);
    Pattern* c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "c"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(*c->color, 44u);
    EXPECT_EQ(c->ambient, packcolor(16, 8, 16));
    EXPECT_EQ(c->flags, 0);
    EXPECT_EQ(lines(dlg, ColorList), Lines({"c"}));

    settext(dlg, ColorValue, "-1 0 0");
    click(dlg, IDOK);
    c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "c"));
    EXPECT_EQ(*c->color, 255u);

    // Missing components: an existing pattern keeps its own, a new one starts at 0.
    settext(dlg, ColorValue, "7");
    settext(dlg, ColorAmbient, "");
    click(dlg, IDOK);
    EXPECT_EQ(*c->color, 7u);
    EXPECT_EQ(c->ambient, packcolor(16, 8, 16));
    settext(dlg, ColorName, "fresh");
    settext(dlg, ColorValue, "1 2");
    click(dlg, IDOK);
    const Pattern* fresh = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "fresh"));
    EXPECT_EQ(*fresh->color, packcolor(1, 2, 0));
    EXPECT_EQ(fresh->ambient, 0u);
}

TEST_F(DialogTest, ColorSelectionShowsComponentsAndBackSide)
{
    Pattern* back = addpattern("back", 1, 2, 3);
    Pattern* p = addpattern("front", 17, 34, 51);
    p->back = back;
    p->flags = PatternHasBack;
    const HWND dlg = open(CmdColors, SlotColors);
    select(dlg, ColorList, 1);
    EXPECT_EQ(text(dlg, ColorName), "front");
    EXPECT_EQ(text(dlg, ColorValue), "17 34 51");
    EXPECT_EQ(text(dlg, ColorAmbient), "40 40 40");
    EXPECT_EQ(text(dlg, ColorBack), "back");
    select(dlg, ColorList, 0);
    EXPECT_EQ(text(dlg, ColorBack), "");
}

TEST_F(DialogTest, BackSideMustBeDescribedEarlier)
{
    addpattern("A", 10, 0, 0);
    addpattern("B", 0, 10, 0);
    const HWND dlg = open(CmdColors, SlotColors);

    // B stands after A: refused, with B named first.
    settext(dlg, ColorName, "A");
    settext(dlg, ColorBack, "B");
    markpicture();
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Warning: the background 'B' is not described before 'A'."}));
    EXPECT_TRUE(redrawn());
    Pattern* a = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "A"));
    EXPECT_EQ(a->flags, 0);

    settext(dlg, ColorName, "B");
    settext(dlg, ColorBack, "A");
    click(dlg, IDOK);
    EXPECT_TRUE(warnings().empty());
    Pattern* b = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "B"));
    EXPECT_EQ(b->flags, PatternHasBack);
    EXPECT_EQ(b->back, a);

    settext(dlg, ColorBack, "B");
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Warning: the background 'B' is not described before 'B'."}));
    EXPECT_EQ(b->flags, 0);

    // A new pattern stands last, so any other may be its back.
    settext(dlg, ColorName, "C");
    settext(dlg, ColorBack, "B");
    click(dlg, IDOK);
    EXPECT_TRUE(warnings().empty());
    Pattern* c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "C"));
    EXPECT_EQ(c->back, b);

    // An empty or unknown back side removes it silently.
    settext(dlg, ColorBack, "");
    click(dlg, IDOK);
    EXPECT_EQ(c->flags, 0);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(DialogTest, RedefiningKeepsASharedColorCellForItsOtherOwner)
{
    Pattern* a = addpattern("A", 10, 20, 30);
    Pattern* twin = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
    *twin = *a;
    insertlist(ActualScene, TagPattern, twin, copytext("twin"));
    const HWND dlg = open(CmdColors, SlotColors);
    settext(dlg, ColorName, "A");
    settext(dlg, ColorValue, "1 1 1");
    click(dlg, IDOK);
    EXPECT_EQ(*a->color, packcolor(1, 1, 1));
    EXPECT_EQ(*twin->color, packcolor(10, 20, 30));
}

// -------------------------------------------------------------------- spheres

TEST_F(DialogTest, SphereUseCreatesASphereThatIsDrawn)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    const HWND dlg = open(CmdSpheres, SlotSpheres);
    ClearImage(&ActualImage);
    settext(dlg, SphereName, "ball");
    settext(dlg, SphereCenter, "o");
    settext(dlg, SphereRadius, "300");
    settext(dlg, SphereColor, "red");
    markpicture();
    click(dlg, IDOK);
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(lines(dlg, SphereList), Lines({"ball"}));
    EXPECT_STREQ(lastname(), "ball");
    const SphereObject* ball = static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, "ball"));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->radius, 300.0f);
    EXPECT_NE(centrepixel() & 0xFF, 0u) << "a red sphere in the middle of the picture";
    EXPECT_EQ(centrepixel() & 0xFFFF00, 0u);

    // A radius without a number keeps the radius; a new sphere then starts at 0.
    addpoint("q", 1, 1, 1);
    settext(dlg, SphereCenter, "q");
    settext(dlg, SphereRadius, "big");
    click(dlg, IDOK);
    EXPECT_EQ(ball->radius, 300.0f);
    EXPECT_EQ(ball->center, searchlist(ActualScene, TagPoint, "q"));
    settext(dlg, SphereName, "dot");
    click(dlg, IDOK);
    EXPECT_EQ(static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, "dot"))->radius, 0.0f);

    // Selection shows the names of what the sphere holds.
    select(dlg, SphereList, 0);
    EXPECT_EQ(text(dlg, SphereName), "ball");
    EXPECT_EQ(text(dlg, SphereCenter), "q");
    EXPECT_EQ(text(dlg, SphereRadius), "300");
    EXPECT_EQ(text(dlg, SphereColor), "red");
}

TEST_F(DialogTest, SphereUseRefusesUnknownCentreBeforeUnknownColour)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    const HWND dlg = open(CmdSpheres, SlotSpheres);
    const int before = entries();
    settext(dlg, SphereName, "ball");
    settext(dlg, SphereCenter, "nowhere");
    settext(dlg, SphereColor, "nocolour");
    markpicture();
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Center not found."}));
    settext(dlg, SphereCenter, "o");
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Color not found."}));
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(lines(dlg, SphereList).empty());
    EXPECT_EQ(text(dlg, SphereCenter), "o") << "fields keep their text";
}

TEST_F(DialogTest, SphereDeleteRemovesExactlyTheNamedEntry)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    const HWND dlg = open(CmdSpheres, SlotSpheres);
    settext(dlg, SphereCenter, "o");
    settext(dlg, SphereColor, "red");
    for (const char* name : {"Ball", "ball2", "ball"}) {
        settext(dlg, SphereName, name);
        click(dlg, IDOK);
    }
    EXPECT_EQ(lines(dlg, SphereList), Lines({"Ball", "ball2", "ball"}));

    settext(dlg, SphereName, "ball");
    markpicture();
    click(dlg, SphereDelete);
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(lines(dlg, SphereList), Lines({"Ball", "ball2"}));
    EXPECT_EQ(searchlist(ActualScene, TagSphere, "ball"), nullptr);

    markpicture();
    click(dlg, SphereDelete);
    EXPECT_EQ(warnings(), Lines({"No sphere exists under this name."}));
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, SphereList), Lines({"Ball", "ball2"}));

    select(dlg, SphereList, 1);
    EXPECT_EQ(text(dlg, SphereCenter), "o");
    settext(dlg, SphereName, "ball");
    click(dlg, IDOK);
    EXPECT_EQ(lines(dlg, SphereList), Lines({"Ball", "ball2", "ball"}));
    EXPECT_STREQ(lastname(), "ball");
    EXPECT_NE(searchlist(ActualScene, TagPoint, "o"), nullptr) << "the centre stays";
}

}  // namespace
