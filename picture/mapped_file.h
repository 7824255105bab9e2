// SPDX-License-Identifier: MIT
// A file's bytes mapped for reading, for parsers that take memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (fd >= 0 && fstat(fd, &status) == 0 && status.st_size > 0) {
            void* at = mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                m_data = static_cast<const uint8_t*>(at);
                m_size = static_cast<std::size_t>(status.st_size);
            }
        }
        if (fd >= 0)
            close(fd);
    }
    ~MappedFile()
    {
        if (m_data != nullptr)
            munmap(const_cast<uint8_t*>(m_data), m_size);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Null when the file could not be mapped or is empty.
    const uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    const uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};
