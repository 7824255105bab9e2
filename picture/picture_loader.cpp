// SPDX-License-Identifier: MIT
#include "picture/picture_loader.h"

#include "picture/claimed_picture_size.h"
#include "picture/freeimage_messages.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

namespace {

// Flag 1 asks TIFF for the CMYK separation and PNG for the stored values
// without gamma correction. For JPEG it would pick the fast, coarser
// decoder, and for camera raw files the embedded preview: neither is the
// picture the user wants to edit.
int LoadFlagsFor(FREE_IMAGE_FORMAT format)
{
    return format == FIF_JPEG || format == FIF_RAW ? 0 : 1;
}

std::string DescribeSampleType(FREE_IMAGE_TYPE type)
{
    switch (type) {
    case FIT_FLOAT: return "32-bit floating-point greyscale";
    case FIT_DOUBLE: return "64-bit floating-point greyscale";
    case FIT_RGBF: return "floating-point RGB";
    case FIT_RGBAF: return "floating-point RGBA";
    case FIT_COMPLEX: return "complex-valued";
    case FIT_INT16: return "signed 16-bit";
    case FIT_UINT32: return "32-bit integer";
    case FIT_INT32: return "signed 32-bit integer";
    default: return "unknown";
    }
}

// The JPEG decoder pads a file that ends early, or skips over corrupt data,
// with a warning only; editing and saving that picture would keep the damage.
std::string DamageReported(FREE_IMAGE_FORMAT format)
{
    const std::vector<std::string> messages = TakeFreeImageMessages();
    if (format != FIF_JPEG)
        return {};
    for (const std::string& message : messages) {
        if (message.starts_with("Premature end of JPEG file") || message.starts_with("Corrupt JPEG data"))
            return message;
    }
    return {};
}

// Owns the result of a conversion; when there is none, says why.
BitmapPtr Converted(FIBITMAP* converted, std::string& error, const char* what)
{
    if (converted == nullptr)
        error = WithCodecReason(std::string("cannot convert the picture to ") + what);
    return BitmapPtr(converted);
}

bool CheckPictureSize(long long width, long long height, std::string& error)
{
    if (width == 0 || height == 0) {
        error = "the picture has no pixels";
        return false;
    }
    // Divided rather than multiplied: claims read from headers reach 2^32 a side.
    if (width > MaxPicturePixels / height) {
        error = "the picture is too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)";
        return false;
    }
    return true;
}

bool CheckPictureSize(FIBITMAP* bitmap, std::string& error)
{
    return CheckPictureSize(FreeImage_GetWidth(bitmap), FreeImage_GetHeight(bitmap), error);
}

} // namespace

BitmapPtr ToEditableBitmap(BitmapPtr bitmap, std::string& error)
{
    FIBITMAP* dib = bitmap.get();
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);
    switch (type) {
    case FIT_BITMAP:
        if (bpp == 24 || bpp == 32)
            return bitmap;
        // Averaging palette indices would mix unrelated colours, so only a
        // grey ramp stays 8-bit.
        if (bpp == 8 && FreeImage_GetColorType(dib) == FIC_MINISBLACK)
            return bitmap;
        if (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16)
            return Converted(FreeImage_ConvertTo24Bits(dib), error, "24 bits per pixel");
        break;
    case FIT_UINT16:
        return Converted(FreeImage_ConvertTo8Bits(dib), error, "8-bit greyscale");
    case FIT_RGB16:
        return Converted(FreeImage_ConvertTo24Bits(dib), error, "24 bits per pixel");
    case FIT_RGBA16:
        return Converted(FreeImage_ConvertTo32Bits(dib), error, "32 bits per pixel");
    default:
        error = "unsupported pixel type: " + DescribeSampleType(type) + " samples";
        return nullptr;
    }
    error = "unsupported pixel layout: " + std::to_string(bpp) + " bits per pixel";
    return nullptr;
}

LoadedPicture LoadPicture(const std::string& path)
{
    LoadedPicture result;
    EnsureFreeImageMessagesRouted();
    TakeFreeImageMessages();

    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.error = std::string("cannot open the file: ") + std::strerror(errno);
        return result;
    }
    if (file.peek() == std::ifstream::traits_type::eof()) {
        result.error = "the file is empty";
        return result;
    }
    file.close();

    FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) {
        result.error = "not a picture in a format that can be read";
        return result;
    }
    result.format = format;

    // Read the header alone first, so that a file claiming an enormous size
    // is refused before memory is reserved for it. Some decoders cannot stop
    // after the header; for a few of those the size is read here instead.
    if (const std::optional<ClaimedSize> claimed = ReadClaimedSize(path, format)) {
        // A file cut short before its size is refused as cut short, not as empty.
        if (claimed->cutShort && claimed->Pixels() <= MaxPicturePixels) {
            result.error = "the picture is damaged or cut short (its pixel data ends early)";
            return result;
        }
        if (!CheckPictureSize(claimed->width, claimed->height, result.error))
            return result;
    } else if (FreeImage_FIFSupportsNoPixels(format)) {
        BitmapPtr header(FreeImage_Load(format, path.c_str(), LoadFlagsFor(format) | FIF_LOAD_NOPIXELS));
        if (!header) {
            result.error = WithCodecReason("not a readable picture");
            return result;
        }
        if (!CheckPictureSize(header.get(), result.error))
            return result;
    }

    TakeFreeImageMessages();
    BitmapPtr bitmap(FreeImage_Load(format, path.c_str(), LoadFlagsFor(format)));
    if (!bitmap || !FreeImage_HasPixels(bitmap.get())) {
        result.error = WithCodecReason("the picture could not be decoded");
        return result;
    }
    if (const std::string damage = DamageReported(format); !damage.empty()) {
        result.error = "the picture is damaged or cut short (" + damage + ")";
        return result;
    }
    if (!CheckPictureSize(bitmap.get(), result.error))
        return result;
    result.bitmap = ToEditableBitmap(std::move(bitmap), result.error);
    return result;
}
