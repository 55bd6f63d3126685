// The indexed lookups against a plain walk in list order, which is what they
// must answer: first match, deleted entries invisible, byte-exact names per kind.
#include "core/memory.h"
#include "core/scenelist.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// The oracle: the literal walks.
bool walkmatch(const ListBlock* block, int i, ObjectTag tag, const char* name)
{
    return tag != TagDeleted && block->tags[i] == tag && block->names[i] && std::strcmp(block->names[i], name) == 0;
}

// Position in list order of the first entry (tag, name), or -1, and the entry itself.
int walkfind(SceneList* list, ObjectTag tag, const char* name, ListBlock** where = nullptr, int* slot = nullptr)
{
    if (!name)
        return -1;
    int position = 0;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++, position++)
            if (walkmatch(block, i, tag, name)) {
                if (where)
                    *where = block, *slot = i;
                return position;
            }
    return -1;
}

void* walksearch(SceneList* list, ObjectTag tag, const char* name)
{
    ListBlock* block = nullptr;
    int slot = 0;
    return walkfind(list, tag, name, &block, &slot) < 0 ? nullptr : block->objects[slot];
}

char* walktext(SceneList* list, ObjectTag tag, const void* object)
{
    if (!object || tag == TagDeleted)
        return nullptr;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (block->tags[i] == tag && block->objects[i] == object)
                return block->names[i];
    return nullptr;
}

int walkbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb)
{
    if (!namea)
        return 0;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++) {
            if (nameb && walkmatch(block, i, tagb, nameb))
                return 0;
            if (walkmatch(block, i, taga, namea))
                return 1;
        }
    return 0;
}

int total(const SceneList* list)
{
    int n = 0;
    for (const ListBlock* block = list; block; block = block->next)
        n += block->count;
    return n;
}

void* record()
{
    return Memory_Gra(8);
}

struct Differential {
    std::mt19937 random;
    SceneList* list = initlist();
    std::vector<void*> objects;      // every record handed out, freed ones too
    std::set<void*> freed;
    std::vector<const char*> names;  // a small pool, so names repeat
    int mismatches = 0;

    Differential(unsigned seed, int namecount) : random(seed)
    {
        for (int i = 0; i < namecount; i++)
            names.push_back(copytext(("n" + std::to_string(i)).c_str()));
        names.push_back(copytext(""));
        names.push_back(copytext("N0"));
    }

    int pick(int n) { return int(random() % unsigned(n)); }
    ObjectTag tag()
    {
        static const ObjectTag tags[] = {TagPoint, TagVector, TagPattern, TagSphere, TagPolygon};
        return pick(20) == 0 ? TagDeleted : tags[pick(5)];
    }
    const char* name() { return pick(50) == 0 ? nullptr : names[size_t(pick(int(names.size())))]; }
    // A record already in the list now and then, so one record can stand under several entries.
    void* object()
    {
        if (pick(40) == 0)
            return nullptr;
        if (!objects.empty() && pick(8) == 0)
            return objects[size_t(pick(int(objects.size())))];
        objects.push_back(record());
        return objects.back();
    }

    void step()
    {
        // Now and then the plain walk answers: the index must catch up after it.
        ListIndexed = pick(5) != 0;
        const ObjectTag t = tag(), u = tag();
        const char* a = name();
        const char* b = name();
        switch (pick(10)) {
        case 0:
        case 1:
        case 2: {
            void* o = object();
            if (o && freed.count(o))
                o = nullptr;
            // A fresh name pointer with a repeated text: equality must be by bytes.
            insertlist(list, pick(30) ? t : TagDeleted, o, a ? copytext(a) : nullptr);
            break;
        }
        case 3: {
            ListBlock* block = nullptr;
            int slot = 0;
            const bool found = walkfind(list, t, a, &block, &slot) >= 0;
            void* victim = found ? block->objects[slot] : nullptr;
            if (victim && freed.count(victim))
                break;  // a record shared by two entries is freed once only
            mismatches += deletelist(list, t, a) != (found && t != TagDeleted ? 1 : 0);
            if (found && t != TagDeleted) {
                mismatches += block->tags[slot] != TagDeleted;
                freed.insert(victim);
            }
            break;
        }
        case 4:
        case 5:
            mismatches += searchlist(list, t, a) != walksearch(list, t, a);
            break;
        case 6:
        case 7: {
            const void* o = objects.empty() || pick(20) == 0 ? nullptr : objects[size_t(pick(int(objects.size())))];
            mismatches += searchtext(list, t, o) != walktext(list, t, o);
            break;
        }
        default:
            mismatches += isbefore(list, t, a, u, b) != walkbefore(list, t, a, u, b);
            mismatches += isbefore(list, u, b, t, a) != walkbefore(list, u, b, t, a);
            break;
        }
    }
};

}  // namespace

TEST(ListIndex, AgreesWithTheWalkOnRandomOperations)
{
    // Few names: long chains of duplicates. Many names: mostly distinct keys.
    for (unsigned seed = 1; seed <= 12; seed++) {
        Differential d(seed, seed % 3 == 0 ? 4 : seed % 3 == 1 ? 60 : 3000);
        for (int i = 0; i < 4000; i++)
            d.step();
        ListIndexed = true;
        EXPECT_EQ(d.mismatches, 0) << "seed " << seed;
        EXPECT_GT(total(d.list), 3 * ListBlockSize) << "seed " << seed;
        // After the run, every name and record the walk can find answers the same.
        for (const char* name : d.names)
            for (ObjectTag tag : {TagPoint, TagVector, TagPattern, TagSphere, TagPolygon})
                ASSERT_EQ(searchlist(d.list, tag, name), walksearch(d.list, tag, name)) << name;
        for (void* object : d.objects)
            for (ObjectTag tag : {TagPoint, TagVector, TagPattern, TagSphere, TagPolygon})
                ASSERT_EQ(searchtext(d.list, tag, object), walktext(d.list, tag, object));
    }
}

TEST(ListIndex, DuplicatesAcrossBlocksDeleteInListOrder)
{
    SceneList* list = initlist();
    std::vector<void*> copies;
    // Copies of one name at positions 10, 300 and 700: three different blocks.
    for (int i = 0; i < 800; i++) {
        const bool copy = i == 10 || i == 300 || i == 700;
        void* r = record();
        if (copy)
            copies.push_back(r);
        insertlist(list, TagSphere, r, copytext(copy ? "twin" : ("s" + std::to_string(i)).c_str()));
    }
    insertlist(list, TagPoint, record(), copytext("twin"));  // same text, other kind, last of all
    for (void* expected : copies) {
        EXPECT_EQ(searchlist(list, TagSphere, "twin"), expected);
        EXPECT_STREQ(searchtext(list, TagSphere, expected), "twin");
        EXPECT_EQ(isbefore(list, TagSphere, "twin", TagPoint, "twin"), 1);
        EXPECT_EQ(isbefore(list, TagPoint, "twin", TagSphere, "twin"), 0);
        EXPECT_EQ(isbefore(list, TagSphere, "s299", TagSphere, "twin"), expected != copies[0]);
        EXPECT_EQ(deletelist(list, TagSphere, "twin"), 1);
        EXPECT_EQ(searchtext(list, TagSphere, expected), nullptr);
    }
    EXPECT_EQ(searchlist(list, TagSphere, "twin"), nullptr);
    EXPECT_EQ(deletelist(list, TagSphere, "twin"), 0);
    EXPECT_NE(searchlist(list, TagPoint, "twin"), nullptr);
    EXPECT_EQ(isbefore(list, TagSphere, "twin", TagPoint, "twin"), 0);
    EXPECT_EQ(isbefore(list, TagPoint, "twin", TagSphere, "twin"), 1);  // B no longer occurs
    // The name comes back under the same kind: found again, at its new place.
    void* again = record();
    insertlist(list, TagSphere, again, copytext("twin"));
    EXPECT_EQ(searchlist(list, TagSphere, "twin"), again);
    EXPECT_EQ(isbefore(list, TagPoint, "twin", TagSphere, "twin"), 1);
    EXPECT_EQ(total(list), 802);
}

TEST(ListIndex, FollowsEntriesWrittenIntoTheBlocksDirectly)
{
    // Whatever appends or deletes by hand, the index keeps answering like the walk.
    SceneList* list = initlist();
    void* first = record();
    insertlist(list, TagPattern, first, copytext("red"));
    EXPECT_EQ(searchlist(list, TagPattern, "red"), first);  // the index exists from here on

    // Fill the head by hand and chain a second block, as a walk would see it.
    for (int i = list->count; i < ListBlockSize; i++) {
        list->tags[i] = TagPoint;
        list->objects[i] = nullptr;
        list->names[i] = copytext(("p" + std::to_string(i)).c_str());
    }
    list->count = ListBlockSize;
    list->next = initlist();
    void* late = record();
    list->next->tags[0] = TagPattern;
    list->next->objects[0] = late;
    list->next->names[0] = copytext("blue");
    list->next->count = 1;
    EXPECT_EQ(searchlist(list, TagPattern, "blue"), late);
    EXPECT_EQ(isbefore(list, TagPoint, "p255", TagPattern, "blue"), 1);

    list->tags[0] = TagDeleted;
    EXPECT_EQ(searchlist(list, TagPattern, "red"), nullptr);
    EXPECT_EQ(searchtext(list, TagPattern, first), nullptr);

    // insertlist goes on after the hand-made block.
    void* last = record();
    EXPECT_EQ(insertlist(list, TagPattern, last, copytext("red")), 2);
    EXPECT_EQ(list->next->objects[1], last);
    EXPECT_EQ(searchlist(list, TagPattern, "red"), last);
}
