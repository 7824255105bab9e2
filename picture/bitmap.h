// SPDX-License-Identifier: MIT
// Owning handle for FreeImage bitmaps.
#pragma once

#include <FreeImage.h>

#include <memory>

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};

using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;
