// SPDX-License-Identifier: MIT
// Locks the decoding helper down in three layers: no new privileges, a
// Landlock domain that opens the input alone, and a seccomp filter that makes
// the calls reaching beyond the process fail with EPERM.
#include "picture/decoder_sandbox.h"
#include "picture/sanitized_build.h"

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <vector>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/landlock.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Rights of later Landlock versions, fixed by the kernel's interface; older
// system headers lack them.
constexpr std::uint64_t FsRightsOfVersion1 = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
constexpr std::uint64_t FsRefer = 1ull << 13;
constexpr std::uint64_t FsTruncate = 1ull << 14;
constexpr std::uint64_t FsIoctlDev = 1ull << 15;
constexpr std::uint64_t NetBindTcp = 1ull << 0;
constexpr std::uint64_t NetConnectTcp = 1ull << 1;
constexpr std::uint64_t ScopeAbstractUnixSocket = 1ull << 0;
constexpr std::uint64_t ScopeSignal = 1ull << 1;

// The kernel reads as much of this as the given size says; later versions grew it.
struct RulesetAttributes {
    std::uint64_t handledAccessFs = 0;
    std::uint64_t handledAccessNet = 0;
    std::uint64_t scoped = 0;
};

#if defined(__NR_landlock_create_ruleset) && defined(__NR_landlock_add_rule) && defined(__NR_landlock_restrict_self)
long CreateRuleset(const RulesetAttributes* attributes, std::size_t size, unsigned flags)
{
    return syscall(__NR_landlock_create_ruleset, attributes, size, flags);
}

[[maybe_unused]] void LockDownLandlock(int inputFd, DecoderLockdown& lockdown)
{
    const int version = LandlockVersion();
    if (version < 1)
        return;
    RulesetAttributes attributes;
    attributes.handledAccessFs = FsRightsOfVersion1 | (version >= 2 ? FsRefer : 0) |
                                 (version >= 3 ? FsTruncate : 0) | (version >= 5 ? FsIoctlDev : 0);
    std::size_t size = offsetof(RulesetAttributes, handledAccessNet);
    if (version >= 4) {
        attributes.handledAccessNet = NetBindTcp | NetConnectTcp;
        size = offsetof(RulesetAttributes, scoped);
    }
    if (version >= 6) {
        attributes.scoped = ScopeAbstractUnixSocket | ScopeSignal;
        size = sizeof attributes;
    }
    const long ruleset = CreateRuleset(&attributes, size, 0);
    if (ruleset < 0)
        return;
    // A rule on a file allows that file alone; reopening the input through /proc resolves to it.
    const landlock_path_beneath_attr input{LANDLOCK_ACCESS_FS_READ_FILE, inputFd};
    const bool restricted = syscall(__NR_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &input, 0) == 0 &&
                            syscall(__NR_landlock_restrict_self, ruleset, 0) == 0;
    close(static_cast<int>(ruleset));
    lockdown.files = restricted;
    lockdown.network = restricted && (attributes.handledAccessNet & (NetBindTcp | NetConnectTcp)) != 0;
    lockdown.signals = restricted && (attributes.scoped & ScopeSignal) != 0;
}
#else
long CreateRuleset(const RulesetAttributes*, std::size_t, unsigned)
{
    errno = ENOSYS;
    return -1;
}

[[maybe_unused]] void LockDownLandlock(int, DecoderLockdown&) {}
#endif

// Classic BPF over struct seccomp_data: number at 0, architecture at 4, arguments from 16.
constexpr std::uint32_t NumberAt = 0;
constexpr std::uint32_t ArchitectureAt = 4;
constexpr std::uint32_t FirstArgumentAt = 16;
constexpr std::uint32_t Allow = SECCOMP_RET_ALLOW;
constexpr std::uint32_t RefusedWith(int error) { return SECCOMP_RET_ERRNO | static_cast<std::uint32_t>(error); }

sock_filter Load(std::uint32_t offset) { return sock_filter{BPF_LD | BPF_W | BPF_ABS, 0, 0, offset}; }
sock_filter Return(std::uint32_t action) { return sock_filter{BPF_RET | BPF_K, 0, 0, action}; }
// Skips `yes` instructions when the loaded word is `value`, `no` otherwise.
sock_filter Jump(std::uint16_t test, std::uint32_t value, std::uint8_t yes, std::uint8_t no)
{
    return sock_filter{static_cast<std::uint16_t>(BPF_JMP | test | BPF_K), yes, no, value};
}
sock_filter JumpIfEqual(std::uint32_t value, std::uint8_t yes, std::uint8_t no) { return Jump(BPF_JEQ, value, yes, no); }

#if defined(__x86_64__)
constexpr std::uint32_t Architecture = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t Architecture = AUDIT_ARCH_AARCH64;
#endif

#if defined(__x86_64__) || defined(__aarch64__)
static_assert(std::endian::native == std::endian::little, "arguments are read by their low word");

// Calls no decoder makes, that reach programs, processes, the network or the kernel's
// wider interfaces.
constexpr long RefusedCalls[] = {
    __NR_execve, __NR_execveat,
#if defined(__NR_fork)
    __NR_fork,
#endif
#if defined(__NR_vfork)
    __NR_vfork,
#endif
    __NR_socket, __NR_socketpair, __NR_connect, __NR_bind, __NR_listen, __NR_accept, __NR_accept4,
    __NR_ptrace, __NR_process_vm_readv, __NR_process_vm_writev, __NR_tkill,
    __NR_mount, __NR_umount2, __NR_unshare, __NR_setns, __NR_chroot, __NR_pivot_root,
    __NR_open_tree, __NR_move_mount, __NR_fsopen, __NR_fsconfig, __NR_fsmount, __NR_fspick,
    __NR_keyctl, __NR_add_key, __NR_request_key, __NR_bpf, __NR_perf_event_open, __NR_userfaultfd,
    __NR_io_uring_setup, __NR_io_uring_enter, __NR_io_uring_register, __NR_memfd_create,
    __NR_init_module, __NR_finit_module, __NR_delete_module, __NR_personality,
    __NR_pidfd_open, __NR_pidfd_getfd, __NR_pidfd_send_signal, __NR_process_madvise,
    __NR_name_to_handle_at, __NR_open_by_handle_at, __NR_mq_open,
    __NR_shmget, __NR_shmat, __NR_shmctl, __NR_msgget, __NR_msgsnd, __NR_msgrcv, __NR_msgctl,
    __NR_semget, __NR_semop, __NR_semctl, __NR_semtimedop,
};

// Signals may go to this process alone: the first argument names the target.
constexpr long SelfSignalCalls[] = {__NR_kill, __NR_tgkill, __NR_rt_sigqueueinfo, __NR_rt_tgsigqueueinfo};

std::vector<sock_filter> SystemCallFilter(pid_t self)
{
    const auto number = [](long call) { return static_cast<std::uint32_t>(call); };
    std::vector<sock_filter> filter{
        Load(ArchitectureAt),
        // Calls of another architecture would bypass the numbers below.
        JumpIfEqual(Architecture, 1, 0),
        Return(RefusedWith(EPERM)),
        Load(NumberAt),
    };
#if defined(__x86_64__)
    // The x32 numbering reaches the same calls under other numbers.
    filter.push_back(Jump(BPF_JGE, __X32_SYSCALL_BIT, 0, 1));
    filter.push_back(Return(RefusedWith(EPERM)));
#endif
    for (const long call : RefusedCalls) {
        filter.push_back(JumpIfEqual(number(call), 0, 1));
        filter.push_back(Return(RefusedWith(EPERM)));
    }
    // clone3 keeps its flags in memory the filter cannot read; ENOSYS sends the C library back to clone.
    filter.push_back(JumpIfEqual(number(__NR_clone3), 0, 1));
    filter.push_back(Return(RefusedWith(ENOSYS)));
    // Threads may start, processes may not; clone's flags are its first argument on these machines.
    filter.push_back(JumpIfEqual(number(__NR_clone), 0, 4));
    filter.push_back(Load(FirstArgumentAt));
    filter.push_back(Jump(BPF_JSET, CLONE_THREAD, 0, 1));
    filter.push_back(Return(Allow));
    filter.push_back(Return(RefusedWith(EPERM)));
    for (const long call : SelfSignalCalls) {
        filter.push_back(JumpIfEqual(number(call), 0, 4));
        filter.push_back(Load(FirstArgumentAt));
        filter.push_back(JumpIfEqual(static_cast<std::uint32_t>(self), 0, 1));
        filter.push_back(Return(Allow));
        filter.push_back(Return(RefusedWith(EPERM)));
    }
    filter.push_back(Return(Allow));
    return filter;
}

[[maybe_unused]] bool LockDownSystemCalls()
{
    std::vector<sock_filter> filter = SystemCallFilter(getpid());
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    return prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
}
#else
[[maybe_unused]] bool LockDownSystemCalls() { return false; }
#endif

} // namespace

int LandlockVersion()
{
    const long version = CreateRuleset(nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return version < 0 ? 0 : static_cast<int>(version);
}

DecoderLockdown LockDownDecoder([[maybe_unused]] int inputFd)
{
    DecoderLockdown lockdown;
    // Also the condition for a filter and a Landlock domain without privileges.
    lockdown.noNewPrivileges = prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
#if !defined(QUENLO_SANITIZED)
    if (lockdown.noNewPrivileges) {
        LockDownLandlock(inputFd, lockdown);
        lockdown.systemCalls = LockDownSystemCalls();
    }
#endif
    return lockdown;
}
