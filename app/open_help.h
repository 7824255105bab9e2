// SPDX-License-Identifier: MIT
// Where the help pages lie: help/help.htm in the executable's folder, as in
// the build tree; an installation following the Unix layout keeps them in
// its shared-data folder instead.
#pragma once

#include <QString>

QString HelpFilePath(const QString& executableFolder);

// The help file of an installed executable: the one beside it when there is
// one, else the shared-data copy (relative path QUENLO_HELP_FROM_BIN), else
// the path beside it, so that a missing file is reported under that name.
QString FindHelpFile(const QString& executableFolder);
