// SPDX-License-Identifier: MIT
#include "picture/picture_decoding.h"

#include "metadata/metadata_reader.h"
#include "picture/claim_floors.h"
#include "picture/claimed_picture_size.h"
#include "picture/decode_limits.h"
#include "picture/freeimage_messages.h"
#include "picture/mapped_file.h"
#include "picture/tiff_samples.h"

#include <filesystem>
#include <optional>

namespace {

// Flag 1 asks TIFF for the CMYK separation and PNG for the stored values
// without gamma correction. For JPEG it would pick the fast, coarser
// decoder, and for camera raw files the embedded preview: neither is the
// picture the user wants to edit.
int LoadFlagsFor(FREE_IMAGE_FORMAT format)
{
    return format == FIF_JPEG || format == FIF_RAW ? 0 : 1;
}

std::string BudgetProblem(long long width, long long height, std::uint64_t bytes, std::uint64_t budgetBytes)
{
    if (bytes <= budgetBytes)
        return {};
    return "the picture needs more than " + std::to_string(budgetBytes / MiB) + " MiB to open (" +
           std::to_string(width) + " x " + std::to_string(height) + " pixels take " +
           std::to_string((bytes + MiB - 1) / MiB) + " MiB)";
}

// Claimed sizes come without a layout; one byte a pixel is the least any
// of their decoders produces.
std::uint64_t ClaimedBytes(const ClaimedSize& claimed)
{
    return static_cast<std::uint64_t>(claimed.Pixels());
}

} // namespace

std::string PictureSizeProblem(long long width, long long height)
{
    if (width == 0 || height == 0)
        return "the picture has no pixels";
    // Divided rather than multiplied: claims read from headers reach 2^32 a side.
    if (width > MaxPicturePixels / height)
        return "the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)";
    return {};
}

DecodedPicture DecodePictureFile(const std::string& path, const std::string& name, std::uint64_t budgetBytes,
                                 const BeforePixels& beforePixels)
{
    DecodedPicture result;
    EnsureFreeImageMessagesRouted();
    TakeFreeImageMessages();

    FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(name.c_str());
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) {
        result.error = "not a picture in a format that can be read";
        return result;
    }
    result.format = format;

    // A claim the file is too small to hold is refused before any decoder reserves memory for it.
    if (const std::optional<ClaimFloor> floor = ReadClaimFloor(path, format)) {
        if (floor->headerOverrun) {
            result.error = "the file is damaged or not a picture (its header claims more bytes than the file has)";
            return result;
        }
        result.error = PictureSizeProblem(floor->claimed.width, floor->claimed.height);
        std::error_code unknown;
        const std::uintmax_t fileBytes = std::filesystem::file_size(path, unknown);
        if (result.error.empty() && !unknown && floor->leastFileBytes > fileBytes)
            result.error = "the file is damaged or not a picture (its header claims " +
                           std::to_string(floor->claimed.width) + " x " + std::to_string(floor->claimed.height) +
                           " pixels, more than its " + std::to_string(fileBytes) + " bytes can hold)";
        if (!result.error.empty())
            return result;
    }

    // Read the header alone first, so that a file claiming an enormous size
    // is refused before memory is reserved for it. Some decoders cannot stop
    // after the header; for a few of those the size is read here instead.
    long long claimedPixels = 0;
    if (const std::optional<ClaimedSize> claimed = ReadClaimedSize(path, format)) {
        // A file cut short before its size is refused as cut short, not as empty.
        if (claimed->cutShort && claimed->Pixels() <= MaxPicturePixels) {
            result.error = "the picture is damaged or cut short (its pixel data ends early)";
            return result;
        }
        result.error = PictureSizeProblem(claimed->width, claimed->height);
        if (result.error.empty())
            result.error = BudgetProblem(claimed->width, claimed->height, ClaimedBytes(*claimed), budgetBytes);
        if (!result.error.empty())
            return result;
        claimedPixels = claimed->Pixels();
    } else if (FreeImage_FIFSupportsNoPixels(format)) {
        BitmapPtr header(FreeImage_Load(format, path.c_str(), LoadFlagsFor(format) | FIF_LOAD_NOPIXELS));
        if (!header) {
            result.error = format == FIF_TIFF ? TiffSampleProblem(path) : std::string();
            if (result.error.empty())
                result.error = WithCodecReason("not a readable picture");
            return result;
        }
        const long long width = FreeImage_GetWidth(header.get());
        const long long height = FreeImage_GetHeight(header.get());
        result.error = PictureSizeProblem(width, height);
        if (result.error.empty())
            result.error = BudgetProblem(width, height,
                                         static_cast<std::uint64_t>(FreeImage_GetPitch(header.get())) *
                                             static_cast<std::uint64_t>(height),
                                         budgetBytes);
        if (!result.error.empty())
            return result;
        claimedPixels = width * height;
    }

    if (beforePixels)
        beforePixels(claimedPixels);
    TakeFreeImageMessages();
    result.bitmap.reset(FreeImage_Load(format, path.c_str(), LoadFlagsFor(format)));
    if (!result.bitmap || !FreeImage_HasPixels(result.bitmap.get())) {
        result.bitmap.reset();
        result.error = format == FIF_TIFF ? TiffSampleProblem(path) : std::string();
        if (result.error.empty())
            result.error = WithCodecReason("the picture could not be decoded");
        return result;
    }
    {
        // Read here, where the picture is decoded, so that what is damaged goes no further.
        const MappedFile file(path);
        ReadFileMetadata(file.Data(), file.Size(), format, result.bitmap.get());
    }
    result.messages = TakeFreeImageMessages();
    return result;
}
