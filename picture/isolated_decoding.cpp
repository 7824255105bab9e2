// SPDX-License-Identifier: MIT
#include "picture/isolated_decoding.h"

#include "picture/decoded_transfer.h"
#include "picture/decoder_processes.h"
#include "picture/decoder_protocol.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

// What the decoding process said on its note pipe.
struct Notes {
    bool received = false;
    bool refusedMemory = false;
    bool done = false;
    int seconds = 0; // the time the decoder gave itself for this file, 0 until it says
    std::string pending; // the start of a note still being read
};

// Takes the notes in bytes; blocks the decoder backed are mapped at once.
void TakeNotes(Notes& notes, const char* bytes, std::size_t size, PremappedBlocks& premapped)
{
    notes.pending.append(bytes, size);
    std::size_t at = 0;
    while (at < notes.pending.size()) {
        const char note = notes.pending[at];
        if (note == DecoderNote::Block) {
            if (notes.pending.size() - at < DecoderNote::BlockBytes)
                break;
            std::uint64_t offset = 0;
            std::uint64_t blockSize = 0;
            std::memcpy(&offset, notes.pending.data() + at + 1, sizeof offset);
            std::memcpy(&blockSize, notes.pending.data() + at + 9, sizeof blockSize);
            premapped.Add(offset, blockSize);
            at += DecoderNote::BlockBytes;
            continue;
        }
        if (note == DecoderNote::Seconds) {
            if (notes.pending.size() - at < DecoderNote::SecondsBytes)
                break;
            std::uint32_t seconds = 0;
            std::memcpy(&seconds, notes.pending.data() + at + 1, sizeof seconds);
            notes.seconds = static_cast<int>(std::min<std::uint32_t>(seconds, INT32_MAX));
            at += DecoderNote::SecondsBytes;
            continue;
        }
        notes.received = notes.received || note == DecoderNote::Received;
        notes.refusedMemory = notes.refusedMemory || note == DecoderNote::RefusedMemory;
        notes.done = notes.done || note == DecoderNote::Done;
        ++at;
    }
    notes.pending.erase(0, at);
}

// The seconds the decoding may take: what the decoder gave itself for this
// file once it said, never more than the limit asked for.
int AllowedSeconds(const Notes& notes, int limit)
{
    return notes.seconds > 0 ? std::min(notes.seconds, limit) : limit;
}

// Waits until the decoder says it is done or closes its end of the note pipe
// (by exiting), at the latest until the time allowed from start is over,
// taking its notes meanwhile; true when it did.
bool AwaitEnd(int readEnd, std::chrono::steady_clock::time_point start, int limit, Notes& notes,
               PremappedBlocks& premapped)
{
    for (;;) {
        const auto deadline = start + std::chrono::seconds(AllowedSeconds(notes, limit));
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
        char buffer[256];
        const ssize_t got = read(readEnd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got > 0)
            TakeNotes(notes, buffer, static_cast<std::size_t>(got), premapped);
        if (notes.done)
            return true;
        if (got < 0 && errno != EINTR && errno != EAGAIN)
            return true;
    }
}

struct Attempt {
    std::string setupError; // the request could not be made
    Notes notes;
    bool exited = false;
    int outcome = 0; // as waitpid gives it; a decoder that said it is done counts as exited well
    DecodedPicture picture; // when the decoder exited well
};

// One decoding process at work on the file, from the request to its end.
Attempt Run(const DecoderProcess& process, int file, const std::string& name, const DecodeLimits& limits,
            const std::string& helper)
{
    Attempt attempt;
    Descriptor socket(process.socket);
    Descriptor memory(memfd_create("quenlo-decoded", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    int ends[2] = {-1, -1};
    const bool piped = pipe2(ends, O_CLOEXEC) == 0;
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);
    DecodeRequest request;
    request.file = file;
    request.memory = memory.fd;
    request.notes = writeEnd.fd;
    request.name = name;
    request.budgetBytes = limits.budgetBytes;
    request.seconds = static_cast<std::uint32_t>(limits.seconds);
    if (!piped || memory.fd < 0) {
        attempt.setupError = std::string("cannot start the decoder: ") + std::strerror(errno);
        kill(process.pid, SIGKILL);
        while (waitpid(process.pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return attempt;
    }
    // The decoder counts its time from the request on too.
    const auto started = std::chrono::steady_clock::now();
    const bool sent = SendDecodeRequest(socket.fd, request);
    // Only the decoder holds the write end now, so the pipe closes when it ends.
    close(writeEnd.fd);
    writeEnd.fd = -1;
    // The next picture's process starts while this one decodes.
    ReplaceSpareDecoderProcess(helper);

    PremappedBlocks premapped(memory.fd, limits.budgetBytes);
    // Not sent: the process is gone or deaf, and is ended for sure.
    attempt.exited = !sent || AwaitEnd(readEnd.fd, started, limits.seconds, attempt.notes, premapped);
    if (!attempt.exited || !sent || attempt.notes.done)
        kill(process.pid, SIGKILL);
    // Done: it is ending, and is reaped later rather than waited for.
    if (attempt.notes.done)
        ReapDecoderProcessLater(process.pid);
    else
        while (waitpid(process.pid, &attempt.outcome, 0) < 0 && errno == EINTR) {
        }
    if (attempt.exited && WIFEXITED(attempt.outcome) && WEXITSTATUS(attempt.outcome) == 0)
        attempt.picture = ReadDecodedPicture(memory.fd, limits.budgetBytes, &premapped);
    return attempt;
}

} // namespace

void KeepPictureDecoderReady()
{
    KeepSpareDecoderProcess(HelperPath());
}

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

    const std::string helper = HelperPath();
    const std::string name = std::filesystem::path(path).filename().string();
    Attempt attempt;
    for (bool retried = false;; retried = true) {
        std::string error;
        const std::optional<DecoderProcess> process = TakeDecoderProcess(helper, error);
        if (!process)
            return Refused(error);
        attempt = Run(*process, file.fd, name, limits, helper);
        if (!attempt.setupError.empty())
            return Refused(attempt.setupError);
        // A process started ahead may have gone before it took the request: another is started.
        if (attempt.notes.received || !process->spare || retried)
            break;
    }

    const int outcome = attempt.outcome;
    const std::string seconds = std::to_string(AllowedSeconds(attempt.notes, limits.seconds));
    const std::string overBudget =
        "the picture needs more than " + std::to_string(limits.budgetBytes / MiB) + " MiB to open";
    if (!attempt.exited)
        return Refused(Damaged("decoding took longer than " + seconds + " seconds"));
    if (WIFEXITED(outcome) && WEXITSTATUS(outcome) == 0) {
        // A decoder that gave up when refused memory failed for the budget's sake.
        return attempt.picture.bitmap || !attempt.notes.refusedMemory ? std::move(attempt.picture)
                                                                      : Refused(overBudget);
    }
    if (attempt.notes.refusedMemory)
        return Refused(overBudget);
    if (WIFSIGNALED(outcome) && (WTERMSIG(outcome) == SIGXCPU || WTERMSIG(outcome) == SIGKILL))
        return Refused(Damaged("decoding took longer than " + seconds + " seconds of processor time"));
    if (WIFSIGNALED(outcome) && WTERMSIG(outcome) == SIGALRM)
        return Refused(Damaged("decoding took longer than " + seconds + " seconds"));
    if (WIFSIGNALED(outcome))
        return Refused(Damaged("its decoder failed: " + SignalText(WTERMSIG(outcome))));
    if (WIFEXITED(outcome) && WEXITSTATUS(outcome) == 127)
        return Refused("the picture decoder " + helper + " could not be started");
    return Refused(Damaged("its decoder failed"));
}
