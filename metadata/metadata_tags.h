// SPDX-License-Identifier: MIT
// Walking a picture's metadata models without FreeImage's search handles.
#pragma once

#include <FreeImage.h>

#include <vector>

// Every tag of bitmap's model, in FreeImage's order.
std::vector<FITAG*> TagsOf(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model);

// The tag numbered id in bitmap's model, or null.
FITAG* TagById(FIBITMAP* bitmap, FREE_IMAGE_MDMODEL model, WORD id);
