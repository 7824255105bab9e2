// SPDX-License-Identifier: MIT
// The fewest bytes the strips or tiles of a TIFF file's first directory must
// hold for the picture it claims, so that a small file claiming a large
// picture is refused before the decoder reserves memory for it.
#pragma once

#include "picture/claim_floors.h"

#include <cstdint>
#include <optional>
#include <string>

// nullopt for files that are not classic TIFF, codings whose best ratio is
// not known (fax, LZMA, Zstandard) and directories too damaged to say.
std::optional<ClaimFloor> ReadTiffFloor(const std::string& path, std::uintmax_t fileBytes);
