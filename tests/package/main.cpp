// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A host built against the installed package only.

#include <filter/filter.h>
#include <support/components.h>
#include <support/contextstore.h>

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    NxSerialFilter::ContextStore::setPropsString(QStringLiteral("LANGUAGE=chs;"));
    NxSerialFilter::Filter filter;
    const bool registered = NxSerialFilter::ComponentRegistry::instance().isRegistered(
        NxSerialFilter::ComponentId::filter());
    const NxSerialFilter::BoundCondition query = filter.FilterQuery(
        NxSerialFilter::SqlEngine::PostgreSQL, NxSerialFilter::Placeholders::Dollar);
    return filter.FilterSQL().isEmpty() && query.sql.isEmpty() && !filter.Cancel() && registered
               ? 0
               : 1;
}
