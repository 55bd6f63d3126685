// The eight editing dialogs, opened from the real menu and driven with the
// messages a user's actions produce: text set into fields, list selections
// with their LBN_SELCHANGE, button clicks.
#include "tests/ui/shellfixture.h"

#include "core/memory.h"
#include "ui/dialogs.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class DialogTest : public ShellTest {
protected:
    static HWND open(int cmd, int slot)
    {
        command(cmd);
        EXPECT_NE(GDlgs[slot], nullptr);
        return GDlgs[slot];
    }

    static void settext(HWND dlg, int id, const std::string& text)
    {
        SetDlgItemTextA(dlg, id, text.c_str());
    }

    static std::string text(HWND dlg, int id)
    {
        char buffer[4096];
        GetDlgItemTextA(dlg, id, buffer, sizeof buffer);
        return buffer;
    }

    static LRESULT click(HWND dlg, int id)
    {
        return SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            LPARAM(GetDlgItem(dlg, id)));
    }

    // A click in a list: the selection moves, then the list tells its dialog.
    static void select(HWND dlg, int list, int line)
    {
        SendDlgItemMessageA(dlg, list, LB_SETCURSEL, WPARAM(line), 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), LPARAM(GetDlgItem(dlg, list)));
    }

    static Lines lines(HWND dlg, int list)
    {
        const HWND box = GetDlgItem(dlg, list);
        Lines result;
        const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++)
            result.push_back(listtext(box, i));
        return result;
    }

    static LRESULT selection(HWND dlg, int list)
    {
        return SendDlgItemMessageA(dlg, list, LB_GETCURSEL, 0, 0);
    }

    static bool checked(HWND dlg, int id)
    {
        return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
    }

    static Lines warnings()
    {
        Lines result;
        for (const RecordedBox& box : boxes) {
            EXPECT_EQ(box.caption, "WARNING");
            EXPECT_EQ(box.buttons, BoxOk);
            EXPECT_EQ(box.owner, nullptr);
            result.push_back(box.text);
        }
        boxes.clear();
        return result;
    }

    static Vector* addpoint(const char* name, float x, float y, float z, ObjectTag tag = TagPoint)
    {
        Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
        *v = Vector{x, y, z};
        insertlist(ActualScene, tag, v, copytext(name));
        return v;
    }

    static Pattern* addpattern(const char* name, int r, int g, int b)
    {
        Pattern* p = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
        *p = RGBpattern(r, g, b, 40, 40, 40);
        insertlist(ActualScene, TagPattern, p, copytext(name));
        return p;
    }

    static int entries()
    {
        int count = 0;
        for (ListBlock* block = ActualScene; block; block = block->next)
            count += block->count;
        return count;
    }

    static const char* lastname()
    {
        ListBlock* block = ActualScene;
        while (block->next)
            block = block->next;
        return block->names[block->count - 1];
    }

    // The picture at the centre of the window, where the default camera looks at the origin.
    static uint32_t centrepixel()
    {
        const uint8_t* p = ActualImage.pixels +
                           (size_t(ActualImage.height / 2) * ActualImage.width + ActualImage.width / 2) * 4;
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    }

    static size_t litpixels()
    {
        size_t lit = 0;
        const size_t count = size_t(ActualImage.width) * ActualImage.height;
        for (size_t i = 0; i < count; i++)
            if (ActualImage.pixels[4 * i] | ActualImage.pixels[4 * i + 1] | ActualImage.pixels[4 * i + 2])
                lit++;
        return lit;
    }
};

void expectvector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

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
            if (id == 13131 || id == 13132 || id == 1321 || id == 1322) {
                EXPECT_EQ(cstyle & BS_TYPEMASK, BS_RADIOBUTTON);
            }
            if (id == 1325) {
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
    EXPECT_EQ(lines(dlg, 1211), Lines({"a"}));

    // A new point takes what converts; the rest starts at zero.
    settext(dlg, 1212, "b");
    settext(dlg, 1213, "5");
    markpicture();
    click(dlg, IDOK);
    EXPECT_TRUE(redrawn());
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "b")), 5, 0, 0);
    EXPECT_EQ(lines(dlg, 1211), Lines({"a", "b"}));
    EXPECT_STREQ(lastname(), "b");

    Vector* a = static_cast<Vector*>(searchlist(ActualScene, TagPoint, "a"));
    settext(dlg, 1212, "a");
    settext(dlg, 1213, "1 2");
    click(dlg, IDOK);
    expectvector(*a, 1, 2, 9);
    settext(dlg, 1213, "4,5,6");
    click(dlg, IDOK);
    expectvector(*a, 4, 2, 9);
    settext(dlg, 1213, "4 5 6 7");
    click(dlg, IDOK);
    expectvector(*a, 4, 5, 6);
    settext(dlg, 1213, "none");
    markpicture();
    click(dlg, IDOK);
    expectvector(*a, 4, 5, 6);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, 1211), Lines({"a", "b"}));
    EXPECT_TRUE(warnings().empty());
}

TEST_F(DialogTest, PointSelectionShowsRoundedValuesThatUseCarriesBack)
{
    Vector* p = addpoint("p", 0.1234567f, -2.5f, 1e20f);
    const HWND dlg = open(CmdPoints, SlotPoints);
    select(dlg, 1211, 0);
    EXPECT_EQ(text(dlg, 1212), "p");
    EXPECT_EQ(text(dlg, 1213), "0.123457 -2.5 1e+20");
    click(dlg, IDOK);
    expectvector(*p, 0.123457f, -2.5f, 1e20f);
}

TEST_F(DialogTest, DuplicateAndEmptyNames)
{
    Vector* first = addpoint("twin", 1, 1, 1);
    Vector* second = addpoint("twin", 2, 2, 2);
    const HWND dlg = open(CmdPoints, SlotPoints);
    EXPECT_EQ(lines(dlg, 1211), Lines({"twin", "twin"}));
    select(dlg, 1211, 1);
    EXPECT_EQ(text(dlg, 1213), "1 1 1");
    settext(dlg, 1213, "3 3 3");
    click(dlg, IDOK);
    expectvector(*first, 3, 3, 3);
    expectvector(*second, 2, 2, 2);

    // The empty text names a point like any other.
    settext(dlg, 1212, "");
    settext(dlg, 1213, "7 7 7");
    click(dlg, IDOK);
    settext(dlg, 1213, "8");
    click(dlg, IDOK);
    EXPECT_EQ(lines(dlg, 1211), Lines({"twin", "twin", ""}));
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagPoint, "")), 8, 7, 7);

    // A trailing blank makes another name.
    settext(dlg, 1212, "twin ");
    click(dlg, IDOK);
    EXPECT_EQ(lines(dlg, 1211).size(), 4u);
}

TEST_F(DialogTest, VectorsAreKeptApartFromPointsOfTheSameName)
{
    Vector* point = addpoint("v", 1, 2, 3);
    const HWND dlg = open(CmdVectors, SlotVectors);
    EXPECT_TRUE(lines(dlg, 1221).empty());
    settext(dlg, 1222, "v");
    settext(dlg, 1223, "0 0 1");
    click(dlg, IDOK);
    expectvector(*point, 1, 2, 3);
    expectvector(*static_cast<Vector*>(searchlist(ActualScene, TagVector, "v")), 0, 0, 1);
    EXPECT_EQ(lines(dlg, 1221), Lines({"v"}));
}

TEST_F(DialogTest, LongListNamesAndEmptySelectionsAreSafe)
{
    // Far longer than any field: a name like this can only come from a file.
    const std::string name(3000, 'n');
    addpoint(name.c_str(), 4, 5, 6);
    const HWND dlg = open(CmdPoints, SlotPoints);
    select(dlg, 1211, 0);
    EXPECT_EQ(text(dlg, 1213), "4 5 6");

    settext(dlg, 1212, "kept");
    settext(dlg, 1213, "kept too");
    select(dlg, 1211, -1);
    EXPECT_EQ(text(dlg, 1212), "kept");
    EXPECT_EQ(text(dlg, 1213), "kept too");
}

TEST_F(DialogTest, FinishEndsTheDialogAndTheMenuOpensAFreshOne)
{
    const HWND dlg = open(CmdPoints, SlotPoints);
    settext(dlg, 1212, "typed");
    EXPECT_EQ(open(CmdPoints, SlotPoints), dlg) << "shown again, not created twice";
    EXPECT_EQ(text(dlg, 1212), "typed");
    click(dlg, IDCANCEL);
    EXPECT_EQ(GDlgs[SlotPoints], nullptr);
    EXPECT_FALSE(IsWindow(dlg) && IsWindowVisible(dlg));
    addpoint("later", 0, 0, 0);
    const HWND again = open(CmdPoints, SlotPoints);
    EXPECT_EQ(text(again, 1212), "");
    EXPECT_EQ(lines(again, 1211), Lines({"later"}));
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
    settext(dlg, 1232, "c");
    settext(dlg, 1233, "300 0 0");
    settext(dlg, 1234, "0x10 010 16");
    click(dlg, IDOK);
    Pattern* c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "c"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(*c->color, 44u);
    EXPECT_EQ(c->ambient, packcolor(16, 8, 16));
    EXPECT_EQ(c->flags, 0);
    EXPECT_EQ(lines(dlg, 1231), Lines({"c"}));

    settext(dlg, 1233, "-1 0 0");
    click(dlg, IDOK);
    c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "c"));
    EXPECT_EQ(*c->color, 255u);

    // Missing components: an existing pattern keeps its own, a new one starts at 0.
    settext(dlg, 1233, "7");
    settext(dlg, 1234, "");
    click(dlg, IDOK);
    EXPECT_EQ(*c->color, 7u);
    EXPECT_EQ(c->ambient, packcolor(16, 8, 16));
    settext(dlg, 1232, "fresh");
    settext(dlg, 1233, "1 2");
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
    select(dlg, 1231, 1);
    EXPECT_EQ(text(dlg, 1232), "front");
    EXPECT_EQ(text(dlg, 1233), "17 34 51");
    EXPECT_EQ(text(dlg, 1234), "40 40 40");
    EXPECT_EQ(text(dlg, 1235), "back");
    select(dlg, 1231, 0);
    EXPECT_EQ(text(dlg, 1235), "");
}

TEST_F(DialogTest, BackSideMustBeDescribedEarlier)
{
    addpattern("A", 10, 0, 0);
    addpattern("B", 0, 10, 0);
    const HWND dlg = open(CmdColors, SlotColors);

    // B stands after A: refused, with B named first.
    settext(dlg, 1232, "A");
    settext(dlg, 1235, "B");
    markpicture();
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Warning: the background 'B' is not described before 'A'."}));
    EXPECT_TRUE(redrawn());
    Pattern* a = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "A"));
    EXPECT_EQ(a->flags, 0);

    settext(dlg, 1232, "B");
    settext(dlg, 1235, "A");
    click(dlg, IDOK);
    EXPECT_TRUE(warnings().empty());
    Pattern* b = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "B"));
    EXPECT_EQ(b->flags, PatternHasBack);
    EXPECT_EQ(b->back, a);

    settext(dlg, 1235, "B");
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Warning: the background 'B' is not described before 'B'."}));
    EXPECT_EQ(b->flags, 0);

    // A new pattern stands last, so any other may be its back.
    settext(dlg, 1232, "C");
    settext(dlg, 1235, "B");
    click(dlg, IDOK);
    EXPECT_TRUE(warnings().empty());
    Pattern* c = static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "C"));
    EXPECT_EQ(c->back, b);

    // An empty or unknown back side removes it silently.
    settext(dlg, 1235, "");
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
    settext(dlg, 1232, "A");
    settext(dlg, 1233, "1 1 1");
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
    settext(dlg, 1242, "ball");
    settext(dlg, 1244, "o");
    settext(dlg, 1245, "300");
    settext(dlg, 1246, "red");
    markpicture();
    click(dlg, IDOK);
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(lines(dlg, 1241), Lines({"ball"}));
    EXPECT_STREQ(lastname(), "ball");
    const SphereObject* ball = static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, "ball"));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->radius, 300.0f);
    EXPECT_NE(centrepixel() & 0xFF, 0u) << "a red sphere in the middle of the picture";
    EXPECT_EQ(centrepixel() & 0xFFFF00, 0u);

    // A radius without a number keeps the radius; a new sphere then starts at 0.
    addpoint("q", 1, 1, 1);
    settext(dlg, 1244, "q");
    settext(dlg, 1245, "big");
    click(dlg, IDOK);
    EXPECT_EQ(ball->radius, 300.0f);
    EXPECT_EQ(ball->center, searchlist(ActualScene, TagPoint, "q"));
    settext(dlg, 1242, "dot");
    click(dlg, IDOK);
    EXPECT_EQ(static_cast<SphereObject*>(searchlist(ActualScene, TagSphere, "dot"))->radius, 0.0f);

    // Selection shows the names of what the sphere holds.
    select(dlg, 1241, 0);
    EXPECT_EQ(text(dlg, 1242), "ball");
    EXPECT_EQ(text(dlg, 1244), "q");
    EXPECT_EQ(text(dlg, 1245), "300");
    EXPECT_EQ(text(dlg, 1246), "red");
}

TEST_F(DialogTest, SphereUseRefusesUnknownCentreBeforeUnknownColour)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    const HWND dlg = open(CmdSpheres, SlotSpheres);
    const int before = entries();
    settext(dlg, 1242, "ball");
    settext(dlg, 1244, "nowhere");
    settext(dlg, 1246, "nocolour");
    markpicture();
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Center not found."}));
    settext(dlg, 1244, "o");
    click(dlg, IDOK);
    EXPECT_EQ(warnings(), Lines({"Color not found."}));
    EXPECT_FALSE(redrawn());
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(lines(dlg, 1241).empty());
    EXPECT_EQ(text(dlg, 1244), "o") << "fields keep their text";
}

TEST_F(DialogTest, SphereDeleteRemovesExactlyTheNamedEntry)
{
    addpoint("o", 0, 0, 0);
    addpattern("red", 255, 0, 0);
    const HWND dlg = open(CmdSpheres, SlotSpheres);
    settext(dlg, 1244, "o");
    settext(dlg, 1246, "red");
    for (const char* name : {"Ball", "ball2", "ball"}) {
        settext(dlg, 1242, name);
        click(dlg, IDOK);
    }
    EXPECT_EQ(lines(dlg, 1241), Lines({"Ball", "ball2", "ball"}));

    settext(dlg, 1242, "ball");
    markpicture();
    click(dlg, 1243);
    EXPECT_TRUE(redrawn());
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(lines(dlg, 1241), Lines({"Ball", "ball2"}));
    EXPECT_EQ(searchlist(ActualScene, TagSphere, "ball"), nullptr);

    markpicture();
    click(dlg, 1243);
    EXPECT_EQ(warnings(), Lines({"No sphere exists under this name."}));
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, 1241), Lines({"Ball", "ball2"}));

    select(dlg, 1241, 1);
    EXPECT_EQ(text(dlg, 1244), "o");
    settext(dlg, 1242, "ball");
    click(dlg, IDOK);
    EXPECT_EQ(lines(dlg, 1241), Lines({"Ball", "ball2", "ball"}));
    EXPECT_STREQ(lastname(), "ball");
    EXPECT_NE(searchlist(ActualScene, TagPoint, "o"), nullptr) << "the centre stays";
}

// ------------------------------------------------------------------- polygons

class PolygonDialogTest : public DialogTest {
protected:
    HWND dlg = nullptr;

    void SetUp() override
    {
        DialogTest::SetUp();
        // A square facing the default camera, big enough to cover the picture's centre.
        addpoint("A", -300, -300, 0);
        addpoint("B", 300, -300, 0);
        addpoint("C", 300, 300, 0);
        addpoint("D", -300, 300, 0);
        addpattern("green", 0, 200, 0);
        addpattern("blue", 0, 0, 200);
        dlg = open(CmdPolygons, SlotPolygons);
    }

    void create(const char* name, const char* color = "green")
    {
        settext(dlg, 12511, name);
        settext(dlg, 1253, color);
        click(dlg, 12512);
    }

    void insert(const char* corner)
    {
        settext(dlg, 12521, corner);
        click(dlg, 12522);
    }

    Lines corners(const char* name)
    {
        const PolygonObject* polygon =
            static_cast<PolygonObject*>(searchlist(ActualScene, TagPolygon, name));
        Lines result;
        for (int32_t i = 0; i < polygon->count; i++)
            result.push_back(searchtext(ActualScene, TagPoint, polygon->corners[i]));
        return result;
    }

    // A polygon "name" with corners A, B, C, selected, its corners listed.
    void triangle(const char* name)
    {
        create(name);
        select(dlg, 1251, int(lines(dlg, 1251).size()) - 1);
        for (const char* corner : {"C", "B", "A"})
            insert(corner);
    }
};

TEST_F(PolygonDialogTest, InsertPutsTheCornerAfterTheSelectedOne)
{
    triangle("t");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "C"}));
    EXPECT_EQ(lines(dlg, 1252), Lines({"A", "B", "C"}));

    select(dlg, 1252, 1);
    EXPECT_EQ(text(dlg, 12521), "B");
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "D", "C"}));
    EXPECT_EQ(lines(dlg, 1252), Lines({"A", "B", "D", "C"}));

    select(dlg, 1252, 2);
    click(dlg, 12523);
    select(dlg, 1252, 2);
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "C", "D"}));

    select(dlg, 1252, 3);
    click(dlg, 12523);
    select(dlg, 1252, -1);
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"D", "A", "B", "C"}));
    EXPECT_EQ(lines(dlg, 1252), Lines({"D", "A", "B", "C"}));

    select(dlg, 1252, 2);
    click(dlg, 12523);
    EXPECT_EQ(corners("t"), Lines({"D", "A", "C"}));
    EXPECT_EQ(lines(dlg, 1252), Lines({"D", "A", "C"}));
    EXPECT_TRUE(warnings().empty());
}

TEST_F(PolygonDialogTest, PolygonIsDrawnFromItsThirdCorner)
{
    create("sq");
    select(dlg, 1251, 0);
    insert("A");
    select(dlg, 1252, 0);
    markpicture();
    insert("B");
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(litpixels(), 0u);
    select(dlg, 1252, 1);
    insert("C");
    EXPECT_GT(litpixels(), 0u);
    select(dlg, 1252, 2);
    insert("D");
    EXPECT_EQ(lines(dlg, 1252), Lines({"A", "B", "C", "D"}));
    const uint32_t green = centrepixel();
    EXPECT_NE(green & 0x00FF00, 0u);
    EXPECT_EQ(green & 0xFF00FF, 0u);

    // The colour's "Use" acts on the typed name, whatever is selected.
    create("other");
    select(dlg, 1251, 1);
    settext(dlg, 12511, "sq");
    settext(dlg, 1253, "blue");
    click(dlg, 12531);
    EXPECT_NE(centrepixel() & 0xFF0000, 0u);
    EXPECT_EQ(centrepixel() & 0x00FFFF, 0u);

    // Down to two corners: gone from the picture.
    select(dlg, 1251, 0);
    select(dlg, 1252, 3);
    click(dlg, 12523);
    select(dlg, 1252, 0);
    markpicture();
    click(dlg, 12523);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, 1252), Lines({"B", "C"}));
    EXPECT_EQ(litpixels(), 0u);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(PolygonDialogTest, RefusalsWarnAndChangeNothing)
{
    create("p");
    EXPECT_EQ(lines(dlg, 1251), Lines({"p"}));
    EXPECT_TRUE(warnings().empty());

    insert("A");
    EXPECT_EQ(warnings(), Lines({"Choose a polygon to extend."}));
    click(dlg, 12523);
    EXPECT_EQ(warnings(), Lines({"Choose a polygon to reduce."}));

    create("p", "");
    EXPECT_EQ(warnings(), Lines({"Polygon already exists."}));
    create("q", "nocolour");
    EXPECT_EQ(warnings(), Lines({"Choose a color for this polygon."}));
    EXPECT_EQ(lines(dlg, 1251), Lines({"p"}));

    select(dlg, 1251, 0);
    insert("nowhere");
    EXPECT_EQ(warnings(), Lines({"Point name not found."}));
    click(dlg, 12523);
    EXPECT_EQ(warnings(), Lines({"Choose a corner to delete."}));
    EXPECT_TRUE(corners("p").empty());

    settext(dlg, 12511, "q");
    click(dlg, 12531);
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
    settext(dlg, 12511, "p");
    settext(dlg, 1253, "nocolour");
    click(dlg, 12531);
    EXPECT_EQ(warnings(), Lines({"Color not found."}));

    // A listed name whose polygon went away.
    deletelist(ActualScene, TagPolygon, "p");
    insert("A");
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
    click(dlg, 12523);
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
}

TEST_F(PolygonDialogTest, DeleteRemovesExactlyTheNamedEntry)
{
    create("tri");
    create("tri2");
    settext(dlg, 12511, "tri");
    markpicture();
    click(dlg, 12513);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, 1251), Lines({"tri2"}));
    click(dlg, 12513);
    EXPECT_EQ(warnings(), Lines({"No polygon exists under this name."}));
    EXPECT_EQ(lines(dlg, 1251), Lines({"tri2"}));
}

TEST_F(PolygonDialogTest, CornerListOutOfStepNeverReachesPastTheCorners)
{
    triangle("big");
    create("small");
    select(dlg, 1251, 1);
    insert("D");
    // The list shows big's corners while small is selected, without a notification.
    select(dlg, 1251, 0);
    SendDlgItemMessageA(dlg, 1251, LB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dlg, 1252, LB_SETCURSEL, 2, 0);

    click(dlg, 12523);
    EXPECT_EQ(warnings(), Lines({"Choose a corner to delete."}));
    EXPECT_EQ(corners("small"), Lines({"D"}));

    SendDlgItemMessageA(dlg, 1252, LB_SETCURSEL, 2, 0);
    insert("A");
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(corners("small"), Lines({"D", "A"}));
    EXPECT_EQ(lines(dlg, 1252), Lines({"D", "A"})) << "in step again";
    EXPECT_EQ(corners("big"), Lines({"A", "B", "C"}));
}

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
