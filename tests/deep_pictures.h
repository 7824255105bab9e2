// SPDX-License-Identifier: MIT
// Pictures of 16 bits per channel and the metadata of a photograph, made
// in memory for round trips through the loader, the writer, the command
// line and the editor.
#pragma once

#include "picture/bitmap.h"

#include <cstdint>
#include <string>

// type FIT_UINT16, FIT_RGB16 or FIT_RGBA16, every sample from seed; cmyk
// marks a FIT_RGBA16 picture as inks.
BitmapPtr MakeDeepPicture(FREE_IMAGE_TYPE type, int width, int height, uint32_t seed, bool cmyk = false);

// Camera, date, author, copyright, orientation 6 (pixels not rotated), GPS
// position, XMP, IPTC and an ICC profile for the picture's colour space.
void AddPhotoMetadata(FIBITMAP* picture);

// Only the EXIF Orientation, as a camera writes it.
void SetOrientation(FIBITMAP* picture, WORD orientation);
// The tag's value as text, or empty when the picture lacks it.
std::string TagText(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, const char* key);

// The value of the tag numbered id as text, or empty when the picture
// lacks it: EXIF tags read from TIFF and PNG files have no names.
std::string TagTextById(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, WORD id);

// Sample s (in FreeImage's order for the type) of pixel (x, y).
uint16_t Sample(FIBITMAP* picture, int x, int y, int s);
int SamplesPerPixel(FIBITMAP* picture);
