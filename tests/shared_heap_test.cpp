// SPDX-License-Identifier: MIT
// The decoding process's heap in shared memory: large blocks only, zero-filled,
// found again in the memory file, their pages given back and their room reused.
#include "picture/shared_heap.h"

#include "picture/page_size.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t MiB = 1 << 20;
const std::uint64_t HeapOffset = PageBytes();

std::uint64_t BackedBytes(int fd)
{
    struct stat status {};
    fstat(fd, &status);
    return static_cast<std::uint64_t>(status.st_blocks) * 512;
}

class SharedHeapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fd = memfd_create("heap-test", MFD_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(heap.Start(fd, HeapOffset, 8 * MiB));
    }
    void TearDown() override { close(fd); }

    int fd = -1;
    SharedHeap heap;
};

} // namespace

TEST_F(SharedHeapTest, ServesLargeZeroFilledBlocksThatLieInTheFile)
{
    EXPECT_EQ(heap.Allocate(SharedHeap::LeastBlock - 1), nullptr);
    EXPECT_EQ(heap.FileEnd(), HeapOffset + 8 * MiB);

    auto* block = static_cast<unsigned char*>(heap.Allocate(3 * MiB));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(heap.Owns(block));
    EXPECT_GE(heap.UsableSize(block), 3 * MiB);
    EXPECT_EQ(block[0] | block[3 * MiB - 1], 0);
    std::memcpy(block + 1000, "pixels", 6);

    const std::optional<std::uint64_t> offset = heap.FileOffset(block + 1000, 6);
    ASSERT_TRUE(offset);
    char stored[6] = {};
    ASSERT_EQ(pread(fd, stored, sizeof stored, static_cast<off_t>(*offset)), 6);
    EXPECT_EQ(std::memcmp(stored, "pixels", 6), 0);
    // Bytes running past their block, or outside the heap, are not in place.
    EXPECT_FALSE(heap.FileOffset(block + 1000, heap.UsableSize(block)));
    EXPECT_FALSE(heap.FileOffset(stored, 1));
    EXPECT_FALSE(heap.Owns(stored));
}

TEST_F(SharedHeapTest, FreedBlocksGiveTheirPagesBackAndTheirRoomAgain)
{
    auto* first = static_cast<unsigned char*>(heap.Allocate(3 * MiB));
    auto* second = static_cast<unsigned char*>(heap.Allocate(3 * MiB));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    std::memset(first, 0xAB, 3 * MiB);
    std::memset(second, 0xCD, 3 * MiB);
    EXPECT_EQ(heap.Allocate(3 * MiB), nullptr) << "only 8 MiB in all";

    const std::uint64_t backed = BackedBytes(fd);
    heap.Free(first);
    EXPECT_LE(BackedBytes(fd), backed - 3 * MiB);

    // The room comes back zero-filled, and joined to its free neighbours.
    auto* again = static_cast<unsigned char*>(heap.Allocate(2 * MiB));
    ASSERT_EQ(again, first);
    EXPECT_EQ(again[0] | again[2 * MiB - 1], 0);
    heap.Free(again);
    heap.Free(second);
    auto* whole = static_cast<unsigned char*>(heap.Allocate(7 * MiB));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole[5 * MiB], 0);
    EXPECT_TRUE(heap.FileOffset(whole + 5 * MiB, MiB));
}
