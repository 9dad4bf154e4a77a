// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/host/hostcontext.h"

#include "core/host/hostcall.h"

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/keyedvalues.h>

#include <QCoreApplication>

namespace NxSerialFilter::HostContext {

namespace {
std::shared_ptr<HelpComponent> &helpComponent()
{
    static std::shared_ptr<HelpComponent> help;
    return help;
}
} // namespace

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

void showHelpOnKey(qint32 keyCode, qint32 first, const QString &topicClass, qint32 serialFlag,
                   const QString &subSystemId, qint32 last)
{
    constexpr qint32 helpKey = 112;
    if (keyCode != helpKey)
        return;
    if (!helpComponent())
        helpComponent() = createComponent<HelpComponent>(ComponentId::help());
    QString topic = topicClass;
    QString subSystem = subSystemId;
    helpComponent()->ShowHELP(first, 0, topic, serialFlag, subSystem, last);
}

void releaseHelp()
{
    helpComponent().reset();
}

} // namespace NxSerialFilter::HostContext
