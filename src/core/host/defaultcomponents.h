// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/nxsf_core_export.h>

namespace NxSerialFilter {

/// Files a default implementation under an identifier when the library loads. Each subsystem
/// files its own defaults next to their implementation.
class DefaultComponent
{
public:
    DefaultComponent(const QString &identifier, ComponentRegistry::Factory factory)
    {
        file(identifier, std::move(factory));
    }

private:
    NXSF_CORE_PRIVATE_EXPORT static void file(const QString &identifier,
                                              ComponentRegistry::Factory factory);
};

QHash<QString, ComponentRegistry::Factory> defaultComponentFactories();

} // namespace NxSerialFilter
