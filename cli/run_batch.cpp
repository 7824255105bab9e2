// SPDX-License-Identifier: MIT
#include "cli/run_batch.h"

#include "cli/batch_plan.h"
#include "cli/batch_progress.h"
#include "cli/one_line.h"
#include "cli/single_run_arguments.h"
#include "cli/worker_processes.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <limits.h>
#include <sstream>

namespace {

volatile std::sig_atomic_t stopRequested = 0;
int wakeWrite = -1;

void RequestStop(int)
{
    stopRequested = stopRequested + 1;
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = write(wakeWrite, &byte, 1);
}

// Ctrl+C, a hang-up or a termination request stop the run, a second one
// also the pictures under way; the previous handlers come back at the end.
class StopSignals {
public:
    explicit StopSignals(int wakeFd)
    {
        stopRequested = 0;
        wakeWrite = wakeFd;
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &action, &m_previous[i]);
    }
    ~StopSignals()
    {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &m_previous[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_previous[std::size(Signals)] {};
};

std::string ThisProgram(const char* fallback)
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string(fallback);
}

int CoreCount()
{
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(1, CPU_COUNT(&cores));
    return std::max(1L, sysconf(_SC_NPROCESSORS_ONLN));
}

// The one-picture command line for item: the batch's options with the
// item's files, so every single-picture option reaches the worker.
std::vector<std::string> WorkerArguments(const CliOptions& options, const BatchItem& item, int threads)
{
    CliOptions single;
    single.input = item.input;
    single.output = item.output;
    (options.maskDir.empty() ? single.overlay : single.mask) = item.marks;
    single.method = options.method;
    single.patchSize = options.patchSize;
    single.smoothSeam = options.smoothSeam;
    single.threads = threads;
    single.scanMargin = options.scanMargin;
    single.quiet = true;
    single.eightBitOutput = options.eightBitOutput;
    single.autoOrient = options.autoOrient;
    single.jpegQuality = options.jpegQuality;
    single.force = options.force;
    single.memoryBudget = options.memoryBudget;
    return SingleRunArguments(single);
}

// Each line the worker wrote, or a line of our own when it ended without one.
void ReportFailure(std::ostream& err, const BatchItem& item, const FinishedWorker& worker)
{
    std::istringstream lines(worker.errors);
    bool said = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            err << line << '\n';
            said = true;
        }
    }
    if (!said)
        err << "quenlo-inpaint: " << OneLine(item.input) << ": stopped with status " << worker.status << '\n';
}

// A worker that ran quietly says on stderr that it ignored guide lines.
bool IgnoredGuides(const FinishedWorker& worker)
{
    return worker.errors.find("ignored by the patches method") != std::string::npos;
}

} // namespace

ExitStatus RunBatch(const CliOptions& options, const char* program, std::ostream& out, std::ostream& err)
{
    CliFailure failure;
    const std::optional<std::vector<BatchItem>> items = PlanBatch(options, failure);
    if (!items) {
        err << "quenlo-inpaint: " << OneLine(failure.message) << '\n';
        return failure.status;
    }
    std::size_t failed = 0;
    std::size_t skipped = 0;
    std::vector<std::size_t> workable;
    for (std::size_t i = 0; i < items->size(); ++i) {
        if ((*items)[i].skipped) {
            ++skipped;
        } else if ((*items)[i].problem.empty()) {
            workable.push_back(i);
        } else {
            err << "quenlo-inpaint: " << OneLine((*items)[i].problem) << '\n';
            ++failed;
        }
    }

    const int cores = CoreCount();
    const int parallel = std::max(1, std::min(options.jobs > 0 ? options.jobs : cores,
                                              static_cast<int>(std::min<std::size_t>(workable.size(), MaxThreads))));
    // Fewer pictures than cores: the spare cores go to the engines' threads.
    const int threads = options.threads > 0 ? options.threads : std::max(1, cores / parallel);
    std::vector<std::vector<std::string>> argumentLists;
    for (const std::size_t i : workable)
        argumentLists.push_back(WorkerArguments(options, (*items)[i], threads));

    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        err << "quenlo-inpaint: cannot set up the run\n";
        return ExitWriteFailed;
    }
    const bool showProgress = !options.quiet && isatty(STDERR_FILENO);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    std::size_t finished = 0;
    std::size_t written = 0;
    std::size_t guidesIgnored = 0;
    const auto showLine = [&] {
        if (showProgress)
            err << '\r' << ProgressLine(finished, items->size(), elapsed()) << "\x1b[K" << std::flush;
    };
    const auto clearLine = [&] {
        if (showProgress)
            err << "\r\x1b[K";
    };
    finished = failed + skipped;
    showLine();
    bool announcedStop = false;
    WorkerCallbacks callbacks;
    callbacks.tick = [&] {
        if (stopRequested == 1 && !announcedStop) {
            announcedStop = true;
            clearLine();
            err << "quenlo-inpaint: stopping once the pictures under way are written; "
                   "Ctrl+C again stops them at once\n";
        }
        showLine();
    };
    callbacks.finished = [&](const FinishedWorker& worker) {
        ++finished;
        if (worker.status == ExitDone) {
            ++written;
            guidesIgnored += IgnoredGuides(worker) ? 1 : 0;
        } else if (!stopRequested || worker.status < 128) {
            clearLine();
            ReportFailure(err, (*items)[workable[worker.index]], worker);
            ++failed;
        }
        showLine();
    };
    {
        StopSignals signals(wake[1]);
        RunWorkers(ThisProgram(program), argumentLists, parallel, callbacks, &stopRequested, wake[0]);
    }
    close(wake[0]);
    close(wake[1]);
    clearLine();

    if (stopRequested) {
        err << "quenlo-inpaint: interrupted: " << written << " of " << items->size()
            << " pictures written, the others left as they were\n";
        return ExitInterrupted;
    }
    // Said once for the run, not once per picture.
    if (guidesIgnored > 0)
        err << "quenlo-inpaint: the guide lines of " << guidesIgnored
            << (guidesIgnored == 1 ? " picture were" : " pictures were") << " ignored by the patches method\n";
    const std::string skippedText = skipped > 0 ? ", " + std::to_string(skipped) + " left as they were" : "";
    if (failed > 0) {
        err << "quenlo-inpaint: " << failed << " of " << items->size() << " pictures failed, " << written
            << " written to " << options.outputDir << skippedText << '\n';
        return ExitSomeFailed;
    }
    if (!options.quiet)
        out << written << (written == 1 ? " picture" : " pictures") << " written to " << options.outputDir << " in " << ClockText(elapsed())
            << skippedText << '\n';
    return ExitDone;
}
