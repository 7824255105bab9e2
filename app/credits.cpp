// SPDX-License-Identifier: MIT
#include "app/credits.h"

QString AuthorsCreditText()
{
    return QStringLiteral("Quenlo 1.0\n\n"
                          "Inpainting engine: %1 <%2>\n"
                          "Editor and user interface: %3 <%4>\n\n"
                          "%5")
        .arg(QLatin1String(FirstAuthor.name), QLatin1String(FirstAuthor.mail), QLatin1String(SecondAuthor.name),
             QLatin1String(SecondAuthor.mail), QLatin1String(RightsNotice));
}

QString LibraryCreditText()
{
    return QStringLiteral("Quenlo fills what you paint over with patches of texture copied from the rest of the "
                          "picture, always at the point of the hole's edge where most is known.\n\n"
                          "Pictures are read and written with the FreeImage library; the filling runs on all "
                          "processors with oneTBB; the window is drawn with Qt.\n\n"
                          "Thanks to everyone who sent us pictures that would not come out right.");
}
