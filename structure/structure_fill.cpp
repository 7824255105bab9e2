// SPDX-License-Identifier: MIT
#include "structure/structure_fill.h"

#include "engine/inpaint_driver.h"
#include "engine/scan_rectangle.h"
#include "engine/whole_region_fill.h"

InpaintOutcome StructureFill(InpaintJob job, std::vector<CopiedPixel>* copied)
{
    if (copied != nullptr)
        copied->clear();
    const int bytesPerPixel = driver::UsableBytesPerPixel(job);
    if (bytesPerPixel == 0)
        return InpaintOutcome::Filled;
    driver::ClipToImage(job);
    const ScanCounts counts = CountScanRectangle(job);
    CopySourcePixels(job, bytesPerPixel);
    if (counts.holeBox.Empty())
        return InpaintOutcome::Filled;
    const PictureView picture{job.targetImage, job.maskImage, job.imageWidth, job.imageHeight, bytesPerPixel};
    FillWholeRegion(picture, counts.holeBox.minX, counts.holeBox.maxX, counts.holeBox.minY, counts.holeBox.maxY);
    return InpaintOutcome::Filled;
}
