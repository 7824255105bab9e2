// SPDX-License-Identifier: MIT
#include "picture/picture_writer.h"

#include "metadata/metadata_writer.h"
#include "picture/bitmap.h"
#include "picture/cmyk_conversion.h"
#include "picture/freeimage_messages.h"
#include "picture/output_file.h"
#include "picture/full_depth.h"
#include "picture/picture_info.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>


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

namespace {

constexpr const char* NotEncoded = "the picture could not be encoded";

// Writes dib into the empty or emptied file fd; false with the reason in error.
bool WriteOnce(FREE_IMAGE_FORMAT format, FIBITMAP* dib, int flags, int fd, std::string& error)
{
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) {
        error = std::string("writing failed: ") + std::strerror(errno);
        return false;
    }
    TakeFreeImageMessages();
    TrackedFile tracked;
    const int own = dup(fd);
    tracked.file = own >= 0 ? fdopen(own, "wb") : nullptr;
    if (tracked.file == nullptr) {
        if (own >= 0)
            close(own);
        error = std::string("cannot write the file: ") + std::strerror(errno);
        return false;
    }
    FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
    const bool saved = FreeImage_SaveToHandle(format, dib, &io, &tracked, flags) != 0;
    if (std::ferror(tracked.file) != 0)
        tracked.Fail();
    if (std::fflush(tracked.file) != 0)
        tracked.Fail();
    if (std::fclose(tracked.file) != 0)
        tracked.Fail();
    if (!saved || tracked.error != 0) {
        error = tracked.error != 0 ? std::string("writing failed: ") + std::strerror(tracked.error)
                                   : WithCodecReason(NotEncoded);
        return false;
    }
    return true;
}

// Takes a bitmap's colour profile away for as long as it lives, then puts it back.
class ProfileSetAside {
public:
    explicit ProfileSetAside(FIBITMAP* dib) : m_dib(dib)
    {
        const FIICCPROFILE* profile = FreeImage_GetICCProfile(dib);
        const auto* bytes = static_cast<const BYTE*>(profile->data);
        m_bytes.assign(bytes, bytes + profile->size);
        m_flags = profile->flags;
        FreeImage_DestroyICCProfile(dib);
    }
    ~ProfileSetAside()
    {
        if (FIICCPROFILE* profile = FreeImage_CreateICCProfile(m_dib, m_bytes.data(), static_cast<long>(m_bytes.size())))
            profile->flags = m_flags;
    }
    ProfileSetAside(const ProfileSetAside&) = delete;
    ProfileSetAside& operator=(const ProfileSetAside&) = delete;

private:
    FIBITMAP* m_dib;
    std::vector<BYTE> m_bytes;
    WORD m_flags = 0;
};

// Encodes one picture into a new output file; false with the reason in error.
bool Encode(const PictureToWrite& picture, const WriteOptions& options, OutputFile& output, std::string& error)
{
    TakeFreeImageMessages();
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(picture.path.c_str());
    if (!IsWritablePictureName(picture.path)) {
        error = "the file name does not end in the extension of a picture format that can be written";
        return false;
    }
    BitmapPtr converted;
    int flags = SaveFlagsFor(format, options);
    FIBITMAP* dib = LayoutFor(format, picture.bitmap, converted, flags, error);
    if (dib == nullptr)
        return false;
    if (!output.Open(picture.path, options.replaceReadOnly, error))
        return false;

    bool saved = WriteOnce(format, dib, flags, output.Descriptor(), error);
    // A damaged colour profile the encoder refuses is left out, not the
    // picture; the written file then lacks it and says so.
    bool profileLeftOut = false;
    if (!saved && error.starts_with(NotEncoded) && FreeImage_GetICCProfile(dib)->size > 0) {
        const ProfileSetAside setAside(dib);
        saved = WriteOnce(format, dib, flags, output.Descriptor(), error);
        profileLeftOut = saved;
    }
    if (!saved)
        return false;
    // FreeImage's writers leave out much of the metadata, or write it as it came.
    std::vector<std::string> notWritten;
    if (!AddMetadataToFile(output.Descriptor(), format, picture.bitmap, dib, notWritten, error))
        return false;
    if (profileLeftOut && std::find(notWritten.begin(), notWritten.end(), "ICC profile") == notWritten.end())
        notWritten.emplace_back("ICC profile");
    if (picture.written != nullptr) {
        picture.written->depth = DepthText(dib);
        picture.written->notWritten = std::move(notWritten);
    }
    return true;
}

} // namespace

bool WritePictures(const std::vector<PictureToWrite>& pictures, std::string& error, std::string& failedPath,
                   const WriteOptions& options)
{
    EnsureFreeImageMessagesRouted();
    std::vector<std::unique_ptr<OutputFile>> outputs;
    for (const PictureToWrite& picture : pictures) {
        failedPath = picture.path;
        outputs.push_back(std::make_unique<OutputFile>());
        if (!Encode(picture, options, *outputs.back(), error))
            return false;
    }
    std::vector<OutputFile*> files;
    for (const std::unique_ptr<OutputFile>& output : outputs)
        files.push_back(output.get());
    std::string failedTarget;
    if (PutInPlace(files, error, failedTarget))
        return true;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        if (outputs[i]->Target() == failedTarget)
            failedPath = pictures[i].path;
    return false;
}

bool WritePicture(FIBITMAP* bitmap, const std::string& path, std::string& error, const WriteOptions& options,
                  WrittenPicture* written)
{
    std::string failedPath;
    return WritePictures({PictureToWrite{bitmap, path, written}}, error, failedPath, options);
}
