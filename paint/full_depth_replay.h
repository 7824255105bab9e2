// SPDX-License-Identifier: MIT
// The patch engine's fill repeated on the 16 bits per channel of a picture,
// from the engine's record of it: a pixel copied from a source takes that
// source's 16 bits, a blended or averaged one is computed as the engine
// computed it, from the 16-bit values.
#pragma once

#include "engine/fill_record.h"

#include <FreeImage.h>

#include <cstdint>
#include <vector>

// fullDepth is the picture as it was before the job; working its 8-bit
// reduction, which the job filled; mask the job's mask after the job; filled
// one byte per pixel, non-zero where the job filled a hole pixel (it is used
// as scratch). Every pixel the job changed takes its 16-bit value and the
// working image its high bytes, so that it stays the reduction of the
// picture; every other pixel keeps every bit. Does nothing when the pictures
// do not match each other. Out of memory it throws std::bad_alloc before
// changing anything.
void ReplayAtFullDepth(const FillRecord& record, FIBITMAP* fullDepth, FIBITMAP* working, FIBITMAP* mask,
                       std::vector<uint8_t>& filled);
