// SPDX-License-Identifier: MIT
// A picture's metadata written into the file its encoder just wrote:
// EXIF (with GPS, interoperability and maker notes), IPTC and XMP through
// exiv2 into JPEG, PNG and TIFF files; the ICC profile, comments and
// GeoTIFF tags as the encoder wrote them.
#pragma once

#include <FreeImage.h>

#include <string>
#include <vector>

// Writes picture's metadata into the file open for reading and writing at
// fd, just written in format from encoded (picture itself, or a conversion
// of it whose ICC profile is the one the file holds). Formats other than
// JPEG, PNG and TIFF keep what their encoder wrote. notWritten gets the
// kinds of picture's metadata ("EXIF", "GPS", "maker notes", "IPTC", "XMP",
// "ICC profile" and so on) the file does not hold, and the blocks found
// damaged when the picture was read. false with the reason in error when
// the file cannot be read or written.
bool AddMetadataToFile(int fd, FREE_IMAGE_FORMAT format, FIBITMAP* picture, FIBITMAP* encoded,
                       std::vector<std::string>& notWritten, std::string& error);
