#include "core/scenelist.h"
#include "core/memory.h"
#include "core/platform_headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

char* name(const std::string& text)
{
    return copytext(text.c_str());
}

Vector* point(float x)
{
    Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
    *v = newv(x, 0, 0);
    return v;
}

SphereObject* sphere()
{
    SphereObject* s = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
    *s = SphereObject{nullptr, 1.0f, nullptr};
    return s;
}

std::vector<std::string> listed(SceneList* list, ObjectTag tag)
{
    HeadlessListbox box;
    FillListbox(list, &box, tag);
    return box.lines;
}

}  // namespace

TEST(SceneList, EmptyListAndNullArgumentsFindNothing)
{
    SceneList* list = initlist();
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(list->next, nullptr);
    EXPECT_EQ(searchlist(list, TagPoint, "a"), nullptr);
    EXPECT_EQ(searchlist(list, TagPoint, nullptr), nullptr);
    EXPECT_EQ(searchlist(nullptr, TagPoint, "a"), nullptr);
    EXPECT_EQ(deletelist(nullptr, TagSphere, "a"), 0);
    EXPECT_EQ(searchtext(list, TagPoint, nullptr), nullptr);
    EXPECT_EQ(searchtext(nullptr, TagPoint, list), nullptr);
    EXPECT_EQ(isbefore(nullptr, TagPoint, "a", TagPoint, "b"), 0);
    EXPECT_TRUE(listed(list, TagPoint).empty());
}

TEST(SceneList, BlocksFillTo256ThenChainAndKeepListOrder)
{
    SceneList* list = initlist();
    std::vector<Vector*> points;
    for (int i = 0; i < 256; i++) {
        points.push_back(point(float(i)));
        EXPECT_EQ(insertlist(list, TagPoint, points.back(), name("p" + std::to_string(i))), i + 1);
    }
    EXPECT_EQ(list->count, 256);
    EXPECT_EQ(list->next, nullptr);  // a full last block has no successor yet
    EXPECT_EQ(searchlist(list, TagPoint, "missing"), nullptr);

    points.push_back(point(256));
    EXPECT_EQ(insertlist(list, TagPoint, points.back(), name("p256")), 1);
    ASSERT_NE(list->next, nullptr);
    EXPECT_EQ(list->next->count, 1);
    EXPECT_EQ(list->next->objects[0], points[256]);

    EXPECT_EQ(searchlist(list, TagPoint, "p0"), points[0]);
    EXPECT_EQ(searchlist(list, TagPoint, "p255"), points[255]);
    EXPECT_EQ(searchlist(list, TagPoint, "p256"), points[256]);
    EXPECT_STREQ(searchtext(list, TagPoint, points[256]), "p256");
    EXPECT_EQ(isbefore(list, TagPoint, "p255", TagPoint, "p256"), 1);
    EXPECT_EQ(isbefore(list, TagPoint, "p256", TagPoint, "p255"), 0);
    const std::vector<std::string> lines = listed(list, TagPoint);
    ASSERT_EQ(lines.size(), 257u);
    EXPECT_EQ(lines.front(), "p0");
    EXPECT_EQ(lines.back(), "p256");
}

TEST(SceneList, DuplicatesResolveToTheFirstAndDeleteInOrder)
{
    SceneList* list = initlist();
    SphereObject* first = sphere();
    SphereObject* second = sphere();
    insertlist(list, TagSphere, first, name("ball"));
    insertlist(list, TagSphere, second, name("ball"));

    EXPECT_EQ(searchlist(list, TagSphere, "ball"), first);
    EXPECT_EQ(deletelist(list, TagSphere, "ball"), 1);
    EXPECT_EQ(list->tags[0], TagDeleted);
    EXPECT_STREQ(list->names[0], "ball");  // the name stays with the deleted entry
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(searchlist(list, TagSphere, "ball"), second);
    EXPECT_EQ(searchtext(list, TagSphere, first), nullptr);
    EXPECT_EQ(listed(list, TagSphere), std::vector<std::string>{"ball"});

    EXPECT_EQ(deletelist(list, TagSphere, "ball"), 1);
    EXPECT_EQ(searchlist(list, TagSphere, "ball"), nullptr);
    EXPECT_EQ(deletelist(list, TagSphere, "ball"), 0);
    EXPECT_TRUE(listed(list, TagSphere).empty());
    // Deleted entries never match, not even under tag 0.
    EXPECT_EQ(searchlist(list, TagDeleted, "ball"), nullptr);
    EXPECT_EQ(deletelist(list, TagDeleted, "ball"), 0);
}

TEST(SceneList, KindsAreSeparateNamespaces)
{
    SceneList* list = initlist();
    Vector* p = point(1);
    Pattern* pattern = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
    *pattern = RGBpattern(1, 2, 3, 33, 33, 33);
    insertlist(list, TagPoint, p, name("red"));
    insertlist(list, TagPattern, pattern, name("red"));
    EXPECT_EQ(searchlist(list, TagPoint, "red"), p);
    EXPECT_EQ(searchlist(list, TagPattern, "red"), pattern);
    EXPECT_EQ(searchlist(list, TagVector, "red"), nullptr);
    EXPECT_EQ(searchtext(list, TagPattern, p), nullptr);
    EXPECT_EQ(isbefore(list, TagPoint, "red", TagPattern, "red"), 1);
    EXPECT_EQ(isbefore(list, TagPattern, "red", TagPoint, "red"), 0);
    // Names compare byte for byte: no case folding, no prefix match.
    EXPECT_EQ(searchlist(list, TagPoint, "Red"), nullptr);
    EXPECT_EQ(searchlist(list, TagPoint, "re"), nullptr);
}

TEST(SceneList, IsbeforeAnswersZeroForEqualOrMissingPairs)
{
    SceneList* list = initlist();
    insertlist(list, TagPattern, nullptr, name("a"));
    EXPECT_EQ(isbefore(list, TagPattern, "a", TagPattern, "a"), 0);
    EXPECT_EQ(isbefore(list, TagPattern, "x", TagPattern, "y"), 0);
    EXPECT_EQ(isbefore(list, TagPattern, "x", TagPattern, "a"), 0);
    EXPECT_EQ(isbefore(list, TagPattern, "a", TagPattern, "missing"), 1);
    EXPECT_EQ(isbefore(list, TagPattern, nullptr, TagPattern, "a"), 0);
}

TEST(SceneList, EntriesWithoutNameNeverMatchOrList)
{
    SceneList* list = initlist();
    Vector* p = point(2);
    insertlist(list, TagPoint, p, nullptr);
    EXPECT_EQ(searchlist(list, TagPoint, ""), nullptr);
    EXPECT_TRUE(listed(list, TagPoint).empty());
    EXPECT_EQ(searchtext(list, TagPoint, p), nullptr);  // the entry is found, its name is null
}

TEST(Objects, RGBpatternPacksLowBytesIntoAFreshCell)
{
    const Pattern black = RGBpattern(0, 0, 0, 33, 33, 33);
    ASSERT_NE(black.color, nullptr);
    EXPECT_EQ(*black.color, 0u);
    EXPECT_EQ(black.ambient, 33u | 33u << 8 | 33u << 16);
    EXPECT_EQ(black.back, nullptr);
    EXPECT_EQ(black.flags, 0);

    const Pattern mixed = RGBpattern(300, -1, 7, 256, 1, 2);
    EXPECT_EQ(*mixed.color, 44u | 255u << 8 | 7u << 16);
    EXPECT_EQ(mixed.ambient, 0u | 1u << 8 | 2u << 16);
    EXPECT_NE(mixed.color, black.color);
}
