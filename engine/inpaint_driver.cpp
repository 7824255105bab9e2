// SPDX-License-Identifier: MIT
#include "engine/inpaint_driver.h"

#include "engine/work_window.h"
#include "kernels/bitmap_rows.h"
#include "kernels/pixel_access.h"

#include <new>
#include <stdexcept>

namespace driver {

int UsableBytesPerPixel(const InpaintJob& job)
{
    const int bytesPerPixel = job.sourceImage ? BytesPerPixelOf(job.sourceImage) : 0;
    if (bytesPerPixel == 0)
        return 0;
    auto fits = [&](FIBITMAP* bitmap, int bytes) {
        return HasPlainLayout(bitmap, bytes) && static_cast<int>(FreeImage_GetWidth(bitmap)) == job.imageWidth &&
               static_cast<int>(FreeImage_GetHeight(bitmap)) == job.imageHeight;
    };
    const bool usable = fits(job.maskImage, 1) && fits(job.sourceImage, bytesPerPixel) &&
                        fits(job.targetImage, bytesPerPixel);
    return usable ? bytesPerPixel : 0;
}

void ClipToImage(InpaintJob& job)
{
    job.scanMinX = std::max(job.scanMinX, 0);
    job.scanMinY = std::max(job.scanMinY, 0);
    job.scanMaxX = std::min(job.scanMaxX, job.imageWidth - 1);
    job.scanMaxY = std::min(job.scanMaxY, job.imageHeight - 1);
}

bool BuildWorkWindow(const HoleBox& box, int P, int G, const InpaintJob& job, int bytesPerPixel, WorkWindow& window)
{
    if (!WindowFitsPicture(box.minX, box.maxX, box.minY, box.maxY, P, G, job.imageWidth, job.imageHeight))
        return false;
    window = MakeWorkWindow(box.minX, box.maxX, box.minY, box.maxY, P, G);
    try {
        const std::size_t pixels = static_cast<std::size_t>(window.width) * static_cast<std::size_t>(window.height);
        window.maskBuffer.resize(pixels + SearchReadPadding);
        window.colourBuffer.resize(pixels * static_cast<std::size_t>(bytesPerPixel) + SearchReadPadding);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    window.maskBuffer = {};
    window.colourBuffer = {};
    return false;
}

WindowView ViewOf(WorkWindow& window, int bytesPerPixel)
{
    return {window.maskBuffer.data(), window.colourBuffer.data(), window.width, window.height, bytesPerPixel};
}

HoleBox Shifted(const HoleBox& box, int dx, int dy)
{
    HoleBox shifted = box;
    shifted.minX += dx;
    shifted.maxX += dx;
    shifted.minY += dy;
    shifted.maxY += dy;
    return shifted;
}

void RecordWindow(const WorkWindow& window, bool smoothSeam, FillRecord& record)
{
    record.windowOriginX = window.originX;
    record.windowOriginY = window.originY;
    record.windowWidth = window.width;
    record.windowHeight = window.height;
    const std::size_t pixels = static_cast<std::size_t>(window.width) * static_cast<std::size_t>(window.height);
    record.windowCodes.assign(window.maskBuffer.begin(), window.maskBuffer.begin() + static_cast<std::ptrdiff_t>(pixels));
    record.smoothSeam = smoothSeam;
}

HoleBox HolesLeft(const WindowView& window, const HoleBox& box)
{
    HoleBox remaining;
    for (int y = box.minY; y <= box.maxY; ++y)
        for (int x = box.minX; x <= box.maxX; ++x)
            if (window.maskBuffer[static_cast<std::size_t>(y) * window.width + x] == MaskHole)
                remaining.Include(x, y);
    return remaining;
}

} // namespace driver
