// SPDX-License-Identifier: MIT
// Which of a picture's metadata a written file really holds: read back
// rather than predicted, since each format's writer keeps different kinds.
#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

// The kinds of metadata bitmap carries ("EXIF", "GPS", "XMP", "ICC profile"
// and so on) of which the file at path, just written in format, lacks a tag
// or holds another value.
std::vector<std::string> MetadataMissingFrom(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, const std::string& path);
