// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringList>

namespace NxSerialFilter {

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

} // namespace NxSerialFilter
