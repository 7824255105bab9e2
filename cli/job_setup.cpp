// SPDX-License-Identifier: MIT
#include "cli/job_setup.h"

#include "mask/mask_picture.h"
#include "mask/overlay_buffer.h"
#include "mask/overlay_to_mask.h"
#include "picture/claim_floors.h"
#include "picture/full_depth.h"
#include "picture/decode_limits.h"
#include "picture/output_file.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"
#include "picture/upright_pixels.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string WithOptionHint(const std::string& reason)
{
    return reason == ReadOnlyRefusal ? reason + " (--force replaces it)" : reason;
}

namespace {

CliFailure Failure(ExitStatus status, const std::string& file, const std::string& reason)
{
    return CliFailure{status, file + ": " + WithOptionHint(reason)};
}

std::string SizeText(FIBITMAP* picture)
{
    return std::to_string(FreeImage_GetWidth(picture)) + " x " + std::to_string(FreeImage_GetHeight(picture));
}

std::string SizeText(const ClaimedSize& size)
{
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

bool Disagree(const ClaimedSize& a, const ClaimedSize& b)
{
    return !(a.width == b.width && a.height == b.height) && !(a.width == b.height && a.height == b.width);
}

// What a mask or overlay may take even when the picture took nearly all of
// the budget: enough for the header checks to answer rather than the allocator.
constexpr std::uint64_t LeastMarksBudget = 16 * MiB;

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ignored;
    return fs::equivalent(a, b, ignored);
}

// Output names are checked before any work is done.
std::optional<CliFailure> CheckOutputNames(const CliOptions& options)
{
    const std::string marks = options.overlay.empty() ? options.mask : options.overlay;
    for (const std::string* output : {&options.output, &options.saveMask}) {
        if (output->empty())
            continue;
        if (!IsWritablePictureName(*output))
            return Failure(ExitBadInput, *output, "the extension names no picture format that can be written");
        for (const std::string* input : {&options.input, &marks})
            if (SameFile(*output, *input))
                return Failure(ExitBadInput, *output, "this is also an input file; choose another output file");
    }
    if (!options.saveMask.empty() && (options.saveMask == options.output || SameFile(options.saveMask, options.output)))
        return Failure(ExitBadInput, options.saveMask, "this is also OUTPUT; choose another file for the mask");
    for (const std::string* output : {&options.output, &options.saveMask}) {
        std::string problem;
        if (!output->empty() && !CheckOutputPath(*output, options.force, problem))
            return Failure(ExitWriteFailed, *output, problem);
    }
    return std::nullopt;
}

// Grows a job's scan rectangle by margin pixels on every side, within the
// picture; an empty rectangle (no hole) stays empty.
void GrowScanRectangle(InpaintJob& job, int margin)
{
    if (margin == 0 || job.scanMinX > job.scanMaxX || job.scanMinY > job.scanMaxY)
        return;
    job.scanMinX = std::max(job.scanMinX - margin, 0);
    job.scanMinY = std::max(job.scanMinY - margin, 0);
    job.scanMaxX = std::min(job.scanMaxX + margin, job.imageWidth - 1);
    job.scanMaxY = std::min(job.scanMaxY + margin, job.imageHeight - 1);
}

} // namespace

std::optional<PreparedJob> PrepareJob(const CliOptions& options, CliFailure& failure)
{
    if (const std::optional<CliFailure> refused = CheckOutputNames(options)) {
        failure = *refused;
        return std::nullopt;
    }

    if (options.memoryBudget != 0)
        SetMemoryBudget(options.memoryBudget);
    const std::string& marksPath = options.overlay.empty() ? options.mask : options.overlay;
    const char* marksKind = options.overlay.empty() ? "the mask" : "the overlay";
    // The memory budget is for the whole run: the mask or overlay is decoded
    // within what the picture left of it.
    DecodeLimits limits = CurrentDecodeLimits();
    LoadedPicture input = LoadPicture(options.input, limits);
    const int orientation = options.autoOrient ? TurnLoadedPictureUpright(input) : 1;
    const std::string sizeRule =
        std::string("; they must be the same size") +
        (orientation >= 5 ? " (with --auto-orient, the size of the upright picture)" : "");
    if (!input) {
        failure = Failure(ExitBadInput, options.input, input.error);
        return std::nullopt;
    }
    if (input.fullDepth && !options.eightBitOutput && !HoldsDepth(input.fullDepth.get(), options.output)) {
        failure = Failure(ExitBadInput, options.output,
                          std::string("the ") + FreeImage_GetFormatFromFIF(FreeImage_GetFIFFromFilename(options.output.c_str())) +
                              " format cannot hold this picture's 16 bits per channel; choose " +
                              (FreeImage_GetColorType(input.fullDepth.get()) == FIC_CMYK ? "TIFF" : "TIFF or PNG") +
                              ", or give --depth 8");
        return std::nullopt;
    }
    // Marks whose header claims another size are refused before they are
    // decoded; a quarter turn is left to the decoded sizes.
    const ClaimedSize inputSize{FreeImage_GetWidth(input.bitmap.get()), FreeImage_GetHeight(input.bitmap.get())};
    if (const std::optional<ClaimedSize> claimedMarks = ReadHeaderSize(marksPath);
        claimedMarks && Disagree(inputSize, *claimedMarks)) {
        failure = Failure(ExitBadInput, marksPath,
                          std::string(marksKind) + " is " + SizeText(*claimedMarks) + " pixels but " + options.input +
                              " is " + SizeText(inputSize) + sizeRule);
        return std::nullopt;
    }
    const std::uint64_t held = HeldBytes(input);
    limits.budgetBytes = std::max(limits.budgetBytes > held ? limits.budgetBytes - held : 0,
                                  std::min(limits.budgetBytes, LeastMarksBudget));
    LoadedPicture marks = LoadPicture(marksPath, limits);
    if (!marks) {
        failure = Failure(ExitBadInput, marksPath, marks.error);
        return std::nullopt;
    }
    FIBITMAP* const picture = input.bitmap.get();
    const int width = static_cast<int>(FreeImage_GetWidth(picture));
    const int height = static_cast<int>(FreeImage_GetHeight(picture));
    if (FreeImage_GetWidth(marks.bitmap.get()) != FreeImage_GetWidth(picture) ||
        FreeImage_GetHeight(marks.bitmap.get()) != FreeImage_GetHeight(picture)) {
        failure = Failure(ExitBadInput, marksPath,
                          std::string(marksKind) + " is " + SizeText(marks.bitmap.get()) + " pixels but " +
                              options.input + " is " + SizeText(picture) + sizeRule);
        return std::nullopt;
    }

    PreparedJob prepared;
    const auto allocateMask = [&] {
        prepared.mask.reset(FreeImage_Allocate(width, height, 8));
        if (!prepared.mask)
            failure = Failure(ExitBadInput, options.input, "the picture is too large to work on (out of memory)");
        return prepared.mask != nullptr;
    };
    if (!options.overlay.empty()) {
        const std::vector<uint8_t> overlay = OverlayBufferFromBitmap(marks.bitmap.get());
        // The strokes live on in the buffer; their picture goes before the
        // mask is allocated, which keeps the peak memory down.
        marks.bitmap.reset();
        if (!allocateMask())
            return std::nullopt;
        // A loaded overlay always yields a buffer, so the hook is never asked.
        prepared.job = OverlayToMask(overlay.data(), width, height, prepared.mask.get(), options.patchSize,
                                     options.smoothSeam, picture, {}, &prepared.guides);
    } else {
        if (!allocateMask())
            return std::nullopt;
        prepared.job = MaskPictureToJob(marks.bitmap.get(), prepared.mask.get(), options.patchSize,
                                        options.smoothSeam, picture);
    }
    GrowScanRectangle(prepared.job, options.scanMargin);
    prepared.picture = std::move(input.bitmap);
    prepared.inputFormat = input.format;
    prepared.inputDepth = DepthText(input.fullDepth ? input.fullDepth.get() : prepared.picture.get());
    if (!options.eightBitOutput)
        prepared.fullDepth = std::move(input.fullDepth);
    return prepared;
}
