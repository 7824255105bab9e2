// SPDX-License-Identifier: MIT
#include "structure/fill_method.h"

std::string_view FillMethodName(FillMethod method)
{
    return method == FillMethod::Structure ? "structure" : "patches";
}

std::optional<FillMethod> FillMethodNamed(std::string_view name)
{
    if (name == "patches")
        return FillMethod::Patches;
    if (name == "structure")
        return FillMethod::Structure;
    return std::nullopt;
}

InpaintOutcome RunFill(FillMethod method, const InpaintJob& job, std::vector<CopiedPixel>* copied,
                       const GuideMap* guides)
{
    if (method == FillMethod::Structure)
        return StructureFill(job, copied, guides);
    return InpaintRegion(job);
}
