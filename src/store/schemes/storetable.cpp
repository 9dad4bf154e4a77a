// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/storetable.h"

#include "core/text/texts.h"
#include "store/schemes/servertable.h"

namespace NxSerialFilter::SchemeDb {

namespace {

/// Whether the table has the column of the default scheme.
bool hasDefaultColumn(SchemeStore::Connection &c)
{
    QSqlQuery &q = c.run(Sql::HasDefaultColumn, {}, Texts::schemeStoreOpenFailed);
    const bool found = q.next();
    q.finish();
    return found;
}

} // namespace

void createSchema(SchemeStore::Connection &c)
{
    if (c.server) {
        // Two users opening a new server store at once must not both create the table.
        Transaction transaction(c);
        c.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7310042)"),
               Texts::schemeStoreOpenFailed);
        setUpServerTable(c);
        transaction.commit();
        return;
    }
    // WAL lets readers go on while another process writes; FULL keeps a reported save through
    // a crash of the machine, not only of the process.
    c.exec(QStringLiteral("PRAGMA journal_mode=WAL"), Texts::schemeStoreOpenFailed);
    c.exec(QStringLiteral("PRAGMA synchronous=FULL"), Texts::schemeStoreOpenFailed);
    c.exec(schemaStatement(false), Texts::schemeStoreOpenFailed);
    // A file made before defaults were kept gets their column, once however many processes
    // open it at the same moment; its schemes are no default.
    if (!hasDefaultColumn(c)) {
        Transaction transaction(c);
        if (!hasDefaultColumn(c))
            c.exec(QStringLiteral(
                       "ALTER TABLE nxsf_schemes ADD COLUMN fdefault INTEGER NOT NULL DEFAULT 0"),
                   Texts::schemeStoreOpenFailed);
        transaction.commit();
    }
    c.defaults = true;
}

bool tableReady(SchemeStore::Connection &c)
{
    if (c.noFile)
        return false;
    if (!c.hasTable && c.server) {
        c.hasTable = verifyServerTable(c);
    } else if (!c.hasTable) {
        QSqlQuery &q = c.run(Sql::TableExists, {}, Texts::schemeStoreReadFailed);
        c.hasTable = q.next();
        q.finish();
    }
    // A writer (of this process or another) may have given an older table the column of the
    // default, or its owner the owners, since this connection looked; its statements are
    // prepared again with them.
    if (c.hasTable && !c.defaults && hasDefaultColumn(c)) {
        c.defaults = true;
        c.queries.clear();
    }
    if (c.hasTable && c.server && !c.owners)
        c.hasTable = verifyServerTable(c);
    return c.hasTable;
}

} // namespace NxSerialFilter::SchemeDb
