// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringList>

#include <utility>

namespace NxSerialFilter {

/// While it lives, alerts of this thread are recorded instead of shown and questions are
/// answered No: for work that must open no window. Captures nest; the innermost records.
class AlertCapture
{
public:
    AlertCapture()
        : m_outer(std::exchange(innermost(), this))
    {}
    ~AlertCapture() { innermost() = m_outer; }
    AlertCapture(const AlertCapture &) = delete;
    AlertCapture &operator=(const AlertCapture &) = delete;

    const QStringList &messages() const { return m_messages; }
    /// The capture of this thread, or none.
    static AlertCapture *current() { return innermost(); }
    void record(const QString &message) { m_messages.append(message); }

private:
    /// This thread's innermost capture: the members above are inline over this one slot, so
    /// that it is all the core exports for them.
    NXSF_CORE_PRIVATE_EXPORT static AlertCapture *&innermost();

    AlertCapture *m_outer;
    QStringList m_messages;
};

} // namespace NxSerialFilter
