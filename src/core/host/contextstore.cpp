// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/contextstore.h>

#include "core/host/defaultcomponents.h"
#include <NxSerialFilter/components.h>

#include <QHash>

namespace NxSerialFilter {

namespace {

QHash<QPair<qint64, QString>, QVariant> &values()
{
    static QHash<QPair<qint64, QString>, QVariant> v;
    return v;
}

class InProcessContextStore : public ContextStoreComponent
{
public:
    QVariant GetProperty(qint64 &processId, QString &key) override
    {
        return ContextStore::property(processId, key);
    }
};

const DefaultComponent registration(ComponentId::contextStore(),
                                    [] { return std::make_shared<InProcessContextStore>(); });

} // namespace

void ContextStore::setProperty(qint64 processId, const QString &key, const QVariant &value)
{
    values().insert({processId, key.toCaseFolded()}, value);
}

QVariant ContextStore::property(qint64 processId, const QString &key)
{
    return values().value({processId, key.toCaseFolded()});
}

void ContextStore::clear()
{
    values().clear();
}

} // namespace NxSerialFilter
