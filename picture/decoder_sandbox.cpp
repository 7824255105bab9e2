// SPDX-License-Identifier: MIT
// Locks the decoding helper down in four layers: no new privileges nor
// capabilities, a Landlock domain that opens the input alone, and a seccomp
// filter that makes the calls reaching beyond the process fail with EPERM.
#include "picture/decoder_sandbox.h"
#include "picture/sanitized_build.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <linux/capability.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
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

// Calls no decoder makes, that reach programs, processes, the network or the kernel's
// wider interfaces; every other call is allowed. Refused with EPERM.
constexpr int RefusedCalls[] = {
    SCMP_SYS(execve), SCMP_SYS(execveat), SCMP_SYS(fork), SCMP_SYS(vfork),
    SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(connect), SCMP_SYS(bind), SCMP_SYS(listen),
    SCMP_SYS(accept), SCMP_SYS(accept4),
    SCMP_SYS(ptrace), SCMP_SYS(process_vm_readv), SCMP_SYS(process_vm_writev), SCMP_SYS(tkill),
    SCMP_SYS(mount), SCMP_SYS(umount2), SCMP_SYS(unshare), SCMP_SYS(setns), SCMP_SYS(chroot),
    SCMP_SYS(pivot_root), SCMP_SYS(open_tree), SCMP_SYS(move_mount), SCMP_SYS(fsopen), SCMP_SYS(fsconfig),
    SCMP_SYS(fsmount), SCMP_SYS(fspick),
    SCMP_SYS(keyctl), SCMP_SYS(add_key), SCMP_SYS(request_key), SCMP_SYS(bpf), SCMP_SYS(perf_event_open),
    SCMP_SYS(userfaultfd), SCMP_SYS(io_uring_setup), SCMP_SYS(io_uring_enter), SCMP_SYS(io_uring_register),
    SCMP_SYS(memfd_create),
    SCMP_SYS(init_module), SCMP_SYS(finit_module), SCMP_SYS(delete_module), SCMP_SYS(personality),
    SCMP_SYS(pidfd_open), SCMP_SYS(pidfd_getfd), SCMP_SYS(pidfd_send_signal), SCMP_SYS(process_madvise),
    SCMP_SYS(name_to_handle_at), SCMP_SYS(open_by_handle_at), SCMP_SYS(mq_open),
    SCMP_SYS(shmget), SCMP_SYS(shmat), SCMP_SYS(shmctl), SCMP_SYS(msgget), SCMP_SYS(msgsnd), SCMP_SYS(msgrcv),
    SCMP_SYS(msgctl), SCMP_SYS(semget), SCMP_SYS(semop), SCMP_SYS(semctl), SCMP_SYS(semtimedop),
};

// Signals may go to this process alone: the first argument names the target.
constexpr int SelfSignalCalls[] = {SCMP_SYS(kill), SCMP_SYS(tgkill), SCMP_SYS(rt_sigqueueinfo),
                                   SCMP_SYS(rt_tgsigqueueinfo)};

// Releases the filter's context when it goes.
struct FilterContext {
    scmp_filter_ctx context = seccomp_init(SCMP_ACT_ALLOW);
    ~FilterContext()
    {
        if (context != nullptr)
            seccomp_release(context);
    }
};

[[maybe_unused]] bool LockDownSystemCalls()
{
    const FilterContext filter;
    scmp_filter_ctx context = filter.context;
    if (context == nullptr)
        return false;
    const std::uint32_t refused = SCMP_ACT_ERRNO(EPERM);
    // Calls of another architecture, x32's among them, would bypass the numbers below.
    bool built = seccomp_attr_set(context, SCMP_FLTATR_ACT_BADARCH, refused) == 0;
    for (const int call : RefusedCalls)
        built = built && seccomp_rule_add(context, refused, call, 0) == 0;
    // clone3 keeps its flags in memory the filter cannot read; ENOSYS sends the C library back to clone.
    built = built && seccomp_rule_add(context, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
    // Threads may start, processes may not.
    built = built && seccomp_rule_add(context, refused, SCMP_SYS(clone), 1,
                                      SCMP_A0_32(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)) == 0;
    const auto self = static_cast<std::uint32_t>(getpid());
    for (const int call : SelfSignalCalls)
        built = built && seccomp_rule_add(context, refused, call, 1, SCMP_A0_32(SCMP_CMP_NE, self)) == 0;
    return built && seccomp_load(context) == 0;
}

// Gives up every capability, which a helper run by root holds. The bounding
// set goes first, as dropping from it takes a capability about to go; without
// that one it is left, and no_new_privs keeps a program from using it.
bool DropCapabilities()
{
    for (int capability = 0; prctl(PR_CAPBSET_READ, capability, 0, 0, 0) >= 0; ++capability)
        if (prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0 && errno != EPERM)
            return false;
    // Kernels before ambient capabilities have none to clear.
    if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    return syscall(SYS_capset, &header, none) == 0;
}

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
    lockdown.capabilities = DropCapabilities();
#if !defined(QUENLO_SANITIZED)
    if (lockdown.noNewPrivileges) {
        LockDownLandlock(inputFd, lockdown);
        lockdown.systemCalls = LockDownSystemCalls();
    }
#endif
    return lockdown;
}
