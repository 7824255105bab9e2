// SPDX-License-Identifier: MIT
// The process-wide tables: only one job may run at a time.
#include "engine/inpaint_job.h"

PatchPlanes TargetPlanes;
PatchPlanes ExemplarPlanes;
WindowPoint BestMatch;

std::vector<GrowPoint> FillFront;
std::vector<WindowPoint> InitialFront;
