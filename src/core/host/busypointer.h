// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

namespace NxSerialFilter::BusyPointer {

/// Switches the application-wide hourglass on (once, however often it is asked).
NXSF_CORE_AUTOTEST_EXPORT void show();
/// Puts the default pointer back.
NXSF_CORE_AUTOTEST_EXPORT void restore();
NXSF_CORE_AUTOTEST_EXPORT bool isShown();
/// The default pointer for the whole application: ours and any pointer the host left set.
NXSF_CORE_AUTOTEST_EXPORT void restoreDefault();

/// What moves the real pointer; set by the widgets layer when it loads. Without it the
/// functions above only keep their count.
struct Cursor
{
    void (*setWait)() = nullptr;
    void (*restoreOne)() = nullptr;
    bool (*anySet)() = nullptr;
};
NXSF_CORE_AUTOTEST_EXPORT void setCursor(const Cursor &cursor);

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
