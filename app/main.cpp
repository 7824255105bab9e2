// SPDX-License-Identifier: MIT
// quenlo: the editor. An optional argument names a picture to open.
#include "app/library_messages.h"
#include "app/viewer_app.h"

int main(int argc, char* argv[])
{
    RouteLibraryMessages();
    CViewerApp application(argc, argv);
    return application.InitInstance();
}
