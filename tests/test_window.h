// SPDX-License-Identifier: MIT
// A working window built by hand, for the steps that work in window coordinates.
#pragma once

#include "engine/exemplar_search.h"
#include "engine/inpaint_job.h"
#include "engine/job_scratch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TestWindow {
    int width;
    int height;
    int bytesPerPixel;
    std::vector<uint8_t> mask;
    std::vector<uint8_t> colour;

    TestWindow(int w, int h, int bpp, uint8_t code = MaskSource)
        : width(w)
        , height(h)
        , bytesPerPixel(bpp)
        , mask(static_cast<std::size_t>(w) * h + SearchReadPadding, code)
        , colour(static_cast<std::size_t>(w) * h * bpp + SearchReadPadding, 0)
    {
    }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
    uint8_t& Code(int x, int y) { return mask[Index(x, y)]; }
    uint8_t* Pixel(int x, int y) { return colour.data() + Index(x, y) * bytesPerPixel; }
    void SetCodes(int x0, int x1, int y0, int y1, uint8_t code)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Code(x, y) = code;
    }
    void SetAll(int x, int y, int value)
    {
        for (int k = 0; k < bytesPerPixel; ++k)
            Pixel(x, y)[k] = static_cast<uint8_t>(value);
    }
    WindowView View() { return {mask.data(), colour.data(), width, height, bytesPerPixel}; }
    void SetColours(int x0, int x1, int y0, int y1, int value)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                SetAll(x, y, value);
    }
};

// The search's and the front build's working memory for the tests, as a job's
// driver would own it.
inline JobScratch& TestScratch()
{
    static JobScratch scratch;
    return scratch;
}
