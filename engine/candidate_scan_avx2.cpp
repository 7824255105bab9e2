// SPDX-License-Identifier: MIT
// The candidate scan on 32-byte blocks. This file alone is compiled for
// AVX2 (on x86); the search calls it only on processors that have it.
#include "engine/candidate_scan.h"
#include "kernels/masked_byte_blocks.h"

LineSearcher WideLineSearcher(int bytesPerPixel)
{
    return LineSearcherFor<WideBlocks>(bytesPerPixel);
}
