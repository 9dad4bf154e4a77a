// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/host/hostcontext.h"

namespace NxSerialFilter::HostContext {

QString propertyIn(QString props, const QString &key)
{
    if (!props.endsWith(u';'))
        props.append(u';');
    const QString pattern = key + u'=';
    const qsizetype at = props.indexOf(pattern, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype end = props.indexOf(u';', at + pattern.size());
    return props.mid(at + pattern.size(), end - at - pattern.size());
}

} // namespace NxSerialFilter::HostContext
