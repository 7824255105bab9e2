// SPDX-License-Identifier: MIT
// A picture's EXIF tags, as FreeImage's metadata models hold them, laid out
// as image file directories: the EXIF block of JPEG and PNG files, and the
// directories a TIFF file's first directory points to.
#pragma once

#include "picture/ifd_layout.h"

#include <FreeImage.h>

// Tags of the main model that a written file states for itself (pixel
// size and layout, compression, sample format, colour encoding, thumbnail
// offsets, pointers to other directories) or holds in a place of their own
// (XMP, ICC profile, IPTC): never taken from the picture's metadata.
bool LeftToTheFile(uint16_t tag);

// The maker note's tag in the Exif directory.
constexpr uint16_t MakerNoteTag = 0x927C;

// Whether a maker note can move to another offset: only one that starts
// with its own TIFF header holds no offsets into the block around it.
bool CanMoveMakerNote(const uint8_t* note, std::size_t length);

struct ExifDirectories {
    std::vector<IfdEntry> main;    // FIMD_EXIF_MAIN
    std::vector<IfdEntry> exif;    // FIMD_EXIF_EXIF
    std::vector<IfdEntry> gps;     // FIMD_EXIF_GPS
    std::vector<IfdEntry> interop; // FIMD_EXIF_INTEROP
};

// The picture's EXIF tags in order's byte order; tags of types a directory
// cannot hold, with values that disagree with their count, or that
// LeftToTheFile names, are left out; text gets its terminating zero.
ExifDirectories ExifTagsOf(FIBITMAP* bitmap, ByteOrder order);

// Appends the first directory (main tags with pointers to the others),
// then the Exif, GPS and Interop directories that have tags, to out, whose
// first byte lies at file offset outStart; out's end must be at an even
// offset. next follows the first directory. Returns its offset.
uint32_t AppendExifDirectories(std::vector<uint8_t>& out, uint32_t outStart, ByteOrder order,
                               ExifDirectories directories, uint32_t next);

// A little-endian TIFF-structured EXIF block holding the picture's EXIF
// tags; empty when it has none to write.
std::vector<uint8_t> EncodeExif(FIBITMAP* bitmap);
