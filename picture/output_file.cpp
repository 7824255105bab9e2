// SPDX-License-Identifier: MIT
#include "picture/output_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Scratch names the signal handler removes; plain buffers, since a handler
// may touch nothing else.
constexpr std::size_t ScratchSlots = 8;
struct ScratchSlot {
    std::atomic<bool> taken{false}; // claimed by a writer
    std::atomic<bool> ready{false}; // path holds a name to remove
    char path[PATH_MAX + 1] = {};
};
std::array<ScratchSlot, ScratchSlots> g_scratch;

void Remember(const std::string& path)
{
    if (path.size() > PATH_MAX)
        return;
    for (ScratchSlot& slot : g_scratch) {
        bool expected = false;
        if (slot.taken.compare_exchange_strong(expected, true)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.ready.store(true);
            return;
        }
    }
}

void Forget(const std::string& path)
{
    for (ScratchSlot& slot : g_scratch) {
        if (slot.ready.load() && path == slot.path) {
            slot.ready.store(false);
            slot.taken.store(false);
            return;
        }
    }
}

void OnEndingSignal(int signal)
{
    for (ScratchSlot& slot : g_scratch)
        if (slot.ready.load())
            unlink(slot.path);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

// A name of fixed, short length: it fits wherever the target's name fits.
std::string ScratchName(const fs::path& folder, const char* suffix)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    std::string name = ".quenlo-";
    for (int i = 0; i < 8; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return (folder / (name + suffix)).string();
}

std::string FolderText(const fs::path& folder)
{
    return folder.empty() ? std::string(".") : folder.string();
}

// Links a named hard link to what is at from; EEXIST retried under another name.
bool LinkAside(const std::string& from, bool fromDescriptor, int fd, const fs::path& folder, const char* suffix,
               std::string& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ScratchName(folder, suffix);
        Remember(name);
        const int linked = fromDescriptor ? linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH)
                                          : link(from.c_str(), name.c_str());
        if (linked == 0)
            return true;
        const int failure = errno;
        Forget(name);
        // AT_EMPTY_PATH needs a capability; the descriptor's /proc name does not.
        if (fromDescriptor && failure == ENOENT) {
            const std::string proc = "/proc/self/fd/" + std::to_string(fd);
            Remember(name);
            if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return true;
            const int again = errno;
            Forget(name);
            errno = again;
            if (again == EEXIST)
                continue;
            return false;
        }
        errno = failure;
        if (failure != EEXIST)
            return false;
    }
    return false;
}

} // namespace

bool IsReadOnlyFile(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    // No write bit counts even for a user whom access() lets write anyway.
    return (status.st_mode & 0222) == 0 || (access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

OutputFile::~OutputFile()
{
    Discard();
}

void OutputFile::Discard()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    if (!m_scratch.empty()) {
        unlink(m_scratch.c_str());
        Forget(m_scratch);
        m_scratch.clear();
    }
}

namespace {

// Where target leads and what is there now; false with the reason in error
// when nothing can be written there.
bool ResolveTarget(const std::string& target, bool replaceReadOnly, fs::path& path, struct stat& existing,
                   bool& exists, std::string& error)
{
    std::error_code failure;
    path = target;
    const fs::file_status link = fs::symlink_status(path, failure);
    if (failure && failure != std::errc::no_such_file_or_directory) {
        error = "cannot write the file: " + failure.message();
        return false;
    }
    // Writing through a symbolic link replaces the file it leads to.
    if (fs::is_symlink(link)) {
        path = fs::weakly_canonical(path, failure);
        if (failure) {
            error = "the symbolic link leads nowhere usable: " + failure.message();
            return false;
        }
    }
    exists = stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        error = std::string("cannot write the file: ") + std::strerror(errno);
        return false;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        error = "it is a folder";
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        error = "it is not a regular file";
        return false;
    }
    if (exists && !replaceReadOnly && IsReadOnlyFile(path.string())) {
        error = ReadOnlyRefusal;
        return false;
    }
    const std::string folder = FolderText(path.parent_path());
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "cannot create a file in the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool CheckOutputPath(const std::string& target, bool replaceReadOnly, std::string& error)
{
    fs::path path;
    struct stat existing {};
    bool exists = false;
    return ResolveTarget(target, replaceReadOnly, path, existing, exists, error);
}

bool OutputFile::Open(const std::string& target, bool replaceReadOnly, std::string& error)
{
    Discard();
    fs::path path;
    struct stat existing {};
    bool exists = false;
    if (!ResolveTarget(target, replaceReadOnly, path, existing, exists, error))
        return false;
    m_target = path.string();
    const fs::path folder = path.parent_path();
    const std::string folderName = FolderText(folder);
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666;

    m_fd = open(folderName.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    m_unnamed = m_fd >= 0;
    if (!m_unnamed) {
        // File systems without unnamed files get a short scratch name.
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_scratch = ScratchName(folder, ".part");
            Remember(m_scratch);
            m_fd = open(m_scratch.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd < 0) {
                const int failed = errno;
                Forget(m_scratch);
                m_scratch.clear();
                errno = failed;
                if (failed != EEXIST)
                    break;
            }
        }
    }
    if (m_fd < 0) {
        error = "cannot create a file in the folder " + folderName + ": " + std::strerror(errno);
        return false;
    }
    // A replaced file keeps its owner and group where this process may set
    // them; where it may not (EPERM), the new file is this user's, as any file
    // the user writes anew. Done before the bits, which a change of owner clears.
    if (exists && (existing.st_uid != geteuid() || existing.st_gid != getegid()) &&
        fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
        // Not a reason to refuse the save: the contents and bits are what matter.
    }
    // A new file gets what the user's umask allows; a replaced one keeps its bits.
    mode_t applied = mode;
    if (!exists) {
        const mode_t mask = umask(0);
        umask(mask);
        applied = mode & ~mask;
    }
    fchmod(m_fd, applied);
    return true;
}

bool PutInPlace(const std::vector<OutputFile*>& files, std::string& error, std::string& failedTarget)
{
    struct Step {
        OutputFile* file;
        std::string backup; // a hard link to the old contents, when there were any
        bool placed = false;
    };
    std::vector<Step> steps;
    for (OutputFile* file : files)
        steps.push_back(Step{file, {}, false});

    const auto undo = [&](const std::string& why, const std::string& target) {
        for (Step& step : steps) {
            if (step.placed && !step.backup.empty())
                rename(step.backup.c_str(), step.file->m_target.c_str());
            else if (step.placed)
                unlink(step.file->m_target.c_str());
            else if (!step.backup.empty())
                unlink(step.backup.c_str());
            Forget(step.backup);
        }
        error = why;
        failedTarget = target;
        return false;
    };

    for (Step& step : steps) {
        OutputFile& file = *step.file;
        const fs::path folder = fs::path(file.m_target).parent_path();
        if (file.m_unnamed) {
            std::string named;
            if (!LinkAside({}, true, file.m_fd, folder, ".part", named))
                return undo(std::string("cannot name the new file: ") + std::strerror(errno), file.m_target);
            file.m_scratch = named;
        }
        if (access(file.m_target.c_str(), F_OK) == 0 &&
            !LinkAside(file.m_target, false, -1, folder, ".old", step.backup))
            step.backup.clear(); // no way back for this one; it goes last
    }
    // Files without a way back go last, so that a failure before them undoes everything.
    std::stable_partition(steps.begin(), steps.end(), [](const Step& step) {
        return !step.backup.empty() || access(step.file->m_target.c_str(), F_OK) != 0;
    });
    for (Step& step : steps) {
        OutputFile& file = *step.file;
        if (rename(file.m_scratch.c_str(), file.m_target.c_str()) != 0)
            return undo(std::string("cannot replace the file: ") + std::strerror(errno), file.m_target);
        Forget(file.m_scratch);
        file.m_scratch.clear();
        step.placed = true;
    }
    for (Step& step : steps) {
        if (!step.backup.empty()) {
            unlink(step.backup.c_str());
            Forget(step.backup);
        }
        close(step.file->m_fd);
        step.file->m_fd = -1;
    }
    return true;
}

void CleanUpOutputsOnSignals()
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, OnEndingSignal);
    std::signal(SIGXFSZ, SIG_IGN);
}
