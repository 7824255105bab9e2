// SPDX-License-Identifier: MIT
// Files that appear complete or not at all: written unnamed (or under a
// short scratch name where the file system cannot) in the target's folder,
// and put in place together only when every one of a set is complete.
#pragma once

#include <string>
#include <vector>

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // discards what was written unless it was put in place

    // Opens an empty file, for reading and writing, to take the contents of target. A target that
    // exists keeps its permission bits; a read-only one is refused unless
    // replaceReadOnly. false with the reason in error.
    bool Open(const std::string& target, bool replaceReadOnly, std::string& error);
    int Descriptor() const { return m_fd; }
    const std::string& Target() const { return m_target; }

private:
    friend bool PutInPlace(const std::vector<OutputFile*>& files, std::string& error, std::string& failedTarget);
    void Discard();

    int m_fd = -1;
    std::string m_target;   // where the file goes, symbolic links followed
    std::string m_scratch;  // its name while it has one before it goes there
    bool m_unnamed = false; // written without a name (O_TMPFILE)
};

// Puts every file in place over its target, or none: when one cannot be
// put in place, the targets already replaced get their old contents back.
// failedTarget names the file the failure is about.
bool PutInPlace(const std::vector<OutputFile*>& files, std::string& error, std::string& failedTarget);

// Whether a file can be written at target, as Open checks it, without
// creating anything; false with the reason in error.
bool CheckOutputPath(const std::string& target, bool replaceReadOnly, std::string& error);

// The reason Open and CheckOutputPath give for a read-only target.
constexpr const char* ReadOnlyRefusal = "the file is read-only";

// Whether path, as a target, is an existing file this user may not write.
bool IsReadOnlyFile(const std::string& path);

// On SIGTERM, SIGINT and SIGHUP, scratch names still in use are removed
// before the process ends; SIGXFSZ is ignored so that a file growing past
// the size limit fails its write instead of ending the program.
void CleanUpOutputsOnSignals();
