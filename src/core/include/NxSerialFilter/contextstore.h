// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QCoreApplication>
#include <QString>
#include <QVariant>

namespace NxSerialFilter {

/// The default shared-properties store: in-process values that the host files by process id
/// and key. The component reads the key "PropsString" ("LANGUAGE=en;SUBID=12;SCHEMEDB=...").
///
/// Keys match without regard to letter case. Not synchronised: use it from one thread at a time.
class NXSF_CORE_EXPORT ContextStore
{
public:
    /// Files value under processId and key, replacing any value there.
    static void setProperty(qint64 processId, const QString &key, const QVariant &value);
    /// The value filed under processId and key; a null variant when there is none.
    static QVariant property(qint64 processId, const QString &key);
    /// Files the property string for the current process.
    static void setPropsString(const QString &propsString)
    {
        setProperty(QCoreApplication::applicationPid(), QStringLiteral("PropsString"), propsString);
    }
    /// The property string of the current process; "" when none is filed.
    static QString propsString()
    {
        return property(QCoreApplication::applicationPid(), QStringLiteral("PropsString"))
            .toString();
    }
    /// Forgets every property of every process.
    static void clear();
};

} // namespace NxSerialFilter
