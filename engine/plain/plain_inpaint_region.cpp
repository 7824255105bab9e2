// SPDX-License-Identifier: MIT
// The plain engine: the shared driver with the plain form of every step.
#include "engine/inpaint_driver.h"
#include "engine/plain/plain_engine.h"

namespace plain {

namespace {

struct PlainSteps {
    using FrontQueue = plain::FrontQueue;
    using CentreIndex = plain::InitialFrontIndex;
    static constexpr auto CountScanRectangle = &plain::CountScanRectangle;
    static constexpr auto CopySourcePixels = &plain::CopySourcePixels;
    static constexpr auto PrepareWindow = &plain::PrepareWindow;
    static constexpr auto WriteBackWindow = &plain::WriteBackWindow;
    static constexpr auto PromoteFilledCodes = &plain::PromoteFilledCodes;
    static constexpr auto FillWholeRegion = &plain::FillWholeRegion;
    static constexpr auto BuildFront = &plain::BuildFront;
    static constexpr auto LoadTarget = &plain::LoadTarget;
    static constexpr auto SearchExemplar = &plain::SearchExemplar;
};

} // namespace

InpaintOutcome InpaintRegion(InpaintJob job)
{
    return InpaintWith<PlainSteps>(job);
}

} // namespace plain
