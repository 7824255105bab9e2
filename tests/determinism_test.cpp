// SPDX-License-Identifier: MIT
// One worker thread against several: every job must give the same bytes.
#include "engine/inpaint_job.h"
#include "kernels/parallel_for.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct ThreadCase {
    const char* name;
    int bitsPerPixel;
    bool cmyk;
    int width;
    int height;
    int patchSize;
    int searchGap;
};

struct JobResult {
    Bitmap image;
    Bitmap mask;
};

// A textured picture with an irregular hole (two overlapping blocks and a
// stroke of single pixels) and an excluded block beside it.
JobResult RunJob(const ThreadCase& job, int threads)
{
    WorkerThreadLimit limit(threads);
    JobResult result{job.cmyk ? MakeCmykBitmap(job.width, job.height) : MakeBitmap(job.width, job.height,
                                                                                   job.bitsPerPixel),
                     MakeBitmap(job.width, job.height, 8)};
    PaintTexture(result.image.get(), static_cast<uint32_t>(job.width * 31 + job.bitsPerPixel));
    FillCodes(result.mask.get(), 0, job.width - 1, 0, job.height - 1, MaskSource);
    const int cx = job.width / 2;
    const int cy = job.height / 2;
    FillCodes(result.mask.get(), cx - 6, cx + 3, cy - 4, cy + 5, MaskHole);
    FillCodes(result.mask.get(), cx, cx + 8, cy + 2, cy + 7, MaskHole);
    for (int i = 0; i < 9; ++i)
        SetCode(result.mask.get(), cx - 8 - i, cy - 6 + i, MaskHole);
    FillCodes(result.mask.get(), cx + 10, cx + 14, cy - 8, cy + 2, MaskExcluded);
    InpaintRegion(MakeJob(result.image.get(), result.mask.get(), cx - 16, cx + 8, cy - 6, cy + 7, job.patchSize,
                          job.searchGap, true));
    return result;
}

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ThreadCase& value, std::ostream* out)
{
    *out << value.name;
}

class ThreadCountTest : public ::testing::TestWithParam<ThreadCase> {};

} // namespace

TEST_P(ThreadCountTest, OneThreadAndSeveralGiveTheSameBytes)
{
    const JobResult single = RunJob(GetParam(), 1);
    const JobResult several = RunJob(GetParam(), 4);
    EXPECT_TRUE(SameBytes(single.image.get(), several.image.get()));
    EXPECT_TRUE(SameBytes(single.mask.get(), several.mask.get()));
}

INSTANTIATE_TEST_SUITE_P(Pictures, ThreadCountTest,
                         ::testing::Values(ThreadCase{"grey", 8, false, 60, 50, 9, 4},
                                           ThreadCase{"rgb", 24, false, 64, 48, 11, 5},
                                           ThreadCase{"rgba", 32, false, 56, 56, 7, 3},
                                           ThreadCase{"cmyk", 32, true, 60, 52, 9, 4},
                                           // Edge 48 compares every second pixel and reloads the exemplar.
                                           ThreadCase{"rgb_sampled", 24, false, 120, 110, 48, 2}),
                         [](const ::testing::TestParamInfo<ThreadCase>& info) { return std::string(info.param.name); });
