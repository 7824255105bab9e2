// SPDX-License-Identifier: MIT
// quenlo-decode: started ahead of need by the editor and quenlo-inpaint, it
// waits for one request on descriptor 3, then decodes the picture file sent,
// under the limits sent, into the memory file sent. Large blocks are served
// from that file, so the decoded pixels are already in place there. The note
// pipe hears how it goes and closes when this process ends, however it ends.
#include "picture/decode_time_budget.h"
#include "picture/decoded_transfer.h"
#include "picture/decoder_protocol.h"
#include "picture/decoder_sandbox.h"
#include "picture/freeimage_messages.h"
#include "picture/picture_decoding.h"
#include "picture/sanitized_build.h"
#include "picture/shared_heap.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <malloc.h>
#include <sanitizer/asan_interface.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Where the request's descriptors go once taken.
constexpr int InputDescriptor = 0;
constexpr int ResultDescriptor = 3;
constexpr int NoteDescriptor = 4;
// The libraries and the decoders' own tables, beyond the picture itself.
constexpr std::uint64_t CodeAllowance = 256ull << 20;

[[maybe_unused]] void NoteBlock(std::uint64_t offset, std::uint64_t size)
{
    WriteBlockNote(NoteDescriptor, offset, size);
}

// Puts the request's descriptors where the rest of this process expects
// them, closing the copies received.
bool TakeDescriptors(DecodeRequest& request)
{
    // Above the targets first, so that no move overwrites a descriptor still to be moved.
    for (int* fd : {&request.file, &request.memory, &request.notes}) {
        const int raised = fcntl(*fd, F_DUPFD_CLOEXEC, 10);
        close(*fd);
        *fd = raised;
    }
    const bool moved = request.file >= 0 && request.memory >= 0 && request.notes >= 0 &&
                       dup2(request.file, InputDescriptor) == InputDescriptor &&
                       dup2(request.memory, ResultDescriptor) == ResultDescriptor &&
                       dup2(request.notes, NoteDescriptor) == NoteDescriptor;
    for (const int fd : {request.file, request.memory, request.notes})
        close(fd);
    return moved;
}

void Limit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

// The time this decoding may take, counted from the request on, as far as
// this file can need it; the limit the program sent stays the bound.
class DecodeClock {
public:
    DecodeClock(std::uint64_t fileBytes, std::uint32_t limitSeconds)
        : m_fileBytes(fileBytes), m_limit(static_cast<int>(std::min<std::uint32_t>(limitSeconds, 86400))),
          m_start(std::chrono::steady_clock::now())
    {
    }

    // Gives the decoder what a file of its size claiming this many pixels
    // may take, on the processor and on the wall clock, and tells the program.
    void Allow(long long claimedPixels) const
    {
        const int seconds = DecodeSecondsFor(m_fileBytes, claimedPixels, m_limit);
        // Processor time counts from this process's start, a moment before the request.
        Limit(RLIMIT_CPU, static_cast<rlim_t>(seconds), static_cast<rlim_t>(m_limit) + 1);
        // Bounded even when the program that asked is gone; the program ends it at `seconds` itself.
        const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_start);
        const long long left = std::max<long long>(seconds * 1000000LL + 1000000LL - spent.count(), 1000);
        itimerval timer{};
        timer.it_value.tv_sec = static_cast<time_t>(left / 1000000);
        timer.it_value.tv_usec = static_cast<suseconds_t>(left % 1000000);
        setitimer(ITIMER_REAL, &timer, nullptr);
        WriteSecondsNote(NoteDescriptor, static_cast<std::uint32_t>(seconds));
    }

private:
    std::uint64_t m_fileBytes;
    int m_limit;
    std::chrono::steady_clock::time_point m_start;
};

std::uint64_t InputBytes()
{
    struct stat status {};
    return fstat(InputDescriptor, &status) == 0 && status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

} // namespace

// Allocations go through here, so that large blocks come from the shared
// heap once it is started, and so that the program can tell a picture too
// large for the budget from a damaged one. The rest go to the C library's
// allocator, or under the sanitizers to theirs, so that they check them.
// ThreadSanitizer's runtime allocates before it can trace calls: the hooks and
// what they call on the way to its allocator stay uninstrumented.
#define ALLOCATION_HOOK __attribute__((no_sanitize("thread")))

extern "C" {
#if defined(QUENLO_SANITIZED)
void* __interceptor_malloc(std::size_t size);
void* __interceptor_calloc(std::size_t count, std::size_t size);
void* __interceptor_realloc(void* memory, std::size_t size);
void __interceptor_free(void* memory);
#else
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);
#endif
}

namespace {
#if defined(QUENLO_SANITIZED)
ALLOCATION_HOOK void* OrdinaryMalloc(std::size_t size) { return __interceptor_malloc(size); }
ALLOCATION_HOOK void* OrdinaryCalloc(std::size_t count, std::size_t size) { return __interceptor_calloc(count, size); }
ALLOCATION_HOOK void* OrdinaryRealloc(void* memory, std::size_t size) { return __interceptor_realloc(memory, size); }
ALLOCATION_HOOK void OrdinaryFree(void* memory) { __interceptor_free(memory); }
#else
ALLOCATION_HOOK void* OrdinaryMalloc(std::size_t size) { return __libc_malloc(size); }
ALLOCATION_HOOK void* OrdinaryCalloc(std::size_t count, std::size_t size) { return __libc_calloc(count, size); }
ALLOCATION_HOOK void* OrdinaryRealloc(void* memory, std::size_t size) { return __libc_realloc(memory, size); }
ALLOCATION_HOOK void OrdinaryFree(void* memory) { __libc_free(memory); }
#endif

constinit SharedHeap* g_sharedHeap = nullptr;

// Large blocks come from the shared heap alone: it holds the budget.
ALLOCATION_HOOK bool Large(std::size_t size)
{
    return g_sharedHeap != nullptr && size >= SharedHeap::LeastBlock;
}

// Under AddressSanitizer the bytes of a shared block past those asked for are
// poisoned, so that a decoder running past its block is caught there too.
ALLOCATION_HOOK void* Fenced(void* memory, std::size_t size)
{
    if (memory != nullptr)
        ASAN_POISON_MEMORY_REGION(static_cast<char*>(memory) + size, g_sharedHeap->UsableSize(memory) - size);
    return memory;
}

// Whole again before the block is copied from, resized or given back for reuse.
ALLOCATION_HOOK void Unfenced(void* memory)
{
    ASAN_UNPOISON_MEMORY_REGION(memory, g_sharedHeap->UsableSize(memory));
}

ALLOCATION_HOOK void* Noted(void* memory, bool asked)
{
    if (memory == nullptr && asked)
        WriteNote(NoteDescriptor, DecoderNote::RefusedMemory);
    return memory;
}
} // namespace

extern "C" {
ALLOCATION_HOOK void* malloc(std::size_t size)
{
    return Noted(Large(size) ? Fenced(g_sharedHeap->Allocate(size), size) : OrdinaryMalloc(size), size != 0);
}

ALLOCATION_HOOK void* calloc(std::size_t count, std::size_t size)
{
    std::size_t total = 0;
    // Blocks of the shared heap start zero-filled.
    if (!__builtin_mul_overflow(count, size, &total) && Large(total))
        return Noted(Fenced(g_sharedHeap->Allocate(total), total), true);
    return Noted(OrdinaryCalloc(count, size), count != 0 && size != 0);
}

ALLOCATION_HOOK void free(void* memory)
{
    if (g_sharedHeap && g_sharedHeap->Owns(memory)) {
        Unfenced(memory);
        g_sharedHeap->Free(memory);
    } else
        OrdinaryFree(memory);
}

ALLOCATION_HOOK void* realloc(void* old, std::size_t size)
{
    const bool shared = g_sharedHeap != nullptr && g_sharedHeap->Owns(old);
    if (!shared && !Large(size))
        return Noted(OrdinaryRealloc(old, size), size != 0);
    if (old == nullptr)
        return malloc(size);
    if (size == 0) {
        free(old);
        return nullptr;
    }
    const std::size_t had = shared ? g_sharedHeap->UsableSize(old) : malloc_usable_size(old);
    if (shared && size <= had) {
        Unfenced(old);
        return Fenced(old, size);
    }
    void* memory = malloc(size);
    if (memory == nullptr)
        return nullptr;
    if (shared)
        Unfenced(old);
    std::memcpy(memory, old, std::min(had, size));
    free(old);
    return memory;
}
}

int main(int argc, char**)
{
    if (argc != 1)
        return 2;
    // Never a core file of a damaged picture.
    prctl(PR_SET_DUMPABLE, 0);
    Limit(RLIMIT_CORE, 0, 0);
    DecodeRequest request;
    // Closed without a request: the program needs no more pictures.
    if (!ReceiveDecodeRequest(RequestDescriptor, request) || !TakeDescriptors(request))
        _exit(0);
    // Only what the request gave: nothing else of the program's reaches the decoders.
    close_range(NoteDescriptor + 1, ~0U, 0);
    WriteNote(NoteDescriptor, DecoderNote::Received);
    const std::uint64_t budget = request.budgetBytes;
    // Until the header is read, the file's size alone says how long it may take.
    const DecodeClock clock(InputBytes(), request.seconds);
    clock.Allow(0);
    // Before any thread starts: the lockdown holds for the threads started after it.
    LockDownDecoder(STDIN_FILENO);
    std::uint64_t freeFrom = TransferHeadBytes();
    // The sanitizers reserve terabytes of address space for themselves.
#if !defined(QUENLO_SANITIZED)
    Limit(RLIMIT_AS, budget + CodeAllowance, budget + CodeAllowance);
#endif
    // The large blocks take the budget, within the address space allowed.
    static SharedHeap* const heap = new SharedHeap;
    const std::uint64_t page = PageBytes();
    if (heap->Start(ResultDescriptor, TransferHeadBytes(), (budget + page - 1) / page * page, NoteBlock)) {
        g_sharedHeap = heap;
        freeFrom = heap->FileEnd();
    }

    RouteFreeImageMessages();
    const DecodedPicture picture = DecodePictureFile("/proc/self/fd/0", request.name, budget,
                                                     [&clock](long long claimedPixels) { clock.Allow(claimedPixels); });
    std::optional<std::uint64_t> pixelsAt;
    if (FIBITMAP* dib = picture.bitmap.get(); dib != nullptr && g_sharedHeap != nullptr)
        pixelsAt = g_sharedHeap->FileOffset(FreeImage_GetBits(dib),
                                            static_cast<std::uint64_t>(FreeImage_GetPitch(dib)) * FreeImage_GetHeight(dib));
    const bool written = WriteDecodedPicture(ResultDescriptor, picture, freeFrom, pixelsAt);
    // The program goes on without waiting for this process to unmap its pages.
    if (written)
        WriteNote(NoteDescriptor, DecoderNote::Done);
    // Gone without freeing: the pixels must stay in the file for the program.
    _exit(written ? 0 : 1);
}
