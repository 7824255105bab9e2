// SPDX-License-Identifier: MIT
#include "app/tiff_name.h"

#include <algorithm>

QString TiffPathFor(const QString& path)
{
    qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
#if defined(_WIN32)
    nameStart = std::max(nameStart, path.lastIndexOf(QLatin1Char('\\')) + 1);
#endif
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + QStringLiteral(".tif");
}
