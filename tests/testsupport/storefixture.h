// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

// Scheme stores for tests: a fresh SQLite file, and the PostgreSQL server that ./run test
// starts (NXSF_TEST_PG_URL) when there is one.

#include "testsupport/descriptions.h"
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/schemestore.h>

#include <QList>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

namespace NxSerialFilter::Testing {

struct Backend
{
    QByteArray name;
    QString location;
};

/// SQLite in dir, plus the test server when one was started.
inline QList<Backend> backends(const QTemporaryDir &dir, const QString &file = QStringLiteral("s"))
{
    QList<Backend> list{{"sqlite", dir.filePath(file + QStringLiteral(".sqlite"))}};
    const QString server = qEnvironmentVariable("NXSF_TEST_PG_URL");
    if (!server.isEmpty())
        list.append({"postgresql", server});
    return list;
}

/// Points the context property string, and so the default data service, at a store.
inline void useStore(const QString &location)
{
    ContextStore::setPropsString(QStringLiteral("SCHEMEDB=") + location + QStringLiteral(";"));
}

/// A screen nobody else uses, so tests sharing a server do not see each other's schemes.
inline QString uniqueScreen()
{
    return QStringLiteral("T_") + QUuid::createUuid().toString(QUuid::Id128);
}

/// A session of its own (not yet open) on the server of a postgresql:// address, as another
/// user or an administrator has.
inline QSqlDatabase otherSession(const QString &server, const QString &name)
{
    const QUrl url(server);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(url.path().mid(1));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    return db;
}

} // namespace NxSerialFilter::Testing
