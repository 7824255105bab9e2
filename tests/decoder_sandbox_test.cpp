// SPDX-License-Identifier: MIT
// The decoding helper's lockdown, tried in a forked child: the input stays
// readable through /proc, while other files, programs, processes and the
// network are out of reach and threads still start.
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
#include <string>
#include <sys/prctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
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
    if (!file)
        return "(cannot open)";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class DecoderSandbox : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(QUENLO_SANITIZED)
        GTEST_SKIP() << "sanitized builds keep only no_new_privs";
#endif
        folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "decoder_sandbox";
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

} // namespace

TEST_F(DecoderSandbox, EveryLayerTheKernelOffersIsInForce)
{
    const int version = LandlockVersion();
    EXPECT_EQ(FirstFailedCheck([version](const DecoderLockdown& lockdown, Checks& checks) {
                  checks.Expect(lockdown.noNewPrivileges && prctl(PR_GET_NO_NEW_PRIVS, 0, 0, 0, 0) == 1);
                  checks.Expect(lockdown.systemCalls && prctl(PR_GET_SECCOMP, 0, 0, 0, 0) == 2);
                  checks.Expect(lockdown.files == (version >= 1));
                  checks.Expect(lockdown.network == (version >= 4));
                  checks.Expect(lockdown.signals == (version >= 6));
              }),
              0);
}

TEST_F(DecoderSandbox, ReadsTheInputAgainAndAgainThroughProc)
{
    const std::string path = ProcPath();
    EXPECT_EQ(FirstFailedCheck([&path](const DecoderLockdown&, Checks& checks) {
                  checks.Expect(ReadAll(path) == InputBytes);
                  checks.Expect(ReadAll(path) == InputBytes);
                  const int again = open(path.c_str(), O_RDONLY | O_CLOEXEC);
                  char first = 0;
                  checks.Expect(again >= 0 && read(again, &first, 1) == 1 && first == InputBytes[0]);
                  // Reading it is all: the input is not to be changed.
                  checks.ExpectRefused(open(path.c_str(), O_RDWR | O_CLOEXEC));
              }),
              0);
}

TEST_F(DecoderSandbox, RefusesToOpenAnyOtherFileOrFolder)
{
    SkipWithoutLandlock();
    const std::string other = (folder / "other.txt").string();
    const std::string where = folder.string();
    EXPECT_EQ(FirstFailedCheck([&](const DecoderLockdown&, Checks& checks) {
                  checks.ExpectRefused(open(other.c_str(), O_RDONLY | O_CLOEXEC));
                  checks.ExpectRefused(open("/etc/passwd", O_RDONLY | O_CLOEXEC));
                  checks.ExpectRefused(open("/proc/self/maps", O_RDONLY | O_CLOEXEC));
                  checks.ExpectRefused(open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                  checks.ExpectRefused(open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
              }),
              0);
}

TEST_F(DecoderSandbox, RefusesToCreateChangeOrDeleteFiles)
{
    SkipWithoutLandlock();
    const std::string other = (folder / "other.txt").string();
    const std::string created = (folder / "created.txt").string();
    const std::string made = (folder / "made").string();
    const std::string moved = (folder / "moved.txt").string();
    EXPECT_EQ(FirstFailedCheck([&](const DecoderLockdown&, Checks& checks) {
                  checks.ExpectRefused(open(created.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
                  checks.ExpectRefused(open(other.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
                  checks.ExpectRefused(truncate(other.c_str(), 0));
                  checks.ExpectRefused(unlink(other.c_str()));
                  checks.ExpectRefused(rename(other.c_str(), moved.c_str()));
                  checks.ExpectRefused(mkdir(made.c_str(), 0700));
                  checks.ExpectRefused(symlink(other.c_str(), moved.c_str()));
              }),
              0);
    EXPECT_EQ(ReadAll((folder / "other.txt").string()), OtherBytes);
    EXPECT_EQ(ReadAll((folder / "input.bin").string()), InputBytes);
    EXPECT_FALSE(fs::exists(created));
    EXPECT_FALSE(fs::exists(made));
    EXPECT_FALSE(fs::exists(moved));
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
                  int pair[2];
                  checks.ExpectRefused(socketpair(AF_UNIX, SOCK_STREAM, 0, pair));
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

TEST_F(DecoderSandbox, MayStillAbortItself)
{
    const int status = LockedDownChild([](const DecoderLockdown&, Checks&) { std::abort(); });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
}
