// SPDX-License-Identifier: MIT
#include "picture/picture_writer.h"

#include "picture/bitmap.h"
#include "picture/cmyk_conversion.h"
#include "picture/freeimage_messages.h"
#include "picture/full_depth.h"
#include "picture/metadata_check.h"
#include "picture/picture_info.h"
#include "picture/png_chunks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// A FILE that remembers whether any write or seek failed, so that a full
// disk is noticed even where a codec does not check.
struct TrackedFile {
    std::FILE* file = nullptr;
    int error = 0; // errno of the first failure
    void Fail()
    {
        if (error == 0)
            error = errno != 0 ? errno : EIO;
    }
};

unsigned DLL_CALLCONV ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<TrackedFile*>(handle)->file));
}

unsigned DLL_CALLCONV WriteProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto* tracked = static_cast<TrackedFile*>(handle);
    const std::size_t written = std::fwrite(buffer, size, count, tracked->file);
    if (written != count)
        tracked->Fail();
    return static_cast<unsigned>(written);
}

int DLL_CALLCONV SeekProc(fi_handle handle, long offset, int origin)
{
    auto* tracked = static_cast<TrackedFile*>(handle);
    const int result = std::fseek(tracked->file, offset, origin);
    if (result != 0)
        tracked->Fail();
    return result;
}

long DLL_CALLCONV TellProc(fi_handle handle)
{
    return std::ftell(static_cast<TrackedFile*>(handle)->file);
}

// A new, empty file in folder that no one else uses; its path in path.
std::FILE* CreateScratchFile(const fs::path& folder, const fs::path& name, fs::path& path, std::string& error)
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder / ("." + name.string() + "." + std::to_string(random() % 1000000) + ".part");
        // "x": fails instead of reusing a file that already exists.
        if (std::FILE* file = std::fopen(path.string().c_str(), "wbx"))
            return file;
        if (errno != EEXIST)
            break;
    }
    error = "cannot create a file in the folder " + (folder.empty() ? std::string(".") : folder.string()) + ": " +
            std::strerror(errno);
    return nullptr;
}

bool HoldsDepth(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap)
{
    if (!IsFullDepth(bitmap))
        return true;
    if (FreeImage_GetColorType(bitmap) == FIC_CMYK)
        return format == FIF_TIFF;
    return FreeImage_FIFSupportsExportType(format, FreeImage_GetImageType(bitmap)) != 0;
}

// zlib level 4 writes photographs in about half the time of the default
// level 6, at most 4 % larger; level 3 and below pass 10 % on some photos.
constexpr int PngZlibLevel = 4;

int SaveFlagsFor(FREE_IMAGE_FORMAT format, const WriteOptions& options)
{
    switch (format) {
    case FIF_JPEG: return options.jpegQuality;
    case FIF_PNG: return PngZlibLevel;
    default: return 0;
    }
}

// The bitmap in a layout the format can store; converted holds a new one
// when a conversion was needed.
FIBITMAP* LayoutFor(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, BitmapPtr& converted, int& flags,
                    std::string& error)
{
    FIBITMAP* dib = bitmap;
    if (IsFullDepth(dib)) {
        if (HoldsDepth(format, dib)) {
            flags |= FreeImage_GetColorType(dib) == FIC_CMYK ? TIFF_CMYK : 0;
            return dib;
        }
        error = std::string("the ") + FreeImage_GetFormatFromFIF(format) + " format cannot store " +
                (FreeImage_GetColorType(dib) == FIC_CMYK ? "a CMYK picture of " : "") + "16 bits per channel";
        return nullptr;
    }
    if (FreeImage_GetColorType(dib) == FIC_CMYK) {
        if (format == FIF_TIFF) {
            flags |= TIFF_CMYK;
            return dib;
        }
        // The separation's ICC profile describes inks, not the RGB rendering.
        converted = CmykToRgb(dib);
        if (converted)
            FreeImage_CloneMetadata(converted.get(), dib);
        dib = converted.get();
        if (dib == nullptr) {
            error = "out of memory while converting CMYK to RGB";
            return nullptr;
        }
    }
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (FreeImage_FIFSupportsExportBPP(format, static_cast<int>(bpp)))
        return dib;
    // Formats without an alpha channel get the colour alone.
    if (bpp == 32 && FreeImage_FIFSupportsExportBPP(format, 24)) {
        converted.reset(FreeImage_ConvertTo24Bits(dib));
        if (converted) {
            CopyPictureInfo(converted.get(), dib);
            return converted.get();
        }
    }
    error = std::string("the ") + FreeImage_GetFormatFromFIF(format) + " format cannot store " +
            std::to_string(bpp) + "-bit pictures";
    return nullptr;
}

} // namespace

bool IsWritablePictureName(const std::string& path)
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.c_str());
    return format != FIF_UNKNOWN && FreeImage_FIFSupportsWriting(format);
}

bool HoldsDepth(FIBITMAP* bitmap, const std::string& path)
{
    return HoldsDepth(FreeImage_GetFIFFromFilename(path.c_str()), bitmap);
}

bool WritePicture(FIBITMAP* bitmap, const std::string& path, std::string& error, const WriteOptions& options,
                  WrittenPicture* written)
{
    EnsureFreeImageMessagesRouted();
    TakeFreeImageMessages();
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.c_str());
    if (!IsWritablePictureName(path)) {
        error = "the file name does not end in the extension of a picture format that can be written";
        return false;
    }
    BitmapPtr converted;
    int flags = SaveFlagsFor(format, options);
    FIBITMAP* dib = LayoutFor(format, bitmap, converted, flags, error);
    if (dib == nullptr)
        return false;

    const fs::path target(path);
    if (fs::is_directory(target)) {
        error = "it is a folder";
        return false;
    }
    fs::path scratch;
    TrackedFile tracked;
    tracked.file = CreateScratchFile(target.parent_path(), target.filename(), scratch, error);
    if (tracked.file == nullptr)
        return false;

    FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
    DWORD exifSize = 0;
    const bool saved = format == FIF_PNG && RawExif(dib, exifSize) != nullptr
                           ? WritePngWithExif(dib, flags, tracked.file)
                           : FreeImage_SaveToHandle(format, dib, &io, &tracked, flags) != 0;
    if (std::ferror(tracked.file) != 0)
        tracked.Fail();
    if (std::fflush(tracked.file) != 0)
        tracked.Fail();
    if (std::fclose(tracked.file) != 0)
        tracked.Fail();
    std::error_code ignored;
    if (!saved || tracked.error != 0) {
        fs::remove(scratch, ignored);
        error = tracked.error != 0 ? std::string("writing failed: ") + std::strerror(tracked.error)
                                   : WithCodecReason("the picture could not be encoded");
        return false;
    }
    if (written != nullptr) {
        written->depth = DepthText(dib);
        written->notWritten = MetadataMissingFrom(bitmap, format, scratch.string());
    }
    std::error_code renamed;
    fs::rename(scratch, target, renamed);
    if (renamed) {
        fs::remove(scratch, ignored);
        error = "cannot replace the file: " + renamed.message();
        return false;
    }
    return true;
}
