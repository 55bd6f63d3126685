// listindex.h - the hash index that keeps the scene list's lookups O(1).
//
// Loading and saving resolve every reference by name or by record, so with a
// plain walk a scene of n objects costs n^2. The index sits beside the list,
// reachable from its head block, and never changes what a lookup answers:
// entries are numbered in list order (block number * 256 + slot), and for
// every key, (tag, name) or (tag, record), it chains the entries with that key
// in list order, so the first live entry of a chain is the walk's first match.
//
// It is built on the first lookup and catches up on every call with the entries
// appended since, so it stays exact however they were appended. Deletion only
// ever turns a tag into 0, never back, so deleted entries are dropped from the
// front of a chain when a lookup meets them (amortised O(1)). Names and record
// pointers of entries are never rewritten in place; the index relies on that.
//
//   listindex(list)                       the list's index, built or brought up to date
//   indexentry(index, n)                  block and slot of entry number n
//   indexlastblock(index)                 the last block of the chain
//   firstbyname(index, tag, name)         number of the first live entry (tag, name), or -1
//   firstbyobject(index, tag, object)     number of the first live entry (tag, object), or -1
//   dropindex(list)                       release the list's index (for whoever frees a list:
//                                         the program never does, tools and tests may)
#pragma once

#include "core/objects.h"

#include <cstdint>

struct ListBlock;

// One key of a table: which entries carry it, first and last in list order.
struct IndexSlot {
    const void* key;  // the name text or the record; null marks a free slot
    uint32_t hash;
    int32_t first;    // -1 once every entry of the key has been deleted
    int32_t last;
    ObjectTag tag;
};

struct KeyTable {
    IndexSlot* slots;
    uint32_t mask;  // slot count - 1, a power of two minus one
    uint32_t used;
};

struct ListIndex {
    ListBlock** blocks;  // the chain by block number
    int32_t blockcount;
    int32_t blockroom;
    int32_t* nextbyname;    // per entry: the next entry with the same (tag, name), or -1
    int32_t* nextbyobject;  // per entry: the next entry with the same (tag, record), or -1
    int32_t entries;        // entries indexed so far
    int32_t entryroom;
    KeyTable names;
    KeyTable objects;
};

struct ListEntry {
    ListBlock* block;
    int slot;
};

ListIndex* listindex(ListBlock* list);
ListEntry indexentry(const ListIndex* index, int32_t n);
ListBlock* indexlastblock(const ListIndex* index);
int32_t firstbyname(ListIndex* index, ObjectTag tag, const char* name);
int32_t firstbyobject(ListIndex* index, ObjectTag tag, const void* object);
void dropindex(ListBlock* list);
