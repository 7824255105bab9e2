// SPDX-License-Identifier: MIT
// The metadata FreeImage's TIFF writer leaves out, added to the file it
// wrote: the main EXIF tags, the Exif and GPS directories and the IPTC
// block, behind a new first directory.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <string>

// Tags of the main model the TIFF writer states from the picture itself
// (its resolution): the file's entries stay.
bool TiffWriterStates(uint16_t tag);

// Appends to the TIFF file open for reading and writing at fd a copy of its
// first directory with the picture's main EXIF tags (Orientation as the
// picture has it), pointers to Exif and GPS directories and the IPTC block
// (little-endian files only), followed by those, and points the header at it. The pixel data and every
// other entry stay as they are. BigTIFF files, and files that would pass
// the 4 GiB classic TIFF can address, are left alone. false with the reason
// in error when reading or writing fails.
bool AddMetadataToTiff(int fd, FIBITMAP* bitmap, std::string& error);
