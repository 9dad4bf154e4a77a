// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "commands.h"

namespace SerialFilterCli {

int runSchemes(const QStringList &args)
{
    Q_UNUSED(args)
    return Usage;
}

} // namespace SerialFilterCli
