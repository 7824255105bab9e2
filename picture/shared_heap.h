// SPDX-License-Identifier: MIT
// Large blocks of the decoding process, served from a shared memory file, so
// that the decoded pixels already lie where the program maps them from and
// are never copied. Used by the helper's allocation hooks: it calls no
// allocator itself and starts out empty, serving nothing until Start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <pthread.h>
#include <semaphore.h>

class SharedHeap {
public:
    // Blocks smaller than this stay on the ordinary heap.
    static constexpr std::size_t LeastBlock = 1 << 20;

    constexpr SharedHeap() = default;
    SharedHeap(const SharedHeap&) = delete;
    SharedHeap& operator=(const SharedHeap&) = delete;
    ~SharedHeap();

    // Told of every block handed out, with its place in the memory file.
    using BlockNote = void (*)(std::uint64_t fileOffset, std::uint64_t size);

    // Serves blocks from bytes [offset, offset + size) of the memory file fd,
    // which grows to hold them; offset and size are whole pages.
    bool Start(int fd, std::uint64_t offset, std::uint64_t size, BlockNote noteBlock = nullptr);

    // A block of at least size bytes, zero-filled, or null when size is below
    // LeastBlock or the heap has no room left.
    void* Allocate(std::size_t size);
    // Whether memory is a block of this heap.
    bool Owns(const void* memory) const;
    // The bytes a block of this heap can hold.
    std::size_t UsableSize(const void* memory) const;
    // Gives a block back; its pages go back to the system at once.
    void Free(void* memory);

    // Where bytes [address, address + size) lie in the memory file, when
    // they lie in one block of this heap.
    std::optional<std::uint64_t> FileOffset(const void* address, std::uint64_t size) const;
    // The first byte of the memory file past the heap.
    std::uint64_t FileEnd() const { return m_fileOffset + m_size; }

private:
    struct Extent {
        std::uint64_t start; // from the heap's first byte
        std::uint64_t size;
    };
    static constexpr int MaxExtents = 256;

    // Backs pages on threads of their own beside the caller's, since
    // backing shared pages one by one is most of a large block's cost.
    struct Backer {
        pthread_t thread{};
        sem_t work{};
        sem_t done{};
        unsigned char* start = nullptr;
        std::uint64_t size = 0;
    };
    static constexpr int MaxBackers = 3;
    static void* Back(void* backer);
    void StartBackers();
    void BackPages(unsigned char* start, std::uint64_t size);

    std::uint64_t BlockSize(const void* memory) const;
    void AddFree(std::uint64_t start, std::uint64_t size);

    mutable pthread_mutex_t m_lock = PTHREAD_MUTEX_INITIALIZER;
    unsigned char* m_base = nullptr;
    int m_fd = -1;
    std::uint64_t m_fileOffset = 0;
    std::uint64_t m_size = 0;
    // Free space in address order, every page of it zero and unbacked.
    Extent m_free[MaxExtents]{};
    int m_freeCount = 0;
    BlockNote m_noteBlock = nullptr;
    Backer m_backers[MaxBackers];
    int m_backerCount = 0;
};
