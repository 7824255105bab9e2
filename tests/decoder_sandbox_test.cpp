// SPDX-License-Identifier: MIT
// The decoding helper's lockdown, tried in a forked child: the input stays
// readable through /proc, while other files, programs, processes and the
// network are out of reach and threads still start.
#include "picture/decode_limits.h"
#include "picture/decoder_protocol.h"
#include "picture/decoder_sandbox.h"
#include "picture/sanitized_build.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/capability.h>
#include <spawn.h>
#include <string>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string InputBytes = "picture bytes \x89PNG";
const std::string OtherBytes = "someone else's file";

// Counts the checks a locked-down child makes; its exit code names the first that failed.
class Checks {
public:
    void Expect(bool holds)
    {
        ++m_nCount;
        if (!holds && m_nFirstFailed == 0)
            m_nFirstFailed = m_nCount;
    }
    // A refusal, not a success nor some other fault.
    void ExpectRefused(long result)
    {
        const int error = errno;
        Expect(result == -1 && (error == EACCES || error == EPERM));
    }
    int FirstFailed() const { return m_nFirstFailed; }

private:
    int m_nCount = 0;
    int m_nFirstFailed = 0;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class DecoderSandbox : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(QUENLO_SANITIZED)
        GTEST_SKIP() << "sanitized builds keep only no_new_privs";
#endif
        // A folder per test: the tests run side by side in processes of their own.
        folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "decoder_sandbox" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::ofstream(folder / "input.bin", std::ios::binary) << InputBytes;
        std::ofstream(folder / "other.txt", std::ios::binary) << OtherBytes;
        inputFd = open((folder / "input.bin").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(inputFd, 0);
    }
    void TearDown() override
    {
        if (inputFd >= 0)
            close(inputFd);
    }

    void SkipWithoutLandlock()
    {
        if (LandlockVersion() < 1)
            GTEST_SKIP() << "the kernel offers no Landlock";
    }

    // The wait status of a child that locked itself down on the input and ran the checks.
    template <typename Probe>
    int LockedDownChild(Probe probe)
    {
        const pid_t child = fork();
        if (child == 0) {
            const DecoderLockdown lockdown = LockDownDecoder(inputFd);
            Checks checks;
            probe(lockdown, checks);
            _exit(checks.FirstFailed());
        }
        int status = -1;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    }

    // Zero when every check held, else the number of the first that failed.
    template <typename Probe>
    int FirstFailedCheck(Probe probe)
    {
        const int status = LockedDownChild(probe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + status;
    }

    std::string ProcPath() const { return "/proc/self/fd/" + std::to_string(inputFd); }

    fs::path folder;
    int inputFd = -1;
};

// The lines of a process's status file that say how it is confined.
std::string Confinement(pid_t process)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string confinement;
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("NoNewPrivs:") || line.starts_with("Seccomp:"))
            confinement += line + "\n";
    return confinement;
}

} // namespace

TEST_F(DecoderSandbox, TheHelperDecodesLockedDown)
{
    const fs::path helper = fs::read_symlink("/proc/self/exe").parent_path() / "quenlo-decode";
    const int picture = open(QUENLO_TEST_DATA_DIR "/hostile/rgba.png", O_RDONLY | O_CLOEXEC);
    const int result = memfd_create("sandbox-test-result", MFD_CLOEXEC);
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    int request[2] = {-1, -1};
    ASSERT_TRUE(picture >= 0 && result >= 0 && nothing >= 0 &&
                socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, request) == 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int target : {0, 1, 2})
        posix_spawn_file_actions_adddup2(&actions, nothing, target);
    posix_spawn_file_actions_adddup2(&actions, request[1], RequestDescriptor);
    std::string name = helper.string();
    char* argv[] = {name.data(), nullptr};
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    DecodeRequest decode;
    decode.file = picture;
    decode.memory = result;
    decode.notes = nothing;
    decode.name = "rgba.png";
    decode.budgetBytes = 256 * MiB;
    decode.seconds = 20;
    EXPECT_TRUE(SendDecodeRequest(request[0], decode));
    for (const int fd : {picture, result, nothing, request[0], request[1]})
        close(fd);

    // Left unreaped, the ended helper still shows how it was confined.
    siginfo_t ended{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT), 0);
    const std::string confinement = Confinement(child);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(confinement, "NoNewPrivs:\t1\nSeccomp:\t2\n");
}

TEST_F(DecoderSandbox, EveryLayerTheKernelOffersIsInForceAndTheInputStaysReadable)
{
    const int version = LandlockVersion();
    const std::string path = ProcPath();
    EXPECT_EQ(FirstFailedCheck([&](const DecoderLockdown& lockdown, Checks& checks) {
                  checks.Expect(lockdown.noNewPrivileges && prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) == 1);
                  checks.Expect(lockdown.systemCalls && prctl(PR_GET_SECCOMP, 0, 0, 0, 0) == 2);
                  checks.Expect(lockdown.files == (version >= 1));
                  checks.Expect(lockdown.network == (version >= 4));
                  checks.Expect(lockdown.signals == (version >= 6));
                  // The decoders open it again for every look they take.
                  checks.Expect(ReadAll(path) == InputBytes && ReadAll(path) == InputBytes);
              }),
              0);
}

TEST_F(DecoderSandbox, OpensNoOtherFileAndChangesNone)
{
    SkipWithoutLandlock();
    const std::string input = ProcPath();
    const std::string other = (folder / "other.txt").string();
    const std::string created = (folder / "created.txt").string();
    const std::string where = folder.string();
    EXPECT_EQ(FirstFailedCheck([&](const DecoderLockdown&, Checks& checks) {
                  checks.ExpectRefused(open(input.c_str(), O_RDWR | O_CLOEXEC));
                  checks.ExpectRefused(open(other.c_str(), O_RDONLY | O_CLOEXEC));
                  checks.ExpectRefused(open("/etc/passwd", O_RDONLY | O_CLOEXEC));
                  checks.ExpectRefused(open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                  checks.ExpectRefused(open(created.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
                  checks.ExpectRefused(truncate(other.c_str(), 0));
                  checks.ExpectRefused(unlink(other.c_str()));
                  checks.ExpectRefused(rename(other.c_str(), created.c_str()));
              }),
              0);
    EXPECT_EQ(ReadAll(other), OtherBytes);
    EXPECT_EQ(ReadAll((folder / "input.bin").string()), InputBytes);
    EXPECT_FALSE(fs::exists(created));
}

TEST_F(DecoderSandbox, RefusesProgramsProcessesAndTheNetworkButStartsThreads)
{
    EXPECT_EQ(FirstFailedCheck([](const DecoderLockdown&, Checks& checks) {
                  char program[] = "/bin/true";
                  char* arguments[] = {program, nullptr};
                  checks.ExpectRefused(execve(program, arguments, environ));
                  const pid_t forked = fork();
                  if (forked == 0)
                      _exit(0);
                  checks.ExpectRefused(forked);
                  checks.ExpectRefused(socket(AF_INET, SOCK_STREAM, 0));
                  checks.ExpectRefused(socket(AF_UNIX, SOCK_STREAM, 0));
                  checks.ExpectRefused(memfd_create("sandbox-test", 0));
                  checks.ExpectRefused(kill(getppid(), 0));
                  checks.ExpectRefused(kill(0, 0));
                  checks.Expect(kill(getpid(), 0) == 0);
                  int ran = 0;
                  std::thread worker([&ran] { ran = 1; });
                  worker.join();
                  checks.Expect(ran == 1);
              }),
              0);
}

// Whether no capability is left in any set; asked of the kernel, as Landlock keeps /proc/self/status closed.
bool HoldsNoCapability()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, sets) != 0)
        return false;
    for (const __user_cap_data_struct& set : sets)
        if (set.effective != 0 || set.permitted != 0 || set.inheritable != 0)
            return false;
    int capability = 0;
    for (; prctl(PR_CAPBSET_READ, capability, 0, 0, 0) == 0; ++capability)
        if (prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_IS_SET, capability, 0, 0) != 0)
            return false;
    // The loop ends past the last capability the kernel knows, not at one still bounded.
    return capability > CAP_LAST_CAP / 2 && prctl(PR_CAPBSET_READ, capability, 0, 0, 0) < 0;
}

TEST_F(DecoderSandbox, RunAsRootKeepsNoCapability)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root holds capabilities to give up";
    EXPECT_EQ(FirstFailedCheck([](const DecoderLockdown& lockdown, Checks& checks) {
                  checks.Expect(lockdown.capabilities && HoldsNoCapability());
                  // Still root by id, but without the capabilities that override ownership.
                  checks.ExpectRefused(setuid(1000));
                  checks.ExpectRefused(setgid(1000));
              }),
              0);
}

TEST_F(DecoderSandbox, MayStillAbortItself)
{
    const int status = LockedDownChild([](const DecoderLockdown&, Checks&) { std::abort(); });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
}
