// SPDX-License-Identifier: MIT
// A whole 8-bit mask kept as runs of equal codes: a Paint rewrites every
// code of the mask, yet strokes give it few runs per line, so the runs take
// a small part of the mask's bytes.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <vector>

class CMaskRuns {
public:
    // Throws std::bad_alloc when there is no room.
    static CMaskRuns Of(FIBITMAP* mask);

    // Exchanges the kept codes with the mask's, as CLayerRegion does; a mask
    // of another size is left alone.
    void SwapWith(FIBITMAP* mask);

    std::size_t Bytes() const { return m_runs.capacity() * sizeof(Run); }

private:
    struct Run {
        uint32_t length;
        uint8_t code;
    };
    void Encode(FIBITMAP* mask);
    void Decode(FIBITMAP* mask) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    // Runs never cross a line's end.
    std::vector<Run> m_runs;
};
