#include "core/scenelist.h"

#include "core/memory.h"

#include <cstdlib>
#include <cstring>

bool ListIndexed = true;

// The plain walks, for ListIndexed false. A deleted entry never matches, not
// even when tag 0 is asked for: its record has been freed.
static bool matches(const ListBlock* block, int i, ObjectTag tag, const char* name)
{
    return tag != TagDeleted && block->tags[i] == tag && block->names[i] && std::strcmp(block->names[i], name) == 0;
}

static ListEntry walkname(SceneList* list, ObjectTag tag, const char* name)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (matches(block, i, tag, name))
                return ListEntry{block, i};
    return ListEntry{nullptr, 0};
}

static ListEntry walkobject(SceneList* list, ObjectTag tag, const void* object)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (tag != TagDeleted && block->tags[i] == tag && block->objects[i] == object)
                return ListEntry{block, i};
    return ListEntry{nullptr, 0};
}

static int walkbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++) {
            if (nameb && matches(block, i, tagb, nameb))
                return 0;
            if (matches(block, i, taga, namea))
                return 1;
        }
    return 0;
}

// The first entry (tag, name) in list order: block null when there is none.
static ListEntry findname(SceneList* list, ObjectTag tag, const char* name)
{
    if (!ListIndexed)
        return walkname(list, tag, name);
    ListIndex* index = listindex(list);
    const int32_t n = firstbyname(index, tag, name);
    return n < 0 ? ListEntry{nullptr, 0} : indexentry(index, n);
}

SceneList* initlist()
{
    ListBlock* block = static_cast<ListBlock*>(Memory_Gra(sizeof(ListBlock)));
    block->next = nullptr;
    block->count = 0;
    block->index = nullptr;
    return block;
}

// Every block but the last is full, so the last block known to the index is
// where a walk from the head would end up.
int insertlist(SceneList* list, ObjectTag tag, void* object, char* name)
{
    ListBlock* block = list;
    if (ListIndexed)
        block = indexlastblock(listindex(list));
    while (block->count == ListBlockSize) {
        if (!block->next)
            block->next = initlist();
        block = block->next;
    }
    block->tags[block->count] = tag;
    block->objects[block->count] = object;
    block->names[block->count] = name;
    block->count += 1;
    return block->count;
}

void* searchlist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!list || !name)
        return nullptr;
    const ListEntry entry = findname(list, tag, name);
    return entry.block ? entry.block->objects[entry.slot] : nullptr;
}

int deletelist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!list || !name || tag == TagDeleted)
        return 0;
    const ListEntry entry = findname(list, tag, name);
    if (!entry.block)
        return 0;
    // Only the record goes: corners, colour cells and shared records stay.
    std::free(entry.block->objects[entry.slot]);
    entry.block->tags[entry.slot] = TagDeleted;
    return 1;
}

char* searchtext(SceneList* list, ObjectTag tag, const void* object)
{
    if (!list || !object)
        return nullptr;
    ListEntry entry = {nullptr, 0};
    if (!ListIndexed) {
        entry = walkobject(list, tag, object);
    } else {
        ListIndex* index = listindex(list);
        const int32_t n = firstbyobject(index, tag, object);
        if (n >= 0)
            entry = indexentry(index, n);
    }
    return entry.block ? entry.block->names[entry.slot] : nullptr;
}

// B wins a tie: a pair is not before itself.
int isbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb)
{
    if (!list || !namea)
        return 0;
    if (!ListIndexed)
        return walkbefore(list, taga, namea, tagb, nameb);
    ListIndex* index = listindex(list);
    const int32_t a = firstbyname(index, taga, namea);
    if (a < 0)
        return 0;
    const int32_t b = firstbyname(index, tagb, nameb);
    return b < 0 || a < b ? 1 : 0;
}

void FillListbox(SceneList* list, WindowHandle listbox, ObjectTag tag)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (block->tags[i] == tag && block->names[i])
                AppendListLine(listbox, block->names[i]);
}
