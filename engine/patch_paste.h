// SPDX-License-Identifier: MIT
#pragma once

#include "engine/inpaint_job.h"

// Pastes the exemplar (BestMatch, ExemplarPlanes) into the patch of edge s
// around window point (x, y): hole pixels facing a usable exemplar pixel take
// its value and become MaskFilled; inside the inscribed disc, filled pixels
// (and Source pixels when smoothSeam is set) are blended towards the exemplar,
// fully at the centre and not at all on the rim. With searchStep above 1 the
// exemplar is first reloaded at full resolution. Returns how many hole
// pixels were filled.
int PastePatch(const WindowView& window, int x, int y, int s, bool smoothSeam, int searchStep);
