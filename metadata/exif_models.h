// SPDX-License-Identifier: MIT
// FreeImage's EXIF models (main, Exif, GPS and Interop directories, tags
// keyed by number, values in this machine's byte order) and exiv2's
// ExifData, both ways.
#pragma once

#include <FreeImage.h>
#include <exiv2/exif.hpp>

#include <cstdint>
#include <string>
#include <vector>

// Tags of the first directory that a written file states for itself (pixel
// size and layout, compression, colour encoding, thumbnail offsets,
// pointers to other directories) or holds in a place of their own (XMP,
// ICC profile, IPTC): never taken from the picture's metadata.
bool LeftToTheFile(uint16_t tag);

// Tags FreeImage's TIFF writer states from the picture itself (its resolution).
bool TiffWriterStates(uint16_t tag);

// The maker note's tag in the Exif directory.
constexpr uint16_t MakerNoteTag = 0x927C;

// Whether a maker note can move to another offset on its own: one that
// starts with its own TIFF header holds no offsets into the block around it.
bool CanMoveMakerNote(const uint8_t* note, std::size_t length);

// Whether the tag has a value, of one of the field types 1 to 12 a
// classic directory holds, with as many values as the standard gives the
// tag where it fixes them; a damaged block gives other types, counts that
// read garbage, and entries whose value lay outside it come without one.
bool DirectoryCanHold(const Exiv2::Exifdatum& datum);

// The four EXIF models with the report's name of each.
struct ExifModel {
    FREE_IMAGE_MDMODEL model;
    const char* group; // exiv2's group
    const char* kind;  // as the report names it
};
const std::vector<ExifModel>& ExifModels();

// The picture's EXIF tags as ExifData; tags of types a directory cannot
// hold, with values that disagree with their count, or that LeftToTheFile
// names are left out, and their models' kinds are added to refused once.
Exiv2::ExifData ExifDataOfModels(FIBITMAP* bitmap, std::vector<std::string>& refused);

// Replaces the picture's four EXIF models with exifData's tags of those
// directories, keyed as FreeImage keys them where it knows the tag.
void PutExifDataInModels(const Exiv2::ExifData& exifData, FIBITMAP* bitmap);
