// SPDX-License-Identifier: MIT
// The fast engine: the shared driver with the fast form of every step.
#include "engine/exemplar_search.h"
#include "engine/fill_front.h"
#include "engine/front_queue.h"
#include "engine/initial_front_index.h"
#include "engine/inpaint_driver.h"
#include "engine/prepare_window.h"
#include "engine/scan_rectangle.h"
#include "engine/whole_region_fill.h"
#include "engine/write_back.h"

namespace {

struct FastSteps {
    using FrontQueue = ::FrontQueue;
    using CentreIndex = ::InitialFrontIndex;
    static constexpr auto CountScanRectangle = &::CountScanRectangle;
    static constexpr auto CopySourcePixels = &::CopySourcePixels;
    static constexpr auto PrepareWindow = &::PrepareWindow;
    static constexpr auto WriteBackWindow = &::WriteBackWindow;
    static constexpr auto PromoteFilledCodes = &::PromoteFilledCodes;
    static constexpr auto FillWholeRegion = &::FillWholeRegion;
    static constexpr auto BuildFront = &::BuildFront;
    static constexpr auto LoadTarget = &::LoadTarget;
    static constexpr auto SearchExemplar = &::SearchExemplar;
};

} // namespace

InpaintOutcome InpaintRegion(InpaintJob job)
{
    return InpaintWith<FastSteps>(job);
}
