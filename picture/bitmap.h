// SPDX-License-Identifier: MIT
// Owning handle for FreeImage bitmaps.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <sys/mman.h>
#include <unordered_map>
#include <utility>

// Bitmaps whose pixels live in shared memory handed over by the decoding
// process, with that memory; header-only so that every user of BitmapPtr
// shares the one table without linking the picture library.
struct TiedMappings {
    std::mutex lock;
    std::unordered_map<FIBITMAP*, std::pair<void*, std::size_t>> byBitmap;

    // Never destroyed: bitmaps held by static objects go after it otherwise.
    static TiedMappings& Instance()
    {
        static TiedMappings* const tied = new TiedMappings;
        return *tied;
    }
};

// bitmap's pixels live in the mapping at address; it goes with the bitmap.
inline void TieMappingToBitmap(FIBITMAP* bitmap, void* address, std::size_t size)
{
    TiedMappings& tied = TiedMappings::Instance();
    std::lock_guard<std::mutex> guard(tied.lock);
    tied.byBitmap[bitmap] = {address, size};
}

// Frees a bitmap, and the shared memory its pixels live in when it has any.
inline void UnloadBitmap(FIBITMAP* bitmap)
{
    if (bitmap == nullptr)
        return;
    std::pair<void*, std::size_t> mapping{nullptr, 0};
    {
        TiedMappings& tied = TiedMappings::Instance();
        std::lock_guard<std::mutex> guard(tied.lock);
        if (const auto found = tied.byBitmap.find(bitmap); found != tied.byBitmap.end()) {
            mapping = found->second;
            tied.byBitmap.erase(found);
        }
    }
    FreeImage_Unload(bitmap);
    if (mapping.first != nullptr)
        munmap(mapping.first, mapping.second);
}

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { UnloadBitmap(bitmap); }
};

using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;
