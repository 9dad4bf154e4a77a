// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

namespace NxSerialFilter::BusyPointer {

/// Switches the application-wide hourglass on (once, however often it is asked).
NXSERIALFILTER_EXPORT void show();
/// Puts the default pointer back.
NXSERIALFILTER_EXPORT void restore();
NXSERIALFILTER_EXPORT bool isShown();
/// The default pointer for the whole application: ours and any pointer the host left set.
NXSERIALFILTER_EXPORT void restoreDefault();

/// Shows the busy pointer for a scope and restores it however the scope is left.
class Scope
{
public:
    Scope() { show(); }
    ~Scope() { restore(); }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
};

} // namespace NxSerialFilter::BusyPointer
