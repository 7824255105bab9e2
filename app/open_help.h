// SPDX-License-Identifier: MIT
// Where the help pages lie: help/help.htm in the executable's folder, both in
// the build tree and after installation.
#pragma once

#include <QString>

QString HelpFilePath(const QString& executableFolder);
