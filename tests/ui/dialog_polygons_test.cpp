// The polygon dialog: corners inserted and removed, drawing from the third corner.
#include "tests/ui/dialogfixture.h"

namespace {

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
        settext(dlg, PolygonName, name);
        settext(dlg, PolygonColor, color);
        click(dlg, PolygonCreate);
    }

    void insert(const char* corner)
    {
        settext(dlg, CornerName, corner);
        click(dlg, CornerInsert);
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
        select(dlg, PolygonList, int(lines(dlg, PolygonList).size()) - 1);
        for (const char* corner : {"C", "B", "A"})
            insert(corner);
    }
};

TEST_F(PolygonDialogTest, InsertPutsTheCornerAfterTheSelectedOne)
{
    triangle("t");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "C"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"A", "B", "C"}));

    select(dlg, CornerList, 1);
    EXPECT_EQ(text(dlg, CornerName), "B");
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "D", "C"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"A", "B", "D", "C"}));

    select(dlg, CornerList, 2);
    click(dlg, CornerRemove);
    select(dlg, CornerList, 2);
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"A", "B", "C", "D"}));

    select(dlg, CornerList, 3);
    click(dlg, CornerRemove);
    select(dlg, CornerList, -1);
    insert("D");
    EXPECT_EQ(corners("t"), Lines({"D", "A", "B", "C"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"D", "A", "B", "C"}));

    select(dlg, CornerList, 2);
    click(dlg, CornerRemove);
    EXPECT_EQ(corners("t"), Lines({"D", "A", "C"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"D", "A", "C"}));
    EXPECT_TRUE(warnings().empty());
}

TEST_F(PolygonDialogTest, PolygonIsDrawnFromItsThirdCorner)
{
    create("sq");
    select(dlg, PolygonList, 0);
    insert("A");
    select(dlg, CornerList, 0);
    markpicture();
    insert("B");
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(litpixels(), 0u);
    select(dlg, CornerList, 1);
    insert("C");
    EXPECT_GT(litpixels(), 0u);
    select(dlg, CornerList, 2);
    insert("D");
    EXPECT_EQ(lines(dlg, CornerList), Lines({"A", "B", "C", "D"}));
    const uint32_t green = centrepixel();
    EXPECT_NE(green & 0x00FF00, 0u);
    EXPECT_EQ(green & 0xFF00FF, 0u);

    // The colour's "Use" acts on the typed name, whatever is selected.
    create("other");
    select(dlg, PolygonList, 1);
    settext(dlg, PolygonName, "sq");
    settext(dlg, PolygonColor, "blue");
    click(dlg, PolygonUse);
    EXPECT_NE(centrepixel() & 0xFF0000, 0u);
    EXPECT_EQ(centrepixel() & 0x00FFFF, 0u);

    // Down to two corners: gone from the picture.
    select(dlg, PolygonList, 0);
    select(dlg, CornerList, 3);
    click(dlg, CornerRemove);
    select(dlg, CornerList, 0);
    markpicture();
    click(dlg, CornerRemove);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, CornerList), Lines({"B", "C"}));
    EXPECT_EQ(litpixels(), 0u);
    EXPECT_TRUE(warnings().empty());
}

TEST_F(PolygonDialogTest, RefusalsWarnAndChangeNothing)
{
    create("p");
    EXPECT_EQ(lines(dlg, PolygonList), Lines({"p"}));
    EXPECT_TRUE(warnings().empty());

    insert("A");
    EXPECT_EQ(warnings(), Lines({"Choose a polygon to extend."}));
    click(dlg, CornerRemove);
    EXPECT_EQ(warnings(), Lines({"Choose a polygon to reduce."}));

    create("p", "");
    EXPECT_EQ(warnings(), Lines({"Polygon already exists."}));
    create("q", "nocolour");
    EXPECT_EQ(warnings(), Lines({"Choose a color for this polygon."}));
    EXPECT_EQ(lines(dlg, PolygonList), Lines({"p"}));

    select(dlg, PolygonList, 0);
    insert("nowhere");
    EXPECT_EQ(warnings(), Lines({"Point name not found."}));
    click(dlg, CornerRemove);
    EXPECT_EQ(warnings(), Lines({"Choose a corner to delete."}));
    EXPECT_TRUE(corners("p").empty());

    settext(dlg, PolygonName, "q");
    click(dlg, PolygonUse);
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
    settext(dlg, PolygonName, "p");
    settext(dlg, PolygonColor, "nocolour");
    click(dlg, PolygonUse);
    EXPECT_EQ(warnings(), Lines({"Color not found."}));

    // A listed name whose polygon went away.
    deletelist(ActualScene, TagPolygon, "p");
    insert("A");
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
    click(dlg, CornerRemove);
    EXPECT_EQ(warnings(), Lines({"Polygon not found."}));
}

TEST_F(PolygonDialogTest, DeleteRemovesExactlyTheNamedEntry)
{
    create("tri");
    create("tri2");
    settext(dlg, PolygonName, "tri");
    markpicture();
    click(dlg, PolygonDelete);
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(lines(dlg, PolygonList), Lines({"tri2"}));
    click(dlg, PolygonDelete);
    EXPECT_EQ(warnings(), Lines({"No polygon exists under this name."}));
    EXPECT_EQ(lines(dlg, PolygonList), Lines({"tri2"}));
}

// Two polygons of one name (as a file may hold them): deleting the first leaves the
// corner list showing its corners while the survivor is selected.
TEST_F(PolygonDialogTest, CornersActOnlyOnThePolygonTheyWereListedFrom)
{
    triangle("tri");
    PolygonObject* twin = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
    Vector** points = static_cast<Vector**>(Memory_Gra(3 * sizeof(Vector*)));
    for (int i = 0; i < 3; i++)
        points[i] = static_cast<Vector*>(searchlist(ActualScene, TagPoint,
                                                    i == 0   ? "D"
                                                    : i == 1 ? "C"
                                                             : "B"));
    *twin = PolygonObject{3, points,
                          static_cast<Pattern*>(searchlist(ActualScene, TagPattern, "blue"))};
    insertlist(ActualScene, TagPolygon, twin, copytext("tri"));
    AppendListLine(GetDlgItem(dlg, PolygonList), "tri");

    select(dlg, PolygonList, 1);  // either line shows the first polygon of the name
    EXPECT_EQ(lines(dlg, CornerList), Lines({"A", "B", "C"}));
    settext(dlg, PolygonName, "tri");
    click(dlg, PolygonDelete);
    ASSERT_EQ(selection(dlg, PolygonList), 0) << "the survivor's line stays selected";
    EXPECT_EQ(lines(dlg, CornerList), Lines({"A", "B", "C"}));

    // Remove, then Insert after the list was left showing "other" by a selection
    // that moved without a notification.
    create("other");
    for (const int button : {CornerRemove, CornerInsert}) {
        if (button == CornerInsert) {
            select(dlg, PolygonList, 1);
            SendDlgItemMessageA(dlg, PolygonList, LB_SETCURSEL, 0, 0);
        }
        SendDlgItemMessageA(dlg, CornerList, LB_SETCURSEL, 0, 0);
        settext(dlg, CornerName, "A");
        markpicture();
        click(dlg, button);
        EXPECT_EQ(warnings(),
                  Lines({"The corner list showed another polygon; choose the corner again."}));
        EXPECT_FALSE(redrawn());
        EXPECT_EQ(corners("tri"), Lines({"D", "C", "B"}));
        EXPECT_EQ(lines(dlg, CornerList), Lines({"D", "C", "B"}));
    }

    // Once listed, the corners are the survivor's own.
    select(dlg, PolygonList, 0);
    SendDlgItemMessageA(dlg, CornerList, LB_SETCURSEL, 0, 0);
    click(dlg, CornerRemove);
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(corners("tri"), Lines({"C", "B"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"C", "B"}));
}

}  // namespace
