#include "core/scenelist.h"

#include "core/memory.h"

#include <cstdlib>

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
    ListBlock* block = indexlastblock(listindex(list));
    if (block->count == ListBlockSize) {
        block->next = initlist();
        block = block->next;
    }
    block->tags[block->count] = tag;
    block->objects[block->count] = object;
    block->names[block->count] = name;
    block->count += 1;
    return block->count;
}

// Deleted entries never match, not even when tag 0 is asked for: their records
// have been freed. The index keeps them out.
void* searchlist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!list || !name)
        return nullptr;
    ListIndex* index = listindex(list);
    const int32_t n = firstbyname(index, tag, name);
    if (n < 0)
        return nullptr;
    const ListEntry entry = indexentry(index, n);
    return entry.block->objects[entry.slot];
}

int deletelist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!list || !name || tag == TagDeleted)
        return 0;
    ListIndex* index = listindex(list);
    const int32_t n = firstbyname(index, tag, name);
    if (n < 0)
        return 0;
    const ListEntry entry = indexentry(index, n);
    // Only the record goes: corners, colour cells and shared records stay.
    std::free(entry.block->objects[entry.slot]);
    entry.block->tags[entry.slot] = TagDeleted;
    return 1;
}

char* searchtext(SceneList* list, ObjectTag tag, const void* object)
{
    if (!list || !object)
        return nullptr;
    ListIndex* index = listindex(list);
    const int32_t n = firstbyobject(index, tag, object);
    if (n < 0)
        return nullptr;
    const ListEntry entry = indexentry(index, n);
    return entry.block->names[entry.slot];
}

// B wins a tie: a pair is not before itself.
int isbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb)
{
    if (!list || !namea)
        return 0;
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
