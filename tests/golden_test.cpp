// SPDX-License-Identifier: MIT
// Whole jobs on small photographs whose results are pinned byte for byte.
// Set QUENLO_PRINT_GOLDEN_HASHES=1 to print the hashes of the current engine
// and save its pictures for a look; never copy a hash without looking.
#include "engine/inpaint_job.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

namespace {

// An ellipse or a straight stroke, in top-down picture coordinates.
struct HoleShape {
    enum Kind { Ellipse, Stroke } kind;
    double x0, y0, x1, y1; // ellipse: centre and radii; stroke: its two ends
    double halfWidth;      // stroke only
};

struct GoldenCase {
    const char* name;
    const char* file;
    bool asThirtyTwoBits;
    HoleShape hole;
    int patchSize;
    bool smoothSeam;
    uint64_t hash;
};

bool InsideShape(const HoleShape& shape, double x, double y)
{
    if (shape.kind == HoleShape::Ellipse) {
        const double dx = (x - shape.x0) / shape.x1;
        const double dy = (y - shape.y0) / shape.y1;
        return dx * dx + dy * dy <= 1.0;
    }
    const double vx = shape.x1 - shape.x0;
    const double vy = shape.y1 - shape.y0;
    double t = ((x - shape.x0) * vx + (y - shape.y0) * vy) / (vx * vx + vy * vy);
    t = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
    const double ex = x - (shape.x0 + t * vx);
    const double ey = y - (shape.y0 + t * vy);
    return ex * ex + ey * ey <= shape.halfWidth * shape.halfWidth;
}

Bitmap LoadPicture(const GoldenCase& golden)
{
    const std::string path = std::string(QUENLO_TEST_DATA_DIR) + "/" + golden.file;
    Bitmap picture(FreeImage_Load(FIF_PNG, path.c_str(), PNG_DEFAULT));
    if (picture && golden.asThirtyTwoBits)
        picture.reset(FreeImage_ConvertTo32Bits(picture.get()));
    return picture;
}

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GoldenCase& value, std::ostream* out)
{
    *out << value.name;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

} // namespace

TEST_P(GoldenTest, FillIsUnchanged)
{
    const GoldenCase& golden = GetParam();
    Bitmap image = LoadPicture(golden);
    ASSERT_TRUE(image) << golden.file;
    const int width = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int height = static_cast<int>(FreeImage_GetHeight(image.get()));
    Bitmap mask = MakeBitmap(width, height, 8);
    int minX = width, maxX = -1, minY = height, maxY = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hole = InsideShape(golden.hole, x, height - 1 - y);
            SetCode(mask.get(), x, y, hole ? MaskHole : MaskSource);
            if (hole) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_LE(minX, maxX);

    InpaintRegion(MakeJob(image.get(), mask.get(), minX, maxX, minY, maxY, golden.patchSize, golden.patchSize / 2,
                          golden.smoothSeam));
    const uint64_t hash = HashBitmap(mask.get(), HashBitmap(image.get()));
    if (std::getenv("QUENLO_PRINT_GOLDEN_HASHES") != nullptr) {
        std::printf("%s: 0x%016" PRIx64 "ull, picture %s\n", golden.name, hash,
                    SaveForInspection(image.get(), std::string("golden_") + golden.name).c_str());
    }
    if (hash != golden.hash) {
        const std::string saved = SaveForInspection(image.get(), std::string("golden_") + golden.name);
        SaveForInspection(mask.get(), std::string("golden_") + golden.name + "_mask");
        ADD_FAILURE() << golden.name << " changed; the result is in " << saved;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SamplePhotos, GoldenTest,
    ::testing::Values(
        GoldenCase{"cat_nose", "chelsea_nose.png", false, {HoleShape::Ellipse, 70, 73, 29, 21, 0}, 9, true,
                   0xd1aa63c84827c26eull},
        GoldenCase{"table_knot", "coffee_table.png", false, {HoleShape::Ellipse, 15, 55, 16, 11, 0}, 7, false,
                   0xdb89d12c045ca069ull},
        GoldenCase{"brick_joint", "brick_wall.png", false, {HoleShape::Stroke, 30, 74, 54, 78, 4}, 9, false,
                   0x15bb07c68a324b0eull},
        GoldenCase{"cat_whisker_rgba", "chelsea_nose.png", true, {HoleShape::Stroke, 20, 14, 34, 18, 4}, 7, true,
                   0x485fdc39d1ddac8eull}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });
