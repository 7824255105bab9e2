// SPDX-License-Identifier: MIT
// Saved pictures are always TIFF files named ".tif".
#pragma once

#include <QString>

// path with the extension of its last component (its last "." and what
// follows) replaced by ".tif"; a name without extension gets ".tif" added.
// Dots in folder names do not count.
QString TiffPathFor(const QString& path);
