// scenelist.h - the object list of one scene.
//
// An append-only chain of blocks of 256 entries (tag, object, name). Entries
// never move and are never reused: deleting only clears the tag, so list order
// is insertion order, which is also the order the saver writes and the order
// that decides whether one object is defined before another. The list owns
// every object record and name handed to insertlist.
//
// Lookups go through a hash index kept beside the list (core/listindex.h), so
// each costs O(1) expected however long the list grows; they answer exactly as
// a walk in list order would. The index hangs off the head block, after the
// fields of the list itself: a list carries its own index wherever it is
// handed, with no process-wide table to consult or to keep in step when lists
// come and go. The one rule it adds: an entry's name and record pointers are
// written only by insertlist, and a tag only ever changes to 0. With
// ListIndexed false every operation walks the list instead, as it did before
// there was an index: the benchmark measures what the index saves.
//
//   initlist()                          a new empty list (one block, count 0)
//   insertlist(list, tag, obj, name)    append; returns the receiving block's new count
//   searchlist(list, tag, name)         object of the first entry (tag, name), or null
//   deletelist(list, tag, name)         free the first such object, tag it 0; 1 if found
//   searchtext(list, tag, obj)          name of the first entry (tag, obj), or null
//   isbefore(list, tagA, nameA, tagB, nameB)  1 if (A) comes before every (B)
//   FillListbox(list, box, tag)         append the name of every entry with tag to a list box
#pragma once

#include "core/listindex.h"
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
    ListIndex* index;  // head block only, built on first use; null in every other block
};

// A scene list is referred to by its first block.
using SceneList = ListBlock;

extern bool ListIndexed;  // true: lookups through the index (the default); false: plain walks

SceneList* initlist();
int insertlist(SceneList* list, ObjectTag tag, void* object, char* name);
void* searchlist(SceneList* list, ObjectTag tag, const char* name);
int deletelist(SceneList* list, ObjectTag tag, const char* name);
char* searchtext(SceneList* list, ObjectTag tag, const void* object);
int isbefore(SceneList* list, ObjectTag taga, const char* namea, ObjectTag tagb, const char* nameb);
void FillListbox(SceneList* list, WindowHandle listbox, ObjectTag tag);
