#include "core/memory.h"

#include "core/platform.h"

#include <cstdlib>
#include <cstring>

void* Stringmem[StringRingSize] = {};
int32_t StringmemFirst = 0;
int32_t StringmemLast = -1;

HeapFunction HeapAllocate = std::malloc;

void HardError(const char* message)
{
    ShowMessageBox(nullptr, message, "ERROR", BoxOk);
    // A fatal end must not look like success to whoever started us.
    std::exit(1);
}

void* Memory_Gra(size_t size)
{
    // malloc(0) may answer null without being out of memory.
    void* block = HeapAllocate(size ? size : 1);
    if (!block)
        HardError("Memory full! Graphic could not be opened.");
    return block;
}

static void releaseoldest()
{
    std::free(Stringmem[StringmemFirst]);
    Stringmem[StringmemFirst] = nullptr;
    StringmemFirst += 1;
    if (StringmemFirst == StringRingSize) {
        StringmemFirst -= StringRingSize;
        StringmemLast -= StringRingSize;
    }
}

void* Memory_Str(size_t size)
{
    StringmemLast += 1;
    if (StringmemLast == StringmemFirst + StringRingSize)
        releaseoldest();
    void* block;
    while (!(block = HeapAllocate(size ? size : 1))) {
        if (StringmemFirst >= StringmemLast)
            HardError("Memory full! String declaration not possible.");
        releaseoldest();
    }
    Stringmem[StringmemLast % StringRingSize] = block;
    return block;
}

char* copytext(const char* text)
{
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(Memory_Gra(size));
    std::memcpy(copy, text, size);
    return copy;
}
