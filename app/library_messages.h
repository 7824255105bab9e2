// SPDX-License-Identifier: MIT
// Qt's and FreeImage's own diagnostics stay off the terminal unless the
// environment variable QUENLO_VERBOSE is set to a value other than 0.
#pragma once

// Call before the QApplication exists, so that the platform's start-up
// notes are caught too.
void RouteLibraryMessages();
