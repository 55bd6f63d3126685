// memory.h - allocation and the one fatal-error report.
//
//   Memory_Gra(size)  long-lived block (records, names, arrays, images); free() releases it
//   Memory_Str(size)  transient text; valid until 2048 further Memory_Str blocks exist
//   HardError(text)   box captioned "ERROR", then the process ends with status 1
//
// No caller tests an allocation: exhaustion ends the run through HardError.
// The StringRing keeps the live transient strings, oldest first; its globals
// are declared here because Memory_Str owns them.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t StringRingSize = 2048;

extern void* Stringmem[StringRingSize];  // the live transient strings, by slot
extern int32_t StringmemFirst;           // slot of the oldest live string, 0..2047
extern int32_t StringmemLast;            // running number of the newest, -1..4095

// The heap both allocators draw from; tests replace it to simulate exhaustion.
using HeapFunction = void* (*)(size_t size);
extern HeapFunction HeapAllocate;

[[noreturn]] void HardError(const char* message);
void* Memory_Gra(size_t size);
void* Memory_Str(size_t size);
// A Memory_Gra copy of text, strlen + 1 bytes.
char* copytext(const char* text);
