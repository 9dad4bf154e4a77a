// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxalert.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <utility>

namespace NxSerialFilter {

/// Shows the failure being handled as one alert with its description, after putting the
/// default pointer back. Call it only inside a catch block.
NXSF_WIDGETS_PRIVATE_EXPORT void alertCurrentFailure(int style = nxAlert::Information);

/// Runs work; a failure ends in one alert instead of leaving the event handler.
template <class Work> bool alertOnFailure(Work &&work)
{
    try {
        std::forward<Work>(work)();
        return true;
    } catch (...) {
        alertCurrentFailure();
        return false;
    }
}

} // namespace NxSerialFilter
