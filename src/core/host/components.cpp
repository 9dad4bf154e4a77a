// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/components.h>

#include "core/host/defaultcomponents.h"
#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

Component::~Component() = default;

QStringList LookupWindowComponent::unknownValues(const LookupCheck &, const QStringList &)
{
    return {};
}

namespace {
QString fold(const QString &identifier)
{
    return identifier.trimmed().toCaseFolded();
}
} // namespace

ComponentRegistry &ComponentRegistry::instance()
{
    static ComponentRegistry registry;
    return registry;
}

void ComponentRegistry::registerFactory(const QString &identifier, Factory factory)
{
    m_factories.insert(fold(identifier), std::move(factory));
}

void ComponentRegistry::unregisterFactory(const QString &identifier)
{
    m_factories.remove(fold(identifier));
}

void ComponentRegistry::restoreDefaults()
{
    m_factories.clear();
    const auto defaults = defaultComponentFactories();
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        registerFactory(it.key(), it.value());
}

bool ComponentRegistry::isRegistered(const QString &identifier) const
{
    return m_factories.contains(fold(identifier));
}

ComponentPtr ComponentRegistry::create(const QString &identifier) const
{
    const auto it = m_factories.constFind(fold(identifier));
    if (it == m_factories.constEnd() || !*it)
        throw FilterError(ErrorNumber::ComponentMissing, identifier,
                          Texts::componentMissing() + identifier);
    ComponentPtr component;
    try {
        component = (*it)();
    } catch (const FilterError &) {
        throw;
    } catch (...) {
        throw FilterError(ErrorNumber::ComponentMissing, identifier,
                          Texts::componentMissing() + identifier + QStringLiteral("（") +
                              describeFailure(std::current_exception()) + QStringLiteral("）"));
    }
    if (!component)
        throw FilterError(ErrorNumber::ComponentMissing, identifier,
                          Texts::componentMissing() + identifier);
    return component;
}

void ComponentRegistry::throwWrongType(const QString &identifier)
{
    throw FilterError(ErrorNumber::MemberMissing, identifier,
                      Texts::componentWrongType() + identifier);
}

} // namespace NxSerialFilter
