// scenelist.h - the object list of one scene.
//
// An append-only chain of blocks of 256 entries (tag, object, name). Entries
// never move and are never reused: deleting only clears the tag, so list order
// is insertion order, which is also the order the saver writes and the order
// that decides whether one object is defined before another. The list owns
// every object record and name handed to insertlist.
//
//   initlist()                          a new empty list (one block, count 0)
//   insertlist(list, tag, obj, name)    append; returns the receiving block's new count
//   searchlist(list, tag, name)         object of the first entry (tag, name), or null
//   deletelist(list, tag, name)         free the first such object, tag it 0; 1 if found
//   searchtext(list, tag, obj)          name of the first entry (tag, obj), or null
//   isbefore(list, tagA, nameA, tagB, nameB)  1 if (A) comes before every (B)
//   FillListbox(list, box, tag)         append the name of every entry with tag to a list box
#pragma once

#include "core/objects.h"
#include "core/platform.h"

#include <cstdint>

constexpr int ListBlockSize = 256;

struct ListBlock {
    ListBlock* next;
    uint8_t tags[ListBlockSize];
    void* objects[ListBlockSize];
    char* names[ListBlockSize];
    int16_t count;
};

// A scene list is referred to by its first block.
using SceneList = ListBlock;

SceneList* initlist();
int insertlist(SceneList* list, ObjectTag tag, void* object, char* name);
void* searchlist(SceneList* list, ObjectTag tag, const char* name);
int deletelist(SceneList* list, ObjectTag tag, const char* name);
char* searchtext(SceneList* list, ObjectTag tag, const void* object);
int isbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb);
void FillListbox(SceneList* list, WindowHandle listbox, ObjectTag tag);
