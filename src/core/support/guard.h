// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxalert.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringList>

#include <utility>

namespace NxSerialFilter {

/// Shows the failure being handled as one alert with its description, after putting the
/// default pointer back. Call it only inside a catch block.
NXSF_CORE_PRIVATE_EXPORT void alertCurrentFailure(int style = nxAlert::Information);

/// While it lives, alerts of this thread are recorded instead of shown and questions are
/// answered No: for work that must open no window. Captures nest; the innermost records.
class NXSF_CORE_PRIVATE_EXPORT AlertCapture
{
public:
    AlertCapture();
    ~AlertCapture();
    AlertCapture(const AlertCapture &) = delete;
    AlertCapture &operator=(const AlertCapture &) = delete;

    const QStringList &messages() const { return m_messages; }
    /// The capture of this thread, or none.
    static AlertCapture *current();
    void record(const QString &message) { m_messages.append(message); }

private:
    AlertCapture *m_outer;
    QStringList m_messages;
};

/// Runs work for a handler that must not let a failure go further (event handlers, toolbar
/// flows): a failure ends the work with one alert. Returns whether the work finished.
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
