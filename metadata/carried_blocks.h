// SPDX-License-Identifier: MIT
// What a picture carries besides its tags, kept in FreeImage's models so
// that it travels with the picture: the camera's own EXIF block, the XMP
// packet, and the names of the metadata blocks found damaged when it was read.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <string>
#include <vector>

// The picture's raw EXIF block (TIFF-structured, without the "Exif"
// prefix JPEG files give it); empty when it has none.
std::vector<uint8_t> CameraExifBlock(FIBITMAP* picture);

// Makes block the picture's raw EXIF block, or removes it when empty.
void SetCameraExifBlock(FIBITMAP* picture, const std::vector<uint8_t>& block);

// The picture's XMP packet as FreeImage keeps it; empty when it has none.
std::string XmpPacketOf(FIBITMAP* picture);

// What was damaged and left out of the picture's metadata when it was read,
// as the report names it ("EXIF GPS directory damaged"), each once.
std::vector<std::string> DamagedMetadataOf(FIBITMAP* picture);
void SetDamagedMetadata(FIBITMAP* picture, const std::vector<std::string>& damaged);
