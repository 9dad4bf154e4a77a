// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace SerialFilterCli {

/// Exit codes: 0 done, 1 the component refused (its alert on standard error), 2 bad usage or
/// an unreadable or malformed file.
enum Exit { Done = 0, Refused = 1, Usage = 2 };

int runSql(const QStringList &args);
int runSchemes(const QStringList &args);

} // namespace SerialFilterCli
