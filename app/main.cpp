// SPDX-License-Identifier: MIT
// quenlo: the editor. An optional argument names a picture to open.
#include "app/editor_info.h"
#include "app/library_messages.h"
#include "app/viewer_app.h"
#include "picture/isolated_decoding.h"

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = AnswerInfoRequest(argc, argv))
        return *status;
    RouteLibraryMessages();
    // The first picture's decoder starts while the window is built.
    KeepPictureDecoderReady();
    // Every pointer position reaches a stroke, however slowly the view repaints.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    CViewerApp application(argc, argv);
    return application.InitInstance();
}
