// SPDX-License-Identifier: MIT
// quenlo-decode NAME BUDGET SECONDS: decodes the picture file on standard
// input for the editor and quenlo-inpaint, under the limits given, and puts
// the result into the memory file on descriptor 3. Large blocks are served
// from that file, so the decoded pixels are already in place there.
// Descriptor 4 learns of a refused allocation; it closes when this process
// ends, however it ends.
#include "picture/decoded_transfer.h"
#include "picture/decoder_sandbox.h"
#include "picture/freeimage_messages.h"
#include "picture/picture_decoding.h"
#include "picture/shared_heap.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <malloc.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUENLO_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUENLO_SANITIZED 1
#endif
#endif

namespace {

constexpr int NoteDescriptor = 4;
constexpr int ResultDescriptor = 3;
// The libraries and the decoders' own tables, beyond the picture itself.
constexpr std::uint64_t CodeAllowance = 256ull << 20;

[[maybe_unused]] void NoteRefusedAllocation()
{
    const char note = 'M';
    [[maybe_unused]] const ssize_t ignored = write(NoteDescriptor, &note, 1);
}

void Limit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

} // namespace

#if !defined(QUENLO_SANITIZED)
// Allocations go through here, so that large blocks come from the shared
// heap once it is started, and so that the program can tell a picture too
// large for the budget from a damaged one.
namespace {
constinit SharedHeap* g_sharedHeap = nullptr;

// Large blocks come from the shared heap alone: it holds the budget.
bool Large(std::size_t size)
{
    return g_sharedHeap != nullptr && size >= SharedHeap::LeastBlock;
}

void* Noted(void* memory, bool asked)
{
    if (memory == nullptr && asked)
        NoteRefusedAllocation();
    return memory;
}
} // namespace

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);

void* malloc(std::size_t size)
{
    return Noted(Large(size) ? g_sharedHeap->Allocate(size) : __libc_malloc(size), size != 0);
}

void* calloc(std::size_t count, std::size_t size)
{
    std::size_t total = 0;
    // Blocks of the shared heap start zero-filled.
    if (!__builtin_mul_overflow(count, size, &total) && Large(total))
        return Noted(g_sharedHeap->Allocate(total), true);
    return Noted(__libc_calloc(count, size), count != 0 && size != 0);
}

void free(void* memory)
{
    if (g_sharedHeap && g_sharedHeap->Owns(memory))
        g_sharedHeap->Free(memory);
    else
        __libc_free(memory);
}

void* realloc(void* old, std::size_t size)
{
    const bool shared = g_sharedHeap != nullptr && g_sharedHeap->Owns(old);
    if (!shared && !Large(size))
        return Noted(__libc_realloc(old, size), size != 0);
    if (old == nullptr)
        return malloc(size);
    if (size == 0) {
        free(old);
        return nullptr;
    }
    const std::size_t had = shared ? g_sharedHeap->UsableSize(old) : malloc_usable_size(old);
    if (shared && size <= had)
        return old;
    void* memory = malloc(size);
    if (memory == nullptr)
        return nullptr;
    std::memcpy(memory, old, std::min(had, size));
    free(old);
    return memory;
}
}
#endif

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    // Gone with the program that asked, and never a core file of a damaged picture.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    prctl(PR_SET_DUMPABLE, 0);
    Limit(RLIMIT_CORE, 0, 0);
    const std::uint64_t budget = std::strtoull(argv[2], nullptr, 10);
    const rlim_t seconds = std::strtoul(argv[3], nullptr, 10);
    Limit(RLIMIT_CPU, seconds, seconds + 1);
    std::uint64_t freeFrom = TransferHeadBytes;
#if !defined(QUENLO_SANITIZED)
    // The sanitizers reserve terabytes of address space for themselves.
    Limit(RLIMIT_AS, budget + CodeAllowance, budget + CodeAllowance);
    // The large blocks take the budget, within the address space allowed.
    static SharedHeap* const heap = new SharedHeap;
    if (heap->Start(ResultDescriptor, TransferHeadBytes, (budget + 4095) / 4096 * 4096)) {
        g_sharedHeap = heap;
        freeFrom = heap->FileEnd();
    }
#endif

    RouteFreeImageMessages();
    LockDownDecoder(STDIN_FILENO);
    const DecodedPicture picture = DecodePictureFile("/proc/self/fd/0", argv[1], budget);
    std::optional<std::uint64_t> pixelsAt;
#if !defined(QUENLO_SANITIZED)
    if (FIBITMAP* dib = picture.bitmap.get(); dib != nullptr && g_sharedHeap != nullptr)
        pixelsAt = g_sharedHeap->FileOffset(FreeImage_GetBits(dib),
                                            static_cast<std::uint64_t>(FreeImage_GetPitch(dib)) * FreeImage_GetHeight(dib));
#endif
    // Gone without freeing: the pixels must stay in the file for the program.
    _exit(WriteDecodedPicture(ResultDescriptor, picture, freeFrom, pixelsAt) ? 0 : 1);
}
