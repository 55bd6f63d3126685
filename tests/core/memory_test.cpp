#include "core/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Empties the ring so each test starts from the state at program start.
void resetring()
{
    for (void*& block : Stringmem) {
        std::free(block);
        block = nullptr;
    }
    StringmemFirst = 0;
    StringmemLast = -1;
}

int failures_left = 0;
void* failingheap(size_t size)
{
    if (failures_left > 0) {
        failures_left -= 1;
        return nullptr;
    }
    return std::malloc(size);
}

void* exhaustedheap(size_t)
{
    return nullptr;
}

struct MemoryTest : ::testing::Test {
    void SetUp() override { resetring(); }
    void TearDown() override
    {
        HeapAllocate = std::malloc;
        resetring();
    }
};

}  // namespace

TEST_F(MemoryTest, RingKeepsTheNewest2048AndWrapsAt4096)
{
    void* first = Memory_Str(8);
    for (int i = 1; i < 2048; i++)
        Memory_Str(8);
    EXPECT_EQ(StringmemFirst, 0);
    EXPECT_EQ(StringmemLast, 2047);
    EXPECT_EQ(Stringmem[0], first);

    Memory_Str(8);  // the 2049th frees the first before it allocates
    EXPECT_EQ(StringmemFirst, 1);
    EXPECT_EQ(StringmemLast, 2048);
    EXPECT_EQ(Stringmem[0], Stringmem[2048 % 2048]);

    for (int i = 2049; i < 4096; i++)
        Memory_Str(8);
    EXPECT_EQ(StringmemFirst, 0);
    EXPECT_EQ(StringmemLast, 2047);
    for (void* block : Stringmem)
        EXPECT_NE(block, nullptr);
}

TEST_F(MemoryTest, ExhaustionGivesUpOldestTransientStringsFirst)
{
    for (int i = 0; i < 10; i++)
        Memory_Str(8);
    HeapAllocate = failingheap;
    failures_left = 3;
    void* block = Memory_Str(8);
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(StringmemFirst, 3);
    EXPECT_EQ(StringmemLast, 10);
    EXPECT_EQ(Stringmem[0], nullptr);
    EXPECT_EQ(Stringmem[10], block);
}

TEST_F(MemoryTest, ExhaustionEndsTheRunWithStatusOne)
{
    EXPECT_EXIT(
        {
            Memory_Str(8);
            HeapAllocate = exhaustedheap;
            Memory_Str(8);
        },
        ::testing::ExitedWithCode(1), "ERROR: Memory full! String declaration not possible.");
    EXPECT_EXIT(
        {
            HeapAllocate = exhaustedheap;
            Memory_Gra(100);
        },
        ::testing::ExitedWithCode(1), "ERROR: Memory full! Graphic could not be opened.");
    EXPECT_EXIT(HardError("Error: Window could not be opened."), ::testing::ExitedWithCode(1),
                "ERROR: Error: Window could not be opened.");
}

TEST_F(MemoryTest, CopytextCopiesExactly)
{
    const char* name = "cam_position";
    char* copy = copytext(name);
    EXPECT_STREQ(copy, name);
    EXPECT_NE(copy, name);
    std::free(copy);
}
