// SPDX-License-Identifier: MIT
#include "photo_files.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

std::string PhotoFolder()
{
    const char* folder = std::getenv("QUENLO_BENCH_PHOTOS");
    return folder != nullptr && *folder != '\0' ? folder : QUENLO_SOURCE_DIR "/build/bench-photos";
}

std::string PhotoFile(const std::string& kind, long long megapixels)
{
    const std::string extension = kind == "photo" ? ".jpg" : ".png";
    const std::string path = PhotoFolder() + "/" + kind + std::to_string(megapixels) + extension;
    if (!std::filesystem::exists(path))
        throw std::runtime_error(path + " is missing: run bench/photos.sh first");
    return path;
}
