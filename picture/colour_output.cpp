// SPDX-License-Identifier: MIT
#include "picture/colour_output.h"

#include <FreeImage.h>

bool WritesColourPictures(const std::string& path)
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(path.c_str());
    return format != FIF_UNKNOWN && FreeImage_FIFSupportsWriting(format) &&
           FreeImage_FIFSupportsExportBPP(format, 24);
}
