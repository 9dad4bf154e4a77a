// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/schemestore.h>

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/schemes/namerules.h"
#include "core/schemes/schemetext.h"
#include "store/schemes/connectionpool.h"
#include "store/schemes/servertable.h"
#include "store/schemes/storeoperation.h"
#include <NxSerialFilter/failure.h>

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace NxSerialFilter {

using namespace SchemeDb;

namespace {} // namespace

QString SchemeStore::locationFor(const QString &propsString)
{
    const QString configured = HostContext::propertyIn(propsString, QStringLiteral("SCHEMEDB"));
    return configured.isEmpty() ? defaultLocation() : configured;
}

QString SchemeStore::defaultLocation()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/schemes.sqlite");
}

QString SchemeStore::displayName(const QString &location)
{
    if (!isServerAddress(location))
        return location;
    QUrl url(location);
    // A user part Qt did not read as one (a "/" in the password, say): all up to the last "@"
    // before the options is hidden, and the options are left out.
    if (!url.isValid() || url.path().contains(u'@') || url.host().isEmpty()) {
        static const QRegularExpression hidden(QStringLiteral("^([^:]+://)(?:[^?#]*@)?([^?#]*).*$"),
                                               QRegularExpression::DotMatchesEverythingOption);
        return NameRules::printable(QString(location).replace(hidden, QStringLiteral("\\1\\2")));
    }
    QStringList options = url.query(QUrl::FullyEncoded).split(u'&');
    for (QString &pair : options) {
        if (isPasswordOption(pair))
            pair = pair.section(u'=', 0, 0) + QStringLiteral("=***");
    }
    if (url.hasQuery())
        url.setQuery(options.join(u'&'), QUrl::StrictMode);
    return url.toDisplayString(QUrl::RemovePassword);
}

SchemeStore::SchemeStore(const QString &location, Access access)
    : m_connection(openConnection(location, access == Access::ReadOnly))
{}

SchemeStore::~SchemeStore() = default;

bool SchemeStore::keepsOwners() const
{
    return m_connection->owners;
}

void SchemeStore::initialize(const QString &location, const QString &usersRole)
{
    if (!isServerAddress(location))
        raise(Texts::schemeStoreKeepsNoOwners, location, {});
    SchemeStore store(location);
    guarded(store.m_connection, true, [&](Connection &c) {
        if (!c.owners)
            raise(Texts::schemeStoreNotOwn, location, QStringLiteral("only its owner sets it up"));
        // A role name cannot be bound: it is written as a quoted identifier.
        QString grantee = QStringLiteral("PUBLIC");
        if (!usersRole.isEmpty()) {
            grantee = usersRole;
            grantee.replace(u'"', QStringLiteral("\"\""));
            grantee = u'"' + grantee + u'"';
        }
        Transaction transaction(c);
        c.exec(QStringLiteral("GRANT SELECT, DELETE ON nxsf_schemes TO ") + grantee,
               Texts::schemeStoreWriteFailed);
        for (const char *privilege : {"INSERT", "UPDATE"})
            c.exec(columnGrant(QLatin1String(privilege), grantee), Texts::schemeStoreWriteFailed);
        transaction.commit();
        return 0;
    });
}

void SchemeStore::closeConnections()
{
    closeAll();
}

QString SchemeStore::notFoundMessage(qint32 id)
{
    return Language::text(Texts::schemeNotFound()) + QString::number(id);
}

QString SchemeStore::notFoundMessage(const QString &name)
{
    return Language::text(Texts::schemeNotFound()) + NameRules::printable(name);
}

QString SchemeStore::printable(const QString &text)
{
    return NameRules::printable(text);
}

bool SchemeStore::isStorableName(const QString &name)
{
    return NameRules::isStorable(name);
}

void SchemeStore::checkScheme(const StoredScheme &scheme)
{
    const auto refuse = [](QString (*why)(), const QString &what) {
        throw FilterError(FailureNumber, QStringLiteral("SchemeStore"),
                          Language::text(why()) + NameRules::printable(what));
    };
    if (!NameRules::isStorable(scheme.FFilterName))
        refuse(Texts::schemeNameNotStorable, scheme.FFilterName.left(nameCap + 1));
    if (!NameRules::isStorableScreen(scheme.FScreenID))
        refuse(Texts::schemeScreenNotStorable, scheme.FScreenID.left(screenCap + 1));
    SchemeText::checkSize(scheme.FFilter);
    SchemeText::checkLength(scheme.FSort.size());
}

} // namespace NxSerialFilter
