// SPDX-License-Identifier: MIT
#include "canvas/mask_runs.h"

#include <cstring>
#include <utility>

namespace {

bool IsEightBitMask(FIBITMAP* mask)
{
    return mask && FreeImage_GetBPP(mask) == 8 && FreeImage_GetImageType(mask) == FIT_BITMAP;
}

// The end of the run of code starting at x: eight codes compared at a time.
int RunEnd(const uint8_t* codes, int x, int width, uint8_t code)
{
    const uint64_t repeated = 0x0101010101010101ull * code;
    for (uint64_t eight = 0; x + 8 <= width; x += 8) {
        std::memcpy(&eight, codes + x, sizeof eight);
        if (eight != repeated)
            break;
    }
    while (x < width && codes[x] == code)
        ++x;
    return x;
}

} // namespace

CMaskRuns CMaskRuns::Of(FIBITMAP* mask)
{
    CMaskRuns runs;
    if (IsEightBitMask(mask))
        runs.Encode(mask);
    return runs;
}

void CMaskRuns::Encode(FIBITMAP* mask)
{
    m_nWidth = static_cast<int>(FreeImage_GetWidth(mask));
    m_nHeight = static_cast<int>(FreeImage_GetHeight(mask));
    m_runs.clear();
    for (int y = 0; y < m_nHeight; ++y) {
        const uint8_t* codes = FreeImage_GetScanLine(mask, y);
        int x = 0;
        while (x < m_nWidth) {
            const uint8_t code = codes[x];
            const int start = x;
            x = RunEnd(codes, x, m_nWidth, code);
            m_runs.push_back({static_cast<uint32_t>(x - start), code});
        }
    }
    m_runs.shrink_to_fit();
}

void CMaskRuns::Decode(FIBITMAP* mask) const
{
    std::size_t run = 0;
    for (int y = 0; y < m_nHeight; ++y) {
        uint8_t* codes = FreeImage_GetScanLine(mask, y);
        for (int x = 0; x < m_nWidth; ++run) {
            std::memset(codes + x, m_runs[run].code, m_runs[run].length);
            x += static_cast<int>(m_runs[run].length);
        }
    }
}

void CMaskRuns::SwapWith(FIBITMAP* mask)
{
    if (!IsEightBitMask(mask) || static_cast<int>(FreeImage_GetWidth(mask)) != m_nWidth ||
        static_cast<int>(FreeImage_GetHeight(mask)) != m_nHeight)
        return;
    // The mask's codes are read before they are overwritten.
    CMaskRuns current = Of(mask);
    Decode(mask);
    *this = std::move(current);
}
