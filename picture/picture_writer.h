// SPDX-License-Identifier: MIT
// The one place that writes picture files.
#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

constexpr int DefaultJpegQuality = 95;

struct WriteOptions {
    int jpegQuality = DefaultJpegQuality; // 1 to 100
    bool replaceReadOnly = false;         // a read-only file is refused otherwise
};

// What went into the file, for telling the user.
struct WrittenPicture {
    std::string depth;                       // as DepthText says it
    std::vector<std::string> notWritten;     // kinds of the picture's metadata the file does not hold
};

// Writes bitmap to path in the format its extension names, with the
// bitmap's metadata and ICC profile as far as the format holds them. A CMYK
// picture stays CMYK in TIFF and is converted to RGB for other formats; 8-bit
// greyscale stays 8-bit; 16 bits per channel stay 16 bits or are refused by
// formats that cannot hold them. JPEG is written at options.jpegQuality,
// PNG at a zlib level chosen for speed, TIFF with LZW. The file appears
// complete or not at all: it is written beside the target without a name
// and put in place when complete; a replaced file keeps its permission
// bits, and a symbolic link leads to the file that is replaced. false, with
// the reason in error, when nothing was written.
bool WritePicture(FIBITMAP* bitmap, const std::string& path, std::string& error, const WriteOptions& options = {},
                  WrittenPicture* written = nullptr);

struct PictureToWrite {
    FIBITMAP* bitmap;
    std::string path;
    WrittenPicture* written = nullptr; // filled in when given
};

// Writes several pictures as one: all of them appear, or none of their
// files changes. failedPath names the one the error is about.
bool WritePictures(const std::vector<PictureToWrite>& pictures, std::string& error, std::string& failedPath,
                   const WriteOptions& options = {});

// True when the format path's extension names can hold bitmap's layout at
// its depth without a conversion that loses precision.
bool HoldsDepth(FIBITMAP* bitmap, const std::string& path);

// True when path's extension names a format WritePicture can write.
bool IsWritablePictureName(const std::string& path);
