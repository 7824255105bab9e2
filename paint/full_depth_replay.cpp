// SPDX-License-Identifier: MIT
#include "paint/full_depth_replay.h"

#include "engine/inpaint_job.h"
#include "kernels/rounding.h"
#include "picture/full_depth.h"

#include <algorithm>
#include <cstddef>
#include <memory>

namespace {

// States of a pixel in filled while the fill is repeated.
constexpr uint8_t NotFilled = 0;
constexpr uint8_t FillPending = 1;
constexpr uint8_t FillDone = 2;

// Samples of a pixel at most; saying so keeps the compiler from reading
// past the layout's table.
constexpr unsigned MaxSamples = 4;

// The picture at 16 bits beside its 8-bit working image and the job's mask.
class DeepPicture {
public:
    DeepPicture(FIBITMAP* fullDepth, FIBITMAP* working, FIBITMAP* mask)
        : width(static_cast<int>(FreeImage_GetWidth(fullDepth)))
        , height(static_cast<int>(FreeImage_GetHeight(fullDepth)))
        , m_fullDepth(fullDepth)
        , m_working(working)
        , m_mask(mask)
        , m_layout(SampleLayoutOf(fullDepth))
    {
    }

    const int width;
    const int height;

    bool Matches() const
    {
        const auto sameSize = [&](FIBITMAP* bitmap) {
            return static_cast<int>(FreeImage_GetWidth(bitmap)) == width &&
                   static_cast<int>(FreeImage_GetHeight(bitmap)) == height;
        };
        return m_layout.samples != 0 && sameSize(m_working) && sameSize(m_mask) &&
               FreeImage_GetBPP(m_working) == 8 * m_layout.samples && FreeImage_GetBPP(m_mask) == 8;
    }

    int Samples() const { return static_cast<int>(m_layout.samples); }

    uint16_t* SamplesAt(int x, int y) const
    {
        return reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(m_fullDepth, y)) +
               static_cast<std::size_t>(x) * m_layout.samples;
    }

    int Code(int x, int y) const { return FreeImage_GetScanLine(m_mask, y)[x]; }

    // Whether the job changed the working image's bytes of (x, y): they
    // differ from the high bytes of the picture before it.
    bool BytesChanged(int x, int y) const
    {
        const BYTE* bytes = BytesAt(x, y);
        const uint16_t* samples = SamplesAt(x, y);
        for (unsigned s = 0; s < MaxSamples && s < m_layout.samples; ++s)
            if (bytes[m_layout.byteOf[s]] != samples[s] >> 8)
                return true;
        return false;
    }

    // Writes the samples at (x, y), and their high bytes into the working image.
    void Put(int x, int y, const uint16_t* samples) const
    {
        std::copy_n(samples, m_layout.samples, SamplesAt(x, y));
        BYTE* bytes = BytesAt(x, y);
        for (unsigned s = 0; s < MaxSamples && s < m_layout.samples; ++s)
            bytes[m_layout.byteOf[s]] = static_cast<BYTE>(samples[s] >> 8);
    }

    // The 8-bit result widened, for a filled pixel the record does not explain.
    void Widen(int x, int y) const
    {
        const BYTE* bytes = BytesAt(x, y);
        uint16_t* samples = SamplesAt(x, y);
        for (unsigned s = 0; s < MaxSamples && s < m_layout.samples; ++s)
            samples[s] = static_cast<uint16_t>(bytes[m_layout.byteOf[s]] * 257);
    }

private:
    BYTE* BytesAt(int x, int y) const
    {
        return FreeImage_GetScanLine(m_working, y) + static_cast<std::size_t>(x) * m_layout.samples;
    }

    FIBITMAP* m_fullDepth;
    FIBITMAP* m_working;
    FIBITMAP* m_mask;
    SampleLayout m_layout;
};

// The window of the patch passes at 16 bits: its samples and its codes, as
// the pastes change them. Pixels outside the picture are excluded and hold 0.
class WindowTwin {
public:
    WindowTwin(const FillRecord& record, const DeepPicture& picture)
        : m_record(record)
        , m_samples(picture.Samples())
        , m_codes(record.windowCodes)
        , m_colour(m_codes.size() * static_cast<std::size_t>(m_samples), 0)
        , m_exemplar(static_cast<std::size_t>(MaxPatchSize) * MaxPatchSize * 4)
        , m_usable(static_cast<std::size_t>(MaxPatchSize) * MaxPatchSize)
    {
        for (int r = 0; r < record.windowHeight; ++r) {
            const int y = record.windowOriginY + r;
            if (y < 0 || y >= picture.height)
                continue;
            for (int c = 0; c < record.windowWidth; ++c) {
                const int x = record.windowOriginX + c;
                if (x >= 0 && x < picture.width)
                    std::copy_n(picture.SamplesAt(x, y), m_samples, Pixel(Index(c, r)));
            }
        }
    }

    // One paste as PastePatch makes it: the exemplar is read whole before
    // any pixel is written, since the engine holds it apart in its planes.
    void Paste(const RecordedPaste& paste)
    {
        const int s = paste.size;
        const int half = s / 2;
        if (s < 1 || s > MaxPatchSize || !Inside(paste.x - half, paste.y - half, s) ||
            !Inside(paste.fromX - half, paste.fromY - half, s))
            return;
        for (int j = 0; j < s; ++j)
            for (int i = 0; i < s; ++i) {
                const std::size_t from = Index(paste.fromX - half + i, paste.fromY - half + j);
                const std::size_t at = static_cast<std::size_t>(j) * s + i;
                m_usable[at] = m_codes[from] == MaskSource;
                std::copy_n(Pixel(from), m_samples, m_exemplar.data() + at * 4);
            }
        const double factor = 4.0 / static_cast<double>(s * s);
        for (int j = 0; j < s; ++j)
            for (int i = 0; i < s; ++i) {
                const std::size_t at = static_cast<std::size_t>(j) * s + i;
                if (!m_usable[at])
                    continue;
                const int u = paste.x - half + i;
                const int v = paste.y - half + j;
                const std::size_t index = Index(u, v);
                uint16_t* pixel = Pixel(index);
                const uint16_t* exemplar = m_exemplar.data() + at * 4;
                const int code = m_codes[index];
                if (code == MaskHole) {
                    std::copy_n(exemplar, m_samples, pixel);
                    m_codes[index] = MaskFilled;
                } else if (code == MaskFilled || (code == MaskSource && m_record.smoothSeam)) {
                    const int du = u - paste.x;
                    const int dv = v - paste.y;
                    const double weight = (du * du + dv * dv) * factor;
                    if (weight >= 1.0)
                        continue;
                    for (int k = 0; k < m_samples; ++k)
                        pixel[k] = static_cast<uint16_t>(RoundToInt(weight * pixel[k] + (1.0 - weight) * exemplar[k]));
                }
            }
    }

    // Puts the window back as WriteBackWindow does, but only where the job
    // changed a pixel: a filled hole pixel, or a seam pixel whose bytes the
    // blending altered (one whose bytes stayed keeps its 16 bits).
    void WriteBack(const DeepPicture& picture, std::vector<uint8_t>& filled) const
    {
        for (int r = 0; r < m_record.windowHeight; ++r) {
            const int y = m_record.windowOriginY + r;
            if (y < 0 || y >= picture.height)
                continue;
            for (int c = 0; c < m_record.windowWidth; ++c) {
                const int x = m_record.windowOriginX + c;
                if (x < 0 || x >= picture.width)
                    continue;
                const std::size_t index = Index(c, r);
                uint8_t& state = filled[static_cast<std::size_t>(y) * picture.width + x];
                if (m_codes[index] == MaskFilled && state == FillPending) {
                    picture.Put(x, y, Pixel(index));
                    state = FillDone;
                } else if (m_codes[index] == MaskSource && state == NotFilled && picture.BytesChanged(x, y)) {
                    picture.Put(x, y, Pixel(index));
                }
            }
        }
    }

private:
    std::size_t Index(int c, int r) const { return static_cast<std::size_t>(r) * m_record.windowWidth + c; }
    uint16_t* Pixel(std::size_t index) { return m_colour.data() + index * m_samples; }
    const uint16_t* Pixel(std::size_t index) const { return m_colour.data() + index * m_samples; }
    bool Inside(int left, int top, int s) const
    {
        return left >= 0 && top >= 0 && left + s <= m_record.windowWidth && top + s <= m_record.windowHeight;
    }

    const FillRecord& m_record;
    const int m_samples;
    std::vector<uint8_t> m_codes;
    std::vector<uint16_t> m_colour;
    std::vector<uint16_t> m_exemplar;
    std::vector<uint8_t> m_usable;
};

// The rounded mean of the neighbours known when (x, y) was averaged: those
// known before the job and those already filled, as the engine saw them.
bool Average(const DeepPicture& picture, const std::vector<uint8_t>& filled, int x, int y)
{
    uint32_t sums[4] = {};
    uint32_t count = 0;
    for (const NeighbourOffset& offset : NeighbourOffsets) {
        const int nx = x + offset.dx;
        const int ny = y + offset.dy;
        if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height)
            continue;
        const uint8_t state = filled[static_cast<std::size_t>(ny) * picture.width + nx];
        const bool known = state == FillDone || (state == NotFilled && IsKnownCode(picture.Code(nx, ny)));
        if (!known)
            continue;
        const uint16_t* samples = picture.SamplesAt(nx, ny);
        for (int k = 0; k < picture.Samples(); ++k)
            sums[k] += samples[k];
        ++count;
    }
    if (count == 0)
        return false;
    uint16_t mean[4] = {};
    // Halves round up, as RoundedMean does for the bytes.
    for (int k = 0; k < picture.Samples(); ++k)
        mean[k] = static_cast<uint16_t>((2 * sums[k] + count) / (2 * count));
    picture.Put(x, y, mean);
    return true;
}

} // namespace

void ReplayAtFullDepth(const FillRecord& record, FIBITMAP* fullDepth, FIBITMAP* working, FIBITMAP* mask,
                       std::vector<uint8_t>& filled)
{
    const DeepPicture picture(fullDepth, working, mask);
    if (!picture.Matches() || filled.size() != static_cast<std::size_t>(picture.width) * picture.height)
        return;
    // The only memory it needs is taken before anything changes.
    std::unique_ptr<WindowTwin> window;
    if (record.windowWidth > 0 &&
        record.windowCodes.size() == static_cast<std::size_t>(record.windowWidth) * record.windowHeight)
        window = std::make_unique<WindowTwin>(record, picture);
    for (uint8_t& state : filled)
        state = state != 0 ? FillPending : NotFilled;
    if (window) {
        for (const RecordedPaste& paste : record.pastes)
            window->Paste(paste);
        window->WriteBack(picture, filled);
    }
    for (const RecordedPoint& point : record.averaged) {
        if (point.x < 0 || point.y < 0 || point.x >= picture.width || point.y >= picture.height)
            continue;
        uint8_t& state = filled[static_cast<std::size_t>(point.y) * picture.width + point.x];
        if (state == FillPending && Average(picture, filled, point.x, point.y))
            state = FillDone;
    }
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (filled[static_cast<std::size_t>(y) * picture.width + x] == FillPending)
                picture.Widen(x, y);
}
