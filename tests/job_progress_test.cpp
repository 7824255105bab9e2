// SPDX-License-Identifier: MIT
// Following a job: the reports of filled hole pixels, the stop request, and
// that neither changes a byte of what the engine writes.
#include "engine/inpaint_job.h"
#include "engine/plain/plain_engine.h"
#include "kernels/parallel_for.h"
#include "test_bitmaps.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Engine = InpaintOutcome (*)(InpaintJob);

struct Engines {
    const char* name;
    Engine run;
};

const Engines BothEngines[] = {{"fast", &InpaintRegion}, {"plain", &plain::InpaintRegion}};

// A textured picture with a rectangular hole of HoleWidth x HoleHeight pixels.
struct HoleJob {
    static constexpr int HoleWidth = 30;
    static constexpr int HoleHeight = 24;
    Bitmap image;
    Bitmap mask;
    InpaintJob job;

    explicit HoleJob(bool withSource = true)
        : image(MakeBitmap(96, 80, 24)), mask(MakeBitmap(96, 80, 8))
    {
        PaintTexture(image.get(), 7);
        FillCodes(mask.get(), 0, 95, 0, 79, withSource ? MaskSource : MaskExcluded);
        FillCodes(mask.get(), 30, 30 + HoleWidth - 1, 20, 20 + HoleHeight - 1, MaskHole);
        job = MakeJob(image.get(), mask.get(), 0, 95, 0, 79, 9, 4, false);
    }
};

// Every report, and a stop raised once a given number of them has come.
struct Follower {
    std::vector<std::pair<int64_t, int64_t>> reports;
    std::atomic<bool> stop{false};
    std::size_t stopAfter = 0; // 0: never

    static void Report(void* context, int64_t filled, int64_t total)
    {
        auto* follower = static_cast<Follower*>(context);
        follower->reports.emplace_back(filled, total);
        if (follower->reports.size() == follower->stopAfter)
            follower->stop.store(true);
    }

    InpaintProgress Progress() { return {&Follower::Report, this, &stop}; }
};

} // namespace

TEST(FollowedJob, ReportsClimbToTheHoleSizeAndChangeNoByte)
{
    constexpr int64_t holeSize = HoleJob::HoleWidth * HoleJob::HoleHeight;
    std::vector<std::pair<int64_t, int64_t>> firstReports;
    for (const Engines& engine : BothEngines) {
        for (const int threads : {1, 2}) {
            SCOPED_TRACE(testing::Message() << engine.name << " engine, " << threads << " threads");
            WorkerThreadLimit limit(threads);
            HoleJob unfollowed;
            EXPECT_EQ(engine.run(unfollowed.job), InpaintOutcome::Filled);

            HoleJob followed;
            Follower follower;
            followed.job.progress = follower.Progress();
            EXPECT_EQ(engine.run(followed.job), InpaintOutcome::Filled);
            EXPECT_TRUE(SameBytes(followed.image.get(), unfollowed.image.get()));
            EXPECT_TRUE(SameBytes(followed.mask.get(), unfollowed.mask.get()));

            ASSERT_GT(follower.reports.size(), 10u);
            for (std::size_t i = 0; i < follower.reports.size(); ++i) {
                EXPECT_EQ(follower.reports[i].second, holeSize);
                if (i > 0) {
                    EXPECT_GE(follower.reports[i].first, follower.reports[i - 1].first) << "report " << i;
                }
            }
            EXPECT_EQ(follower.reports.back().first, holeSize);
            // Both engines fill the same pixels in the same order.
            if (firstReports.empty())
                firstReports = follower.reports;
            EXPECT_EQ(follower.reports, firstReports);
        }
    }
}

TEST(FollowedJob, StopEndsThePatchWorkWithoutWritingThePicture)
{
    for (const Engines& engine : BothEngines) {
        for (const std::size_t stopAfter : {1u, 4u}) {
            SCOPED_TRACE(testing::Message() << engine.name << " engine, stop after " << stopAfter << " reports");
            HoleJob job;
            const Bitmap imageBefore = CloneBitmap(job.image.get());
            const Bitmap maskBefore = CloneBitmap(job.mask.get());
            Follower follower;
            follower.stopAfter = stopAfter;
            job.job.progress = follower.Progress();
            EXPECT_EQ(engine.run(job.job), InpaintOutcome::Cancelled);
            // The stop is seen at the next front point, before any more filling.
            EXPECT_EQ(follower.reports.size(), stopAfter);
            EXPECT_LT(follower.reports.back().first, follower.reports.back().second);
            EXPECT_TRUE(SameBytes(job.image.get(), imageBefore.get()));
            EXPECT_TRUE(SameBytes(job.mask.get(), maskBefore.get()));
        }
    }
}

TEST(FollowedJob, StopBeforeTheStartLeavesPatchJobsUndoneButAveragingFinishes)
{
    HoleJob patchJob;
    const Bitmap maskBefore = CloneBitmap(patchJob.mask.get());
    Follower patchFollower;
    patchFollower.stop.store(true);
    patchJob.job.progress = patchFollower.Progress();
    EXPECT_EQ(InpaintRegion(patchJob.job), InpaintOutcome::Cancelled);
    EXPECT_TRUE(patchFollower.reports.empty());
    EXPECT_TRUE(SameBytes(patchJob.mask.get(), maskBefore.get()));

    // Without Source the hole is averaged in one sweep, which has no front to stop at.
    HoleJob averagedJob(false);
    SetCode(averagedJob.mask.get(), 29, 30, MaskSource);
    Follower averagedFollower;
    averagedFollower.stop.store(true);
    averagedJob.job.progress = averagedFollower.Progress();
    EXPECT_EQ(InpaintRegion(averagedJob.job), InpaintOutcome::Filled);
    ASSERT_EQ(averagedFollower.reports.size(), 1u);
    EXPECT_EQ(averagedFollower.reports[0].first, averagedFollower.reports[0].second);
    EXPECT_EQ(CodeAt(averagedJob.mask.get(), 40, 30), MaskSource);
}
