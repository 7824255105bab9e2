// SPDX-License-Identifier: MIT
#include "picture/isolated_decoding.h"

#include "picture/decoded_transfer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// File descriptors of the helper, as quenlo-decode expects them.
constexpr int HelperFirstFree = 10;

// Closes when it goes.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int value) : fd(value) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    // Moved above the numbers the helper's descriptors get, so that setting
    // those up never overwrites one of ours.
    bool Raise()
    {
        if (fd < 0)
            return false;
        if (fd >= HelperFirstFree)
            return true;
        const int raised = fcntl(fd, F_DUPFD_CLOEXEC, HelperFirstFree);
        close(fd);
        fd = raised;
        return fd >= 0;
    }
};

DecodedPicture Refused(std::string reason)
{
    DecodedPicture picture;
    picture.error = std::move(reason);
    return picture;
}

std::string FileKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

std::string HelperPath()
{
    if (const char* chosen = std::getenv(DecoderVariable); chosen != nullptr && *chosen != '\0')
        return chosen;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return DecoderName;
    return (self.parent_path() / DecoderName).string();
}

std::string Damaged(const std::string& why)
{
    return "the file is damaged or not a picture (" + why + ")";
}

std::string SignalText(int signal)
{
    const char* name = sigdescr_np(signal);
    return name != nullptr ? name : "signal " + std::to_string(signal);
}

// Waits for the helper to close its end of the pipe (by exiting) until the
// deadline; true when it did. What it wrote before is in note.
bool AwaitExit(int readEnd, std::chrono::steady_clock::time_point deadline, char& note)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                               std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watch{readEnd, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char buffer[16];
        const ssize_t got = read(readEnd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got > 0)
            note = buffer[got - 1];
        else if (errno != EINTR && errno != EAGAIN)
            return true;
    }
}

} // namespace

DecodedPicture DecodeIsolated(const std::string& path, const DecodeLimits& limits)
{
    // Non-blocking, so that a named pipe put in place of the file cannot stall the open.
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.fd < 0)
        return Refused(std::string("cannot open the file: ") + std::strerror(errno));
    struct stat status {};
    if (fstat(file.fd, &status) != 0)
        return Refused(std::string("cannot open the file: ") + std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return Refused("not a picture file: it is " + FileKind(status.st_mode));
    if (status.st_size == 0)
        return Refused("the file is empty");

    Descriptor memory(memfd_create("quenlo-decoded", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    Descriptor nothing(open("/dev/null", O_RDWR | O_CLOEXEC));
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return Refused(std::string("cannot start the decoder: ") + std::strerror(errno));
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);
    if (!file.Raise() || !memory.Raise() || !nothing.Raise() || !readEnd.Raise() || !writeEnd.Raise())
        return Refused(std::string("cannot start the decoder: ") + std::strerror(errno));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, file.fd, 0);
    posix_spawn_file_actions_adddup2(&actions, nothing.fd, 1);
    posix_spawn_file_actions_adddup2(&actions, nothing.fd, 2);
    posix_spawn_file_actions_adddup2(&actions, memory.fd, 3);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, 4);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The helper starts with default signal handling whatever this program set.
    sigset_t all;
    sigfillset(&all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    const std::string helper = HelperPath();
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string budget = std::to_string(limits.budgetBytes);
    const std::string seconds = std::to_string(limits.seconds);
    char* arguments[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(name.c_str()),
                         const_cast<char*>(budget.c_str()), const_cast<char*>(seconds.c_str()), nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, helper.c_str(), &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return Refused("cannot start the picture decoder " + helper + ": " + std::strerror(spawned));
    close(writeEnd.fd);
    writeEnd.fd = -1;

    char note = 0;
    const bool exited =
        AwaitExit(readEnd.fd, std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds), note);
    if (!exited)
        kill(child, SIGKILL);
    int outcome = 0;
    while (waitpid(child, &outcome, 0) < 0 && errno == EINTR) {
    }

    const std::string overBudget =
        "the picture needs more than " + std::to_string(limits.budgetBytes / MiB) + " MiB to open";
    if (!exited)
        return Refused(Damaged("decoding took longer than " + std::to_string(limits.seconds) + " seconds"));
    if (WIFEXITED(outcome) && WEXITSTATUS(outcome) == 0) {
        DecodedPicture picture = ReadDecodedPicture(memory.fd, limits.budgetBytes);
        // A decoder that gave up when refused memory failed for the budget's sake.
        return picture.bitmap || note != 'M' ? std::move(picture) : Refused(overBudget);
    }
    if (note == 'M')
        return Refused(overBudget);
    if (WIFSIGNALED(outcome) && (WTERMSIG(outcome) == SIGXCPU || WTERMSIG(outcome) == SIGKILL))
        return Refused(Damaged("decoding took longer than " + std::to_string(limits.seconds) +
                               " seconds of processor time"));
    if (WIFSIGNALED(outcome))
        return Refused(Damaged("its decoder failed: " + SignalText(WTERMSIG(outcome))));
    if (WIFEXITED(outcome) && WEXITSTATUS(outcome) == 127)
        return Refused("the picture decoder " + helper + " could not be started");
    return Refused(Damaged("its decoder failed"));
}
