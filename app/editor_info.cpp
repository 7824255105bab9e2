// SPDX-License-Identifier: MIT
#include "app/editor_info.h"

#include "app/open_help.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

std::optional<int> AnswerInfoRequest(int argc, char** argv)
{
    if (argc != 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("quenlo %s\n", QUENLO_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "--help") != 0 && std::strcmp(argv[1], "-h") != 0)
        return std::nullopt;
    // Only to learn the executable's folder; no display is needed.
    QCoreApplication application(argc, argv);
    const QString guide = FindHelpFile(QCoreApplication::applicationDirPath());
    std::printf("Usage: quenlo [PICTURE]\n"
                "\n"
                "Removes unwanted objects from photographs. Opens PICTURE (BMP, PNG, TIFF,\n"
                "JPEG and more) once the window is up.\n"
                "\n"
                "  --help     show this help\n"
                "  --version  show the version\n"
                "\n"
                "User guide: %s\n"
                "The command-line tool: quenlo-inpaint --help\n",
                qPrintable(guide));
    return 0;
}
