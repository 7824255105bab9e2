// SPDX-License-Identifier: MIT
// quenlo-decode NAME BUDGET SECONDS: decodes the picture file on standard
// input for the editor and quenlo-inpaint, under the limits given, and puts
// the result into the memory file on descriptor 3. Descriptor 4 learns of a
// refused allocation; it closes when this process ends, however it ends.
#include "picture/decoded_transfer.h"
#include "picture/freeimage_messages.h"
#include "picture/picture_decoding.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
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
// Allocations go through here, so that the program can tell a picture too
// large for the budget from a damaged one.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);

void* malloc(std::size_t size)
{
    void* memory = __libc_malloc(size);
    if (memory == nullptr && size != 0)
        NoteRefusedAllocation();
    return memory;
}

void* calloc(std::size_t count, std::size_t size)
{
    void* memory = __libc_calloc(count, size);
    if (memory == nullptr && count != 0 && size != 0)
        NoteRefusedAllocation();
    return memory;
}

void* realloc(void* old, std::size_t size)
{
    void* memory = __libc_realloc(old, size);
    if (memory == nullptr && size != 0)
        NoteRefusedAllocation();
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
#if !defined(QUENLO_SANITIZED)
    // The sanitizers reserve terabytes of address space for themselves.
    Limit(RLIMIT_AS, budget + CodeAllowance, budget + CodeAllowance);
#endif

    RouteFreeImageMessages();
    const DecodedPicture picture = DecodePictureFile("/proc/self/fd/0", argv[1], budget);
    return WriteDecodedPicture(ResultDescriptor, picture) ? 0 : 1;
}
