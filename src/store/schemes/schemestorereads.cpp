// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The store's reads: every row is checked against the caps before it is used.
#include <NxSerialFilter/schemestore.h>

#include "core/language/languagestate.h"
#include "core/schemes/namerules.h"
#include "core/schemes/schemetext.h"
#include "core/text/texts.h"
#include "store/schemes/storeoperation.h"
#include "store/schemes/storetable.h"
#include <NxSerialFilter/failure.h>

#include <QHash>

#include <limits>

namespace NxSerialFilter {

using namespace SchemeDb;

bool SchemeStore::exists(const QString &screen, const QString &name)
{
    return guarded(m_connection, false, [&](Connection &c) {
        if (!tableReady(c))
            return false;
        QSqlQuery &q =
            c.run(Sql::Exists, {bindText(screen), bindText(name)}, Texts::schemeStoreReadFailed);
        const bool found = q.next();
        q.finish();
        return found;
    });
}

namespace {

/// What one row read from the store may give: an id within the 32-bit range and texts within
/// the caps. Otherwise the row is left out and described by its id and (when it could be
/// read) its name, so that the rest can still be used.
class RowCheck
{
public:
    explicit RowCheck(QStringList &refusals)
        : m_refusals(refusals)
    {}

    /// The text of a capped column pair at index, or nothing when it is too long.
    std::optional<QString> text(const QSqlQuery &q, int index, qsizetype cap)
    {
        if (!q.value(index + 1).toBool())
            return std::nullopt;
        QString value = q.value(index).toString();
        if (value.size() > cap)
            return std::nullopt;
        return value;
    }

    /// The row's id, or nothing (and a refusal) when it is outside 1 to 2^31-1.
    std::optional<qint32> id(const QVariant &stored, const std::optional<QString> &name)
    {
        bool ok = false;
        const qlonglong id = stored.toLongLong(&ok);
        if (ok && id >= 1 && id <= std::numeric_limits<qint32>::max())
            return qint32(id);
        refuse(Texts::schemeSkippedBadId, stored, name);
        return std::nullopt;
    }

    void refuse(QString (*why)(), const QVariant &id, const std::optional<QString> &name)
    {
        QString described = Language::text(why());
        if (name)
            described += NameRules::printable(*name) + u' ';
        m_refusals.append(described + QStringLiteral("(FID ") +
                          NameRules::printable(id.toString()) + u')');
    }

private:
    QStringList &m_refusals;
};

/// The rights read with a row from index on, where the store keeps them; without owners every
/// scheme is the user's own.
SchemeRights rightsOf(const SchemeStore::Connection &c, const QSqlQuery &q, int index)
{
    if (!c.owners)
        return {{}, false, true, true};
    return {q.value(index).toString(), q.value(index + 1).toBool(), q.value(index + 2).toBool(),
            q.value(index + 3).toBool()};
}

/// Whether a row is its screen's default; read after its rights, which begin at index.
bool isDefault(const SchemeStore::Connection &c, const QSqlQuery &q, int index)
{
    return c.defaults && q.value(index + (c.owners ? 4 : 0)).toBool();
}

/// Leaves one default per screen (the store keeps one per user, a plain client may have
/// marked more): the user's own wins, else the first.
void keepOneDefault(QList<StoredScheme> &schemes)
{
    QHash<QString, qsizetype> chosen;
    for (qsizetype i = 0; i < schemes.size(); ++i) {
        const StoredScheme &s = schemes.at(i);
        if (!s.isDefault)
            continue;
        const auto at = chosen.constFind(s.FScreenID);
        if (at == chosen.constEnd()) {
            chosen.insert(s.FScreenID, i);
        } else if (s.rights.own && !schemes.at(*at).rights.own) {
            schemes[*at].isDefault = false;
            chosen.insert(s.FScreenID, i);
        } else {
            schemes[i].isDefault = false;
        }
    }
}

} // namespace

namespace {

/// The schemes a listing gives: query runs it, read makes a row's scheme (nothing for a row
/// refused, told in refusals); one default kept per screen.
template <class Query, class ReadRow>
QList<StoredScheme> listed(ConnectionPtr &connection, QStringList &refusals, Query &&query,
                           ReadRow &&read)
{
    refusals.clear();
    return guarded(connection, false, [&](SchemeStore::Connection &c) {
        QList<StoredScheme> found;
        QStringList refused;
        if (!tableReady(c))
            return found;
        RowCheck check(refused);
        QSqlQuery &q = query(c);
        while (q.next()) {
            if (std::optional<StoredScheme> scheme = read(c, q, check))
                found.append(std::move(*scheme));
        }
        q.finish();
        keepOneDefault(found);
        refusals = refused;
        return found;
    });
}

} // namespace

QList<StoredScheme> SchemeStore::schemes(const QString &screen)
{
    return listed(
        m_connection, m_refusals,
        [&](Connection &c) -> QSqlQuery & {
            return c.run(Sql::List, {bindText(screen)}, Texts::schemeStoreReadFailed);
        },
        [&](Connection &c, QSqlQuery &q, RowCheck &check) -> std::optional<StoredScheme> {
            const auto name = check.text(q, 1, nameCap);
            const auto id = check.id(q.value(0), name);
            if (!id)
                return std::nullopt;
            if (!name) {
                check.refuse(Texts::schemeSkippedTooLarge, q.value(0), name);
                return std::nullopt;
            }
            return StoredScheme{*id, screen, *name, {}, {}, rightsOf(c, q, 3), isDefault(c, q, 3)};
        });
}

QList<StoredScheme> SchemeStore::fullSchemes(const QString &screen)
{
    return listed(
        m_connection, m_refusals,
        [&](Connection &c) -> QSqlQuery & {
            return screen.isEmpty()
                       ? c.run(Sql::ListAll, {}, Texts::schemeStoreReadFailed)
                       : c.run(Sql::ListScreen, {bindText(screen)}, Texts::schemeStoreReadFailed);
        },
        [&](Connection &c, QSqlQuery &q, RowCheck &check) -> std::optional<StoredScheme> {
            const auto name = check.text(q, 3, nameCap);
            const auto id = check.id(q.value(0), name);
            if (!id)
                return std::nullopt;
            const auto storedScreen = check.text(q, 1, screenCap);
            const auto text = check.text(q, 5, textCap);
            const auto sort = check.text(q, 7, textCap);
            bool fits = name && storedScreen && text && sort;
            if (fits) {
                try {
                    SchemeText::checkSize(*text);
                } catch (const FilterError &) {
                    fits = false;
                }
            }
            if (!fits) {
                check.refuse(Texts::schemeSkippedTooLarge, q.value(0), name);
                return std::nullopt;
            }
            return StoredScheme{
                *id, *storedScreen, *name, *text, *sort, rightsOf(c, q, 9), isDefault(c, q, 9)};
        });
}

std::optional<QString> SchemeStore::text(qint32 id)
{
    return guarded(m_connection, false, [&](Connection &c) -> std::optional<QString> {
        if (!tableReady(c))
            return std::nullopt;
        QSqlQuery &q =
            c.run(Sql::Text, {qint64(SchemeText::MaxTextLength), id}, Texts::schemeStoreReadFailed);
        std::optional<QString> found;
        qint64 length = 0;
        // A NULL text (possible in a table made by another tool) is no scheme text at all.
        if (q.next()) {
            if (!q.isNull(0))
                found = q.value(0).toString();
            length = q.value(1).toLongLong();
        }
        q.finish();
        SchemeText::checkLength(length);
        return found;
    });
}

} // namespace NxSerialFilter
