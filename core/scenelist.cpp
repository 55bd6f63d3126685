#include "core/scenelist.h"

#include "core/memory.h"

#include <cstdlib>
#include <cstring>

SceneList* initlist()
{
    ListBlock* block = static_cast<ListBlock*>(Memory_Gra(sizeof(ListBlock)));
    block->next = nullptr;
    block->count = 0;
    return block;
}

int insertlist(SceneList* list, ObjectTag tag, void* object, char* name)
{
    ListBlock* block = list;
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

// A deleted entry never matches, not even when tag 0 is asked for: its object
// has been freed.
static bool matches(const ListBlock* block, int i, ObjectTag tag, const char* name)
{
    return tag != TagDeleted && block->tags[i] == tag && block->names[i] &&
           std::strcmp(block->names[i], name) == 0;
}

void* searchlist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!name)
        return nullptr;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (matches(block, i, tag, name))
                return block->objects[i];
    return nullptr;
}

int deletelist(SceneList* list, ObjectTag tag, const char* name)
{
    if (!name || tag == TagDeleted)
        return 0;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (matches(block, i, tag, name)) {
                // Only the record goes: corners, colour cells and shared records stay.
                std::free(block->objects[i]);
                block->tags[i] = TagDeleted;
                return 1;
            }
    return 0;
}

char* searchtext(SceneList* list, ObjectTag tag, const void* object)
{
    if (!object || tag == TagDeleted)
        return nullptr;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (block->tags[i] == tag && block->objects[i] == object)
                return block->names[i];
    return nullptr;
}

int isbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb)
{
    if (!namea)
        return 0;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++) {
            // B first: a pair equal to itself is not before itself.
            if (nameb && matches(block, i, tagb, nameb))
                return 0;
            if (matches(block, i, taga, namea))
                return 1;
        }
    return 0;
}

void FillListbox(SceneList* list, WindowHandle listbox, ObjectTag tag)
{
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            if (block->tags[i] == tag && block->names[i])
                AppendListLine(listbox, block->names[i]);
}
