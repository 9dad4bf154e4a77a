// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The store's writes: each one transaction, its names locked on a server.
#include <NxSerialFilter/schemestore.h>

#include "core/text/texts.h"
#include "core/schemes/namerules.h"
#include "store/schemes/stallwatch.h"
#include "store/schemes/storeoperation.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>

namespace NxSerialFilter {

using namespace SchemeDb;

namespace {

QVariant now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

/// Serialises the writers of a name on a server (SQLite writers are serial already).
void lockName(SchemeStore::Connection &c, const StoredScheme &s)
{
    if (c.server)
        c.run(Sql::LockName, {s.FScreenID + QChar(0x1f) + s.FFilterName},
              Texts::schemeStoreWriteFailed)
            .finish();
}

qint32 upsert(SchemeStore::Connection &c, const StoredScheme &s, const QVariant &time,
              std::optional<bool> shared = {})
{
    QVariantList values{bindText(s.FScreenID),
                        bindText(s.FFilterName),
                        bindText(s.FFilter),
                        bindText(s.FSort),
                        time,
                        time};
    if (c.owners) {
        const QVariant flag = shared ? QVariant(*shared) : QVariant(QMetaType(QMetaType::Bool));
        values << flag << flag;
    }
    QSqlQuery &q = c.run(Sql::Upsert, values, Texts::schemeStoreWriteFailed);
    const qint32 id = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return id;
}

/// Makes the screen's scheme id its default, and the screen's other default (on a server, its
/// owner's) no longer one; with isDefault false, only id stops being one. Whether id changed.
bool markDefault(SchemeStore::Connection &c, qint32 id, const QString &screen, bool isDefault,
                 const QVariant &time)
{
    if (isDefault) {
        QVariantList key{false, bindText(screen), id, true};
        if (c.owners)
            key.append(id);
        c.run(Sql::ClearDefault, key, Texts::schemeStoreWriteFailed).finish();
    }
    QSqlQuery &q = c.run(Sql::SetDefault, {isDefault, time, id, bindText(screen)},
                         Texts::schemeStoreWriteFailed);
    const bool changed = q.numRowsAffected() > 0;
    q.finish();
    return changed;
}

bool changeSharing(ConnectionPtr &connection, Sql which, const QVariantList &key, bool shared)
{
    return guarded(connection, true, [&](SchemeStore::Connection &c) {
        if (!c.owners)
            raise(Texts::schemeStoreKeepsNoOwners, c.location, {});
        Transaction transaction(c);
        QSqlQuery &q =
            c.run(which, QVariantList{shared, now()} + key, Texts::schemeStoreWriteFailed);
        const bool changed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return changed;
    });
}

} // namespace

qint32 SchemeStore::save(const StoredScheme &scheme, qint32 replaceId)
{
    checkScheme(scheme);
    return guarded(m_connection, true, [&](Connection &c) {
        const QVariant time = now();
        Transaction transaction(c);
        lockName(c, scheme);
        qint32 id = 0;
        if (replaceId > 0) {
            QVariantList key{bindText(scheme.FScreenID), bindText(scheme.FFilterName), replaceId};
            if (c.owners)
                key.append(replaceId);
            c.run(Sql::DropSameName, key, Texts::schemeStoreWriteFailed).finish();
            QSqlQuery &q =
                c.run(Sql::UpdateById,
                      {bindText(scheme.FFilterName), bindText(scheme.FFilter),
                       bindText(scheme.FSort), time, replaceId, bindText(scheme.FScreenID)},
                      Texts::schemeStoreWriteFailed);
            if (q.numRowsAffected() > 0)
                id = replaceId;
            q.finish();
        }
        // The scheme to replace may have been deleted meanwhile: the save must not be lost.
        if (id == 0)
            id = upsert(c, scheme, time);
        transaction.commit();
        return id;
    });
}

void SchemeStore::saveAll(const QList<StoredScheme> &schemes, std::optional<bool> shared)
{
    for (const StoredScheme &scheme : schemes)
        checkScheme(scheme);
    const bool anyDefault = std::any_of(schemes.cbegin(), schemes.cend(),
                                        [](const StoredScheme &s) { return s.isDefault; });
    guarded(m_connection, true, [&](Connection &c) {
        if (anyDefault && !c.defaults)
            raise(Texts::schemeStoreKeepsNoDefaults, c.location, {});
        const QVariant time = now();
        Transaction transaction(c);
        // Many names at once: one lock that waits for every other writer, and they for it.
        // (The server prepares no LOCK statement.)
        if (c.server)
            c.exec(QStringLiteral("LOCK TABLE nxsf_schemes IN SHARE ROW EXCLUSIVE MODE"),
                   Texts::schemeStoreWriteFailed);
        // Of a screen's schemes marked as its default, the last is: only it is marked, so that
        // the time stays linear however many there are.
        QHash<QString, qint32> defaults;
        for (const StoredScheme &scheme : schemes) {
            // However many schemes, a server that answers is never cut off: each statement has
            // the whole budget.
            if (c.watch)
                c.watch->restart();
            const qint32 id = upsert(c, scheme, time, shared);
            if (scheme.isDefault && id > 0)
                defaults.insert(scheme.FScreenID, id);
        }
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
            if (c.watch)
                c.watch->restart();
            markDefault(c, it.value(), it.key(), true, time);
        }
        transaction.commit();
        return 0;
    });
}

bool SchemeStore::remove(qint32 id)
{
    return guarded(m_connection, true, [&](Connection &c) {
        // In a transaction of its own, so that a lost connection leaves it undone for certain.
        Transaction transaction(c);
        QSqlQuery &q = c.run(Sql::Remove, {id}, Texts::schemeStoreWriteFailed);
        const bool removed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return removed;
    });
}

bool SchemeStore::share(const QString &screen, const QString &name, bool shared)
{
    return changeSharing(m_connection, Sql::ShareByName, {bindText(screen), bindText(name)},
                         shared);
}

bool SchemeStore::setShared(qint32 id, bool shared)
{
    return changeSharing(m_connection, Sql::ShareById, {id}, shared);
}

bool SchemeStore::setDefault(qint32 id, const QString &screen, bool isDefault)
{
    return guarded(m_connection, true, [&](Connection &c) {
        if (!c.defaults)
            raise(Texts::schemeStoreKeepsNoDefaults, c.location, {});
        Transaction transaction(c);
        const bool changed = markDefault(c, id, screen, isDefault, now());
        // Another default cleared for a scheme that is not there would leave the screen
        // without one for nothing.
        if (changed)
            transaction.commit();
        return changed;
    });
}

bool SchemeStore::rename(qint32 id, const QString &screen, const QString &name)
{
    if (!NameRules::isStorable(name))
        return false;
    return guarded(m_connection, true, [&](Connection &c) {
        const QVariant time = now();
        Transaction transaction(c);
        lockName(c, {0, screen, name, {}, {}});
        QSqlQuery &q = c.run(
            Sql::Rename,
            {bindText(name), time, id, bindText(screen), bindText(screen), bindText(name), id},
            Texts::schemeStoreWriteFailed);
        const bool renamed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return renamed;
    });
}

} // namespace NxSerialFilter
