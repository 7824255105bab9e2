// SPDX-License-Identifier: MIT
#include "picture/decoder_processes.h"

#include "picture/decoder_protocol.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

struct Spare {
    std::mutex lock;
    std::optional<DecoderProcess> process;
    std::string helper;
    bool kept = false;
};

Spare& TheSpare()
{
    // Never destroyed: a waiting process ends by itself when this program does.
    static Spare* const spare = new Spare;
    return *spare;
}

// The C library's allocator of the helper without its per-thread cache, so
// that every free passes the checks that find a damaged heap and end the
// process, and with freed memory overwritten, so that a decoder reading it
// after its release reads no stale pixels.
constexpr const char* HeapChecks = "glibc.malloc.tcache_count=0:glibc.malloc.perturb=165";

// This program's environment with the heap checks added to any tunables set.
std::vector<std::string> DecoderEnvironment()
{
    std::vector<std::string> variables;
    bool tunablesSet = false;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string variable = *entry;
        if (variable.starts_with("GLIBC_TUNABLES=")) {
            variable += std::string(variable.size() > 15 ? ":" : "") + HeapChecks;
            tunablesSet = true;
        }
        variables.push_back(std::move(variable));
    }
    if (!tunablesSet)
        variables.push_back(std::string("GLIBC_TUNABLES=") + HeapChecks);
    return variables;
}

std::optional<DecoderProcess> Start(const std::string& helper, std::string& error)
{
    int ends[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        error = std::string("cannot start the decoder: ") + std::strerror(errno);
        return std::nullopt;
    }
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int target : {0, 1, 2})
        posix_spawn_file_actions_adddup2(&actions, nothing, target);
    posix_spawn_file_actions_adddup2(&actions, ends[1], RequestDescriptor);
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
    char* arguments[] = {const_cast<char*>(helper.c_str()), nullptr};
    std::vector<std::string> variables = DecoderEnvironment();
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    pid_t pid = -1;
    const int spawned =
        nothing < 0 ? errno : posix_spawn(&pid, helper.c_str(), &actions, &attributes, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (nothing >= 0)
        close(nothing);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        error = "cannot start the picture decoder " + helper + ": " + std::strerror(spawned);
        return std::nullopt;
    }
    return DecoderProcess{pid, ends[0], false};
}

void Discard(const DecoderProcess& process)
{
    close(process.socket);
    kill(process.pid, SIGKILL);
    while (waitpid(process.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

std::optional<DecoderProcess> TakeDecoderProcess(const std::string& helper, std::string& error)
{
    Spare& spare = TheSpare();
    {
        std::lock_guard<std::mutex> guard(spare.lock);
        std::optional<DecoderProcess> waiting = std::exchange(spare.process, std::nullopt);
        if (waiting && spare.helper == helper)
            return waiting;
        // Started from another helper than the one asked for now.
        if (waiting)
            Discard(*waiting);
    }
    return Start(helper, error);
}

void KeepSpareDecoderProcess(const std::string& helper)
{
    {
        Spare& spare = TheSpare();
        std::lock_guard<std::mutex> guard(spare.lock);
        spare.kept = true;
    }
    ReplaceSpareDecoderProcess(helper);
}

void ReplaceSpareDecoderProcess(const std::string& helper)
{
    Spare& spare = TheSpare();
    std::lock_guard<std::mutex> guard(spare.lock);
    if (!spare.kept || spare.process)
        return;
    std::string error;
    spare.process = Start(helper, error);
    if (spare.process)
        spare.process->spare = true;
    spare.helper = helper;
}

void ReapDecoderProcessLater(pid_t pid)
{
    const auto reap = [pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    };
    try {
        std::thread(reap).detach();
    } catch (const std::system_error&) {
        reap();
    }
}
