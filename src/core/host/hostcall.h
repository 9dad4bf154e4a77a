// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/failure.h>

#include <exception>
#include <utility>

namespace NxSerialFilter {

/// Runs a call into a host's component (a service, a loader, a record set, the context store).
/// A host's code may throw anything: what is no std::exception comes back as a FilterError
/// naming the component, so that everything above this line catches failures by their type.
template <class Work> decltype(auto) hostCall(const QString &component, Work &&work)
{
    try {
        return std::forward<Work>(work)();
    } catch (const std::exception &) {
        throw;
    } catch (...) { // the one place where a host's foreign exception becomes ours
        throw FilterError(ErrorNumber::Unexpected, component,
                          describeFailure(std::current_exception()));
    }
}

} // namespace NxSerialFilter
