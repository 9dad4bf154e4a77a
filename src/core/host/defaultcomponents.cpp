// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/host/defaultcomponents.h"

namespace NxSerialFilter {

namespace {
QHash<QString, ComponentRegistry::Factory> &defaults()
{
    static QHash<QString, ComponentRegistry::Factory> factories;
    return factories;
}
} // namespace

void DefaultComponent::file(const QString &identifier, ComponentRegistry::Factory factory)
{
    defaults().insert(identifier, std::move(factory));
    // The registry may already exist when a plugin-like unit loads late.
    ComponentRegistry::instance().registerFactory(identifier, defaults().value(identifier));
}

QHash<QString, ComponentRegistry::Factory> defaultComponentFactories()
{
    return defaults();
}

} // namespace NxSerialFilter
