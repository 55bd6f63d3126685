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

TEST_F(PolygonDialogTest, CornerListOutOfStepNeverReachesPastTheCorners)
{
    triangle("big");
    create("small");
    select(dlg, PolygonList, 1);
    insert("D");
    // The list shows big's corners while small is selected, without a notification.
    select(dlg, PolygonList, 0);
    SendDlgItemMessageA(dlg, PolygonList, LB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(dlg, CornerList, LB_SETCURSEL, 2, 0);

    click(dlg, CornerRemove);
    EXPECT_EQ(warnings(), Lines({"Choose a corner to delete."}));
    EXPECT_EQ(corners("small"), Lines({"D"}));

    SendDlgItemMessageA(dlg, CornerList, LB_SETCURSEL, 2, 0);
    insert("A");
    EXPECT_TRUE(warnings().empty());
    EXPECT_EQ(corners("small"), Lines({"D", "A"}));
    EXPECT_EQ(lines(dlg, CornerList), Lines({"D", "A"})) << "in step again";
    EXPECT_EQ(corners("big"), Lines({"A", "B", "C"}));
}

}  // namespace
