// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/host/hostcontext.h"

#include "core/host/hostcall.h"

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/keyedvalues.h>

#include <QCoreApplication>

namespace NxSerialFilter::HostContext {

QVariant sharedProperty(const QString &key)
{
    qint64 processId = QCoreApplication::applicationPid();
    QString askedKey = key;
    auto store = createComponent<ContextStoreComponent>(ComponentId::contextStore());
    return hostCall(ComponentId::contextStore(),
                    [&] { return store->GetProperty(processId, askedKey); });
}

QString property(const QString &key)
{
    QString props;
    try {
        props = HostContext::propsString();
    } catch (const std::exception &) { // a context that cannot be read sets no property
        props.clear();
    }
    return propertyIn(props, key);
}

QString propsString()
{
    return Values::toText(sharedProperty(QStringLiteral("PropsString")));
}

} // namespace NxSerialFilter::HostContext
