// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QVariant>

namespace NxSerialFilter {

/// The default shared-properties store: in-process values that the host files by process id
/// and key. The component reads the key "PropsString" ("LANGUAGE=en;SUBID=12;SCHEMEDB=...").
class NXSF_CORE_EXPORT ContextStore
{
public:
    static void setProperty(qint64 processId, const QString &key, const QVariant &value);
    static QVariant property(qint64 processId, const QString &key);
    /// Files the property string for the current process.
    static void setPropsString(const QString &propsString);
    static QString propsString();
    static void clear();
};

} // namespace NxSerialFilter
