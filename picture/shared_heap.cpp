// SPDX-License-Identifier: MIT
#include "picture/shared_heap.h"

#include "picture/page_size.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Each block starts with its size, padded so that what follows is aligned as malloc's is.
constexpr std::uint64_t HeadBytes = 16;
// Below this a block is backed by the caller alone: handing work over costs more than it saves.
constexpr std::uint64_t SharedBackingBytes = 8ull << 20;
// Backers' stacks: they only call madvise.
constexpr std::size_t BackerStack = 64 << 10;

std::uint64_t RoundToPage(std::uint64_t size)
{
    const std::uint64_t page = PageBytes();
    return (size + page - 1) / page * page;
}

// Locked while it is in scope.
class Lock {
public:
    explicit Lock(pthread_mutex_t& mutex) : m_mutex(mutex) { pthread_mutex_lock(&m_mutex); }
    ~Lock() { pthread_mutex_unlock(&m_mutex); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    pthread_mutex_t& m_mutex;
};

} // namespace

SharedHeap::~SharedHeap()
{
    for (int i = 0; i < m_backerCount; ++i) {
        // Nothing to back: the backer ends.
        m_backers[i].start = nullptr;
        sem_post(&m_backers[i].work);
        pthread_join(m_backers[i].thread, nullptr);
        sem_destroy(&m_backers[i].work);
        sem_destroy(&m_backers[i].done);
    }
    if (m_base != nullptr)
        munmap(m_base, m_size);
}

bool SharedHeap::Start(int fd, std::uint64_t offset, std::uint64_t size, BlockNote noteBlock)
{
    Lock lock(m_lock);
    if (m_base != nullptr || size == 0 || offset % PageBytes() != 0 || size % PageBytes() != 0 || offset + size < offset)
        return false;
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    if (static_cast<std::uint64_t>(status.st_size) < offset + size &&
        ftruncate(fd, static_cast<off_t>(offset + size)) != 0)
        return false;
    void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, static_cast<off_t>(offset));
    if (base == MAP_FAILED)
        return false;
    m_base = static_cast<unsigned char*>(base);
    m_fd = fd;
    m_fileOffset = offset;
    m_size = size;
    m_free[0] = {0, size};
    m_freeCount = 1;
    m_noteBlock = noteBlock;
    StartBackers();
    return true;
}

void SharedHeap::StartBackers()
{
    cpu_set_t cpus;
    const int processors = sched_getaffinity(0, sizeof cpus, &cpus) == 0 ? CPU_COUNT(&cpus) : 1;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, BackerStack);
    for (int i = 0; i < std::min(processors - 1, MaxBackers); ++i) {
        Backer& backer = m_backers[m_backerCount];
        sem_init(&backer.work, 0, 0);
        sem_init(&backer.done, 0, 0);
        if (pthread_create(&backer.thread, &attributes, Back, &backer) != 0)
            break;
        ++m_backerCount;
    }
    pthread_attr_destroy(&attributes);
}

void* SharedHeap::Back(void* argument)
{
    auto& backer = *static_cast<Backer*>(argument);
    for (;;) {
        while (sem_wait(&backer.work) != 0) {
        }
        if (backer.start == nullptr)
            return nullptr;
        madvise(backer.start, backer.size, MADV_POPULATE_WRITE);
        sem_post(&backer.done);
    }
}

void SharedHeap::BackPages(unsigned char* start, std::uint64_t size)
{
    const int helpers = size >= SharedBackingBytes ? m_backerCount : 0;
    // Whole pages each, the caller's share first.
    const std::uint64_t page = PageBytes();
    const std::uint64_t share = (size / page / static_cast<std::uint64_t>(helpers + 1)) * page;
    for (int i = 0; i < helpers; ++i) {
        Backer& backer = m_backers[i];
        backer.start = start + share * static_cast<std::uint64_t>(i + 1);
        backer.size = i + 1 == helpers ? size - share * static_cast<std::uint64_t>(helpers) : share;
        sem_post(&backer.work);
    }
    madvise(start, helpers > 0 ? share : size, MADV_POPULATE_WRITE);
    for (int i = 0; i < helpers; ++i)
        while (sem_wait(&m_backers[i].done) != 0) {
        }
}

void* SharedHeap::Allocate(std::size_t size)
{
    if (size < LeastBlock || size > m_size)
        return nullptr;
    const std::uint64_t need = RoundToPage(size + HeadBytes);
    Lock lock(m_lock);
    for (int i = 0; i < m_freeCount; ++i) {
        Extent& extent = m_free[i];
        if (extent.size < need)
            continue;
        unsigned char* block = m_base + extent.start;
        extent.start += need;
        extent.size -= need;
        if (extent.size == 0) {
            std::memmove(&m_free[i], &m_free[i + 1], sizeof(Extent) * static_cast<std::size_t>(m_freeCount - i - 1));
            --m_freeCount;
        }
        std::memcpy(block, &need, sizeof need);
        // Backed in one go: cheaper than a fault on every page as the block is first written.
        BackPages(block, need);
        if (m_noteBlock != nullptr)
            m_noteBlock(m_fileOffset + static_cast<std::uint64_t>(block - m_base), need);
        return block + HeadBytes;
    }
    return nullptr;
}

bool SharedHeap::Owns(const void* memory) const
{
    const auto* bytes = static_cast<const unsigned char*>(memory);
    return m_base != nullptr && bytes >= m_base + HeadBytes && bytes < m_base + m_size;
}

std::uint64_t SharedHeap::BlockSize(const void* memory) const
{
    std::uint64_t size = 0;
    std::memcpy(&size, static_cast<const unsigned char*>(memory) - HeadBytes, sizeof size);
    return size;
}

std::size_t SharedHeap::UsableSize(const void* memory) const
{
    return static_cast<std::size_t>(BlockSize(memory) - HeadBytes);
}

void SharedHeap::Free(void* memory)
{
    unsigned char* block = static_cast<unsigned char*>(memory) - HeadBytes;
    const std::uint64_t start = static_cast<std::uint64_t>(block - m_base);
    const std::uint64_t size = BlockSize(memory);
    Lock lock(m_lock);
    // Only space whose pages went back is reused, so every block starts zero-filled.
    if (fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(m_fileOffset + start),
                  static_cast<off_t>(size)) == 0)
        AddFree(start, size);
}

void SharedHeap::AddFree(std::uint64_t start, std::uint64_t size)
{
    int at = 0;
    while (at < m_freeCount && m_free[at].start < start)
        ++at;
    const bool joinsBefore = at > 0 && m_free[at - 1].start + m_free[at - 1].size == start;
    const bool joinsAfter = at < m_freeCount && start + size == m_free[at].start;
    if (joinsBefore && joinsAfter) {
        m_free[at - 1].size += size + m_free[at].size;
        std::memmove(&m_free[at], &m_free[at + 1], sizeof(Extent) * static_cast<std::size_t>(m_freeCount - at - 1));
        --m_freeCount;
    } else if (joinsBefore) {
        m_free[at - 1].size += size;
    } else if (joinsAfter) {
        m_free[at].start = start;
        m_free[at].size += size;
    } else if (m_freeCount < MaxExtents) {
        std::memmove(&m_free[at + 1], &m_free[at], sizeof(Extent) * static_cast<std::size_t>(m_freeCount - at));
        m_free[at] = {start, size};
        ++m_freeCount;
    }
    // With the table full the space stays unused: lost room, never a wrong block.
}

std::optional<std::uint64_t> SharedHeap::FileOffset(const void* address, std::uint64_t size) const
{
    if (!Owns(address))
        return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(address);
    Lock lock(m_lock);
    // The block holding address: the one whose head lies last at or before it.
    std::uint64_t blockStart = 0;
    const std::uint64_t target = static_cast<std::uint64_t>(bytes - m_base);
    while (blockStart < m_size) {
        bool isFree = false;
        for (int i = 0; i < m_freeCount; ++i)
            if (m_free[i].start == blockStart) {
                isFree = true;
                blockStart += m_free[i].size;
                break;
            }
        if (isFree)
            continue;
        const std::uint64_t blockSize = BlockSize(m_base + blockStart + HeadBytes);
        if (blockSize == 0)
            return std::nullopt;
        if (target < blockStart + blockSize) {
            if (target < blockStart + HeadBytes || size > blockStart + blockSize - target)
                return std::nullopt;
            return m_fileOffset + target;
        }
        blockStart += blockSize;
    }
    return std::nullopt;
}
