// SPDX-License-Identifier: MIT
// What a picture carries besides its pixels: metadata of every model, the
// ICC profile and the resolution.
#pragma once

#include <FreeImage.h>

// Copies src's metadata, ICC profile (with its CMYK flag) and resolution onto dst.
void CopyPictureInfo(FIBITMAP* dst, FIBITMAP* src);
