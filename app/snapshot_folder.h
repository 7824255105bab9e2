// SPDX-License-Identifier: MIT
// The snapshot folder "Varnholt/Tessaro/temp" in the user's data folder:
// created when missing and emptied of bitmap files at every start.
#pragma once

#include <QString>

// The folder's path, after creating the levels that are missing; empty when
// the platform names no data folder. Creation failures are not reported.
QString SnapshotFolder();

// Deletes the "*.bmp" files (any letter case) directly in the snapshot
// folder, nothing else and nowhere else. Failures are not reported.
void CleanSnapshotFolder();
