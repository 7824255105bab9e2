// SPDX-License-Identifier: MIT
#include "picture/picture_loader.h"

#include "picture/freeimage_messages.h"
#include "picture/full_depth.h"
#include "picture/isolated_decoding.h"
#include "picture/picture_info.h"

#include <vector>

namespace {

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
std::string DamageReported(FREE_IMAGE_FORMAT format, const std::vector<std::string>& messages)
{
    if (format != FIF_JPEG)
        return {};
    for (const std::string& message : messages) {
        if (message.starts_with("Premature end of JPEG file") || message.starts_with("Corrupt JPEG data"))
            return message;
    }
    return {};
}

// Owns the result of a conversion, with the original's metadata and ICC
// profile; when there is none, says why.
BitmapPtr Converted(FIBITMAP* converted, FIBITMAP* original, std::string& error, const char* what)
{
    if (converted == nullptr)
        error = WithCodecReason(std::string("cannot convert the picture to ") + what);
    else
        CopyPictureInfo(converted, original);
    return BitmapPtr(converted);
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
            return Converted(FreeImage_ConvertTo24Bits(dib), dib, error, "24 bits per pixel");
        break;
    case FIT_UINT16:
    case FIT_RGB16:
    case FIT_RGBA16:
        return Converted(ReduceToWorkingDepth(dib).release(), dib, error, "8 bits per channel");
    default:
        error = "unsupported pixel type: " + DescribeSampleType(type) + " samples";
        return nullptr;
    }
    error = "unsupported pixel layout: " + std::to_string(bpp) + " bits per pixel";
    return nullptr;
}

LoadedPicture LoadPicture(const std::string& path)
{
    return LoadPicture(path, CurrentDecodeLimits());
}

std::uint64_t HeldBytes(const LoadedPicture& picture)
{
    std::uint64_t bytes = 0;
    for (FIBITMAP* bitmap : {picture.bitmap.get(), picture.fullDepth.get()})
        if (bitmap != nullptr)
            bytes += static_cast<std::uint64_t>(FreeImage_GetPitch(bitmap)) * FreeImage_GetHeight(bitmap);
    return bytes;
}

LoadedPicture LoadPicture(const std::string& path, const DecodeLimits& limits)
{
    LoadedPicture result;
    DecodedPicture decoded = DecodeIsolated(path, limits);
    result.format = decoded.format;
    if (!decoded.bitmap) {
        result.error = decoded.error;
        return result;
    }
    if (const std::string damage = DamageReported(decoded.format, decoded.messages); !damage.empty()) {
        result.error = "the picture is damaged or cut short (" + damage + ")";
        return result;
    }
    result.error = PictureSizeProblem(FreeImage_GetWidth(decoded.bitmap.get()), FreeImage_GetHeight(decoded.bitmap.get()));
    if (!result.error.empty())
        return result;
    if (IsFullDepth(decoded.bitmap.get())) {
        result.bitmap = ReduceToWorkingDepth(decoded.bitmap.get());
        if (!result.bitmap) {
            result.error = "the picture is too large to work on (out of memory)";
            return result;
        }
        result.fullDepth = std::move(decoded.bitmap);
        return result;
    }
    result.bitmap = ToEditableBitmap(std::move(decoded.bitmap), result.error);
    return result;
}
