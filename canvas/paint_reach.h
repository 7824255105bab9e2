// SPDX-License-Identifier: MIT
// Which part of the picture a Paint can change, so that a history step keeps
// only that part.
#pragma once

#include "engine/inpaint_job.h"

#include <QImage>
#include <QRect>

// The job's scan rectangle grown by the engine's window margin, in top-down
// picture coordinates and cut to the picture; empty for an empty scan.
QRect JobReach(const InpaintJob& job);

// The bounding box of the overlay's marks: every pixel that is not black.
QRect MarkedBounds(const QImage& overlay);
// The same when every mark lies inside within: only that part is read.
QRect MarkedBounds(const QImage& overlay, const QRect& within);
