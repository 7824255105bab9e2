// SPDX-License-Identifier: MIT
#include "cli/worker_processes.h"

#include "cli/one_line.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

struct Running {
    std::size_t index;
    pid_t pid;
    int errorsFd; // read end of the worker's stderr
    std::string errors;
};

// Starts one worker in a process group of its own, so that Ctrl+C on the
// terminal reaches only the driver, which then ends the workers itself.
bool Start(const std::string& program, const std::vector<std::string>& arguments, std::size_t index,
           std::vector<Running>& running, std::string& error)
{
    int errorsPipe[2];
    if (pipe2(errorsPipe, O_CLOEXEC) != 0) {
        error = std::string("cannot start a worker: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&files, errorsPipe[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    // Signals the driver's caller may have ignored take their usual effect.
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    close(errorsPipe[1]);
    if (failed != 0) {
        close(errorsPipe[0]);
        error = "cannot start " + program + ": " + std::strerror(failed);
        return false;
    }
    running.push_back(Running{index, pid, errorsPipe[0], {}});
    return true;
}

int WaitFor(pid_t pid)
{
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

} // namespace

void RunWorkers(const std::string& program, const std::vector<std::vector<std::string>>& argumentLists,
                int parallel, const WorkerCallbacks& callbacks, const volatile std::sig_atomic_t* stop, int wakeFd)
{
    std::vector<Running> running;
    std::size_t next = 0;
    bool ending = false;
    while (true) {
        if (*stop >= 2 && !ending) {
            ending = true;
            for (const Running& worker : running)
                kill(worker.pid, SIGTERM);
        }
        while (*stop == 0 && next < argumentLists.size() && static_cast<int>(running.size()) < parallel) {
            std::string error;
            if (!Start(program, argumentLists[next], next, running, error) && callbacks.finished)
                callbacks.finished(FinishedWorker{next, ExitCannotStart, "quenlo-inpaint: " + OneLine(error) + "\n"});
            ++next;
        }
        if (running.empty())
            return;

        std::vector<pollfd> waits;
        for (const Running& worker : running)
            waits.push_back(pollfd{worker.errorsFd, POLLIN, 0});
        waits.push_back(pollfd{wakeFd, POLLIN, 0});
        const int ready = poll(waits.data(), waits.size(), 1000);
        if (ready <= 0) {
            if (callbacks.tick)
                callbacks.tick();
            continue;
        }
        if (waits.back().revents != 0) {
            char drained[64];
            while (read(wakeFd, drained, sizeof drained) > 0) {
            }
            if (callbacks.tick)
                callbacks.tick();
        }
        for (std::size_t i = running.size(); i-- > 0;) {
            if (waits[i].revents == 0)
                continue;
            Running& worker = running[i];
            char buffer[4096];
            const ssize_t count = read(worker.errorsFd, buffer, sizeof buffer);
            if (count > 0) {
                worker.errors.append(buffer, static_cast<std::size_t>(count));
                continue;
            }
            if (count < 0 && errno == EINTR)
                continue;
            // End of its stderr: the worker has ended.
            close(worker.errorsFd);
            FinishedWorker finished{worker.index, WaitFor(worker.pid), std::move(worker.errors)};
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            if (callbacks.finished)
                callbacks.finished(finished);
        }
    }
}
