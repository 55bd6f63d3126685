#include "core/listindex.h"

#include "core/memory.h"
#include "core/scenelist.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t FirstTableSize = 64;
constexpr int32_t FirstEntryRoom = ListBlockSize;
constexpr int32_t FirstBlockRoom = 8;

uint32_t mix(uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return uint32_t(h);
}

uint32_t namehash(ObjectTag tag, const char* name)
{
    uint64_t h = 14695981039346656037ULL ^ tag;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c; c++)
        h = (h ^ *c) * 1099511628211ULL;
    return mix(h);
}

uint32_t objecthash(ObjectTag tag, const void* object)
{
    return mix(uint64_t(reinterpret_cast<uintptr_t>(object)) ^ uint64_t(tag) << 56);
}

// Grows an array of `room` items of `size` bytes, keeping the first `used`.
void* grown(void* old, size_t used, size_t room, size_t size)
{
    void* bigger = Memory_Gra(room * size);
    if (used)
        std::memcpy(bigger, old, used * size);
    std::free(old);
    return bigger;
}

KeyTable newtable(uint32_t size)
{
    KeyTable table;
    table.slots = static_cast<IndexSlot*>(Memory_Gra(size * sizeof(IndexSlot)));
    std::memset(table.slots, 0, size * sizeof(IndexSlot));
    table.mask = size - 1;
    table.used = 0;
    return table;
}

// The slot holding the key, or the free slot where it would go.
IndexSlot* findslot(const KeyTable* table, ObjectTag tag, const void* key, uint32_t hash, bool byname)
{
    for (uint32_t i = hash & table->mask;; i = (i + 1) & table->mask) {
        IndexSlot* slot = &table->slots[i];
        if (!slot->key)
            return slot;
        if (slot->hash == hash && slot->tag == tag &&
            (byname ? std::strcmp(static_cast<const char*>(slot->key), static_cast<const char*>(key)) == 0
                    : slot->key == key))
            return slot;
    }
}

// Keys are never removed, so doubling only re-places the slots in use.
void growtable(KeyTable* table)
{
    const KeyTable old = *table;
    *table = newtable((old.mask + 1) * 2);
    for (uint32_t i = 0; i <= old.mask; i++) {
        const IndexSlot& slot = old.slots[i];
        if (!slot.key)
            continue;
        uint32_t j = slot.hash & table->mask;
        while (table->slots[j].key)
            j = (j + 1) & table->mask;
        table->slots[j] = slot;
    }
    table->used = old.used;
    std::free(old.slots);
}

// Entries arrive in list order, so appending keeps every chain in list order.
void chain(KeyTable* table, int32_t* next, ObjectTag tag, const void* key, uint32_t hash, bool byname,
           int32_t n)
{
    if ((table->used + 1) * 2 > table->mask + 1)
        growtable(table);
    IndexSlot* slot = findslot(table, tag, key, hash, byname);
    if (!slot->key) {
        *slot = IndexSlot{key, hash, -1, -1, tag};
        table->used += 1;
    }
    if (slot->first < 0)
        slot->first = n;
    else
        next[slot->last] = n;
    slot->last = n;
    next[n] = -1;
}

void addentry(ListIndex* index, const ListBlock* block, int i)
{
    const int32_t n = index->entries;
    if (n == index->entryroom) {
        const int32_t room = index->entryroom * 2;
        index->nextbyname = static_cast<int32_t*>(grown(index->nextbyname, size_t(n), size_t(room), sizeof(int32_t)));
        index->nextbyobject = static_cast<int32_t*>(grown(index->nextbyobject, size_t(n), size_t(room), sizeof(int32_t)));
        index->entryroom = room;
    }
    index->nextbyname[n] = -1;
    index->nextbyobject[n] = -1;
    const ObjectTag tag = block->tags[i];
    // Entries that no lookup can match stay out of the tables.
    if (tag != TagDeleted && block->names[i])
        chain(&index->names, index->nextbyname, tag, block->names[i], namehash(tag, block->names[i]), true, n);
    if (tag != TagDeleted && block->objects[i])
        chain(&index->objects, index->nextbyobject, tag, block->objects[i], objecthash(tag, block->objects[i]),
              false, n);
    index->entries = n + 1;
}

void addblock(ListIndex* index, ListBlock* block)
{
    if (index->blockcount == index->blockroom) {
        index->blockroom *= 2;
        index->blocks = static_cast<ListBlock**>(
            grown(index->blocks, size_t(index->blockcount), size_t(index->blockroom), sizeof(ListBlock*)));
    }
    index->blocks[index->blockcount++] = block;
}

// Indexes what was appended since the last call: the rest of the last known
// block, then any blocks chained after it.
void catchup(ListIndex* index)
{
    for (;;) {
        ListBlock* block = index->blocks[index->blockcount - 1];
        for (int i = index->entries - (index->blockcount - 1) * ListBlockSize; i < block->count; i++)
            addentry(index, block, i);
        if (block->count < ListBlockSize || !block->next)
            return;
        addblock(index, block->next);
    }
}

ListIndex* newindex(ListBlock* list)
{
    ListIndex* index = static_cast<ListIndex*>(Memory_Gra(sizeof(ListIndex)));
    index->blockroom = FirstBlockRoom;
    index->blocks = static_cast<ListBlock**>(Memory_Gra(FirstBlockRoom * sizeof(ListBlock*)));
    index->blocks[0] = list;
    index->blockcount = 1;
    index->entryroom = FirstEntryRoom;
    index->nextbyname = static_cast<int32_t*>(Memory_Gra(FirstEntryRoom * sizeof(int32_t)));
    index->nextbyobject = static_cast<int32_t*>(Memory_Gra(FirstEntryRoom * sizeof(int32_t)));
    index->entries = 0;
    index->names = newtable(FirstTableSize);
    index->objects = newtable(FirstTableSize);
    return index;
}

// The first entry of the slot's chain that is still alive; deleted ones met
// on the way are dropped for good, since a tag never comes back from 0.
int32_t firstlive(const ListIndex* index, IndexSlot* slot, const int32_t* next)
{
    int32_t n = slot->first;
    while (n >= 0) {
        const ListEntry entry = indexentry(index, n);
        if (entry.block->tags[entry.slot] == slot->tag)
            break;
        n = next[n];
    }
    slot->first = n;
    if (n < 0)
        slot->last = -1;
    return n;
}

}  // namespace

ListIndex* listindex(ListBlock* list)
{
    if (!list->index)
        list->index = newindex(list);
    catchup(list->index);
    return list->index;
}

void dropindex(ListBlock* list)
{
    ListIndex* index = list->index;
    if (!index)
        return;
    std::free(index->blocks);
    std::free(index->nextbyname);
    std::free(index->nextbyobject);
    std::free(index->names.slots);
    std::free(index->objects.slots);
    std::free(index);
    list->index = nullptr;
}

ListEntry indexentry(const ListIndex* index, int32_t n)
{
    return ListEntry{index->blocks[n / ListBlockSize], int(n % ListBlockSize)};
}

ListBlock* indexlastblock(const ListIndex* index)
{
    return index->blocks[index->blockcount - 1];
}

int32_t firstbyname(ListIndex* index, ObjectTag tag, const char* name)
{
    if (tag == TagDeleted || !name)
        return -1;
    IndexSlot* slot = findslot(&index->names, tag, name, namehash(tag, name), true);
    return slot->key ? firstlive(index, slot, index->nextbyname) : -1;
}

int32_t firstbyobject(ListIndex* index, ObjectTag tag, const void* object)
{
    if (tag == TagDeleted || !object)
        return -1;
    IndexSlot* slot = findslot(&index->objects, tag, object, objecthash(tag, object), false);
    return slot->key ? firstlive(index, slot, index->nextbyobject) : -1;
}
