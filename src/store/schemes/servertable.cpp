// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/servertable.h"

#include "core/text/texts.h"
#include "core/schemes/namerules.h"

namespace NxSerialFilter::SchemeDb {

namespace {

/// Marks the policies of this version, so that the owner's next open replaces older ones.
const char policyVersion[] = "nxsf rights 2";

/// The row-level rights of a store with owners, created with the table: a user's row stays the
/// user's, before and after every change, and only an administrator writes a row of another
/// owner or of none.
QStringList policyStatements()
{
    const QString changeable = changeableTest();
    QStringList statements{
        QStringLiteral("CREATE POLICY nxsf_read ON nxsf_schemes FOR SELECT USING (fowner IS NULL "
                       "OR fshared OR fowner = current_user OR ") +
            adminTest() + u')',
        QStringLiteral("CREATE POLICY nxsf_insert ON nxsf_schemes FOR INSERT WITH CHECK ") +
            changeable,
        QStringLiteral("CREATE POLICY nxsf_update ON nxsf_schemes FOR UPDATE USING ") + changeable +
            QStringLiteral(" WITH CHECK ") + changeable,
        QStringLiteral("CREATE POLICY nxsf_delete ON nxsf_schemes FOR DELETE USING ") + changeable,
    };
    for (const char *policy : {"nxsf_read", "nxsf_insert", "nxsf_update", "nxsf_delete"})
        statements.append(QStringLiteral("COMMENT ON POLICY %1 ON nxsf_schemes IS '%2'")
                              .arg(QLatin1String(policy), QLatin1String(policyVersion)));
    return statements;
}

const QStringList storePolicies{QStringLiteral("nxsf_delete"), QStringLiteral("nxsf_insert"),
                                QStringLiteral("nxsf_read"), QStringLiteral("nxsf_update")};

/// The columns a user writes: never the id, the owner or the time of creation (an insert
/// takes the id and the owner from their defaults).
const char userInsertColumns[] =
    "fscreenid, ffiltername, ffilter, fsort, fcreated, fchanged, fshared, fdefault";
const char userUpdateColumns[] = "ffiltername, ffilter, fsort, fchanged, fshared, fdefault";

} // namespace

QString columnGrant(const QString &privilege, const QString &grantee)
{
    return QStringLiteral("GRANT %1 (%2) ON nxsf_schemes TO %3")
        .arg(privilege,
             QLatin1String(privilege == QLatin1String("INSERT") ? userInsertColumns
                                                                : userUpdateColumns),
             grantee);
}

namespace {

/// Grants of the whole table to insert or update, as older versions made them, become grants
/// of the columns a user writes.
void narrowGrants(SchemeStore::Connection &c)
{
    QSqlQuery q(c.db);
    if (!q.exec(QStringLiteral(
            "SELECT DISTINCT CASE WHEN a.grantee = 0 THEN 'PUBLIC' ELSE "
            "quote_ident(pg_get_userbyid(a.grantee)) END, a.privilege_type FROM pg_class t, "
            "pg_catalog.aclexplode(t.relacl) a WHERE t.oid = to_regclass('nxsf_schemes') AND "
            "a.grantee <> t.relowner AND a.privilege_type IN ('INSERT', 'UPDATE')")))
        throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
    QList<std::pair<QString, QString>> grants;
    while (q.next())
        grants.append({q.value(0).toString(), q.value(1).toString()});
    for (const auto &[grantee, privilege] : grants) {
        c.exec(QStringLiteral("REVOKE %1 ON nxsf_schemes FROM %2").arg(privilege, grantee),
               Texts::schemeStoreOpenFailed);
        c.exec(columnGrant(privilege, grantee), Texts::schemeStoreOpenFailed);
    }
}

} // namespace

/// Creates the server's table where there is none, and where the connecting role owns it,
/// what a table made before owners were kept lacks: the owner and shared columns (rows already
/// there keep no owner), the key on (screen, name, owner), row-level security and its
/// policies (replacing an older version's), the column of the default scheme, and grants of
/// only the columns a user writes. Each step runs only when it is missing, so that opening
/// takes no table lock.
void setUpServerTable(SchemeStore::Connection &c)
{
    // The policies count when they are this version's.
    const QString stateSql =
        QStringLiteral(
            "SELECT t.oid IS NOT NULL, pg_get_userbyid(t.relowner) = current_user, "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = t.oid AND attname = 'fowner' AND "
            "NOT attisdropped), "
            "(SELECT string_agg(quote_ident(conname), ',') FROM pg_constraint WHERE conrelid = "
            "t.oid AND contype = 'u'), "
            "EXISTS (SELECT 1 FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid WHERE "
            "x.indrelid = t.oid AND i.relname = 'nxsf_schemes_owner_name'), "
            "t.relrowsecurity, (SELECT count(*) FROM pg_policy p WHERE p.polrelid = t.oid AND "
            "pg_catalog.obj_description(p.oid, 'pg_policy') = '%1'), "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = t.oid AND attname = 'fdefault' "
            "AND NOT attisdropped), "
            "EXISTS (SELECT 1 FROM pg_catalog.aclexplode(t.relacl) a WHERE a.grantee <> "
            "t.relowner AND a.privilege_type IN ('INSERT', 'UPDATE')) "
            "FROM (SELECT to_regclass('nxsf_schemes') AS oid) r LEFT JOIN pg_class t ON t.oid = "
            "r.oid")
            .arg(QLatin1String(policyVersion));
    const auto state = [&c, &stateSql] {
        QSqlQuery q(c.db);
        if (!q.exec(stateSql) || !q.next())
            throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
        QVariantList values;
        for (int i = 0; i < 9; ++i)
            values.append(q.value(i));
        return values;
    };
    QVariantList now = state();
    if (!now.at(0).toBool()) {
        c.exec(schemaStatement(true), Texts::schemeStoreOpenFailed);
        now = state();
    }
    // Nothing is changed on a table that is not the store's own.
    c.hasTable = verifyServerTable(c);
    if (!now.at(1).toBool())
        return; // another role's (the owner= of the address): that role sets it up
    const auto run = [&c](const QString &sql) { c.exec(sql, Texts::schemeStoreOpenFailed); };
    if (!now.at(2).toBool()) {
        // Added without a default first, so that the rows already there keep no owner.
        run(QStringLiteral("ALTER TABLE nxsf_schemes ADD COLUMN fowner TEXT, ADD COLUMN fshared "
                           "BOOLEAN NOT NULL DEFAULT false"));
        run(QStringLiteral(
            "ALTER TABLE nxsf_schemes ALTER COLUMN fowner SET DEFAULT current_user"));
    }
    for (const QString &constraint : now.at(3).toString().split(u',', Qt::SkipEmptyParts))
        run(QStringLiteral("ALTER TABLE nxsf_schemes DROP CONSTRAINT ") + constraint);
    if (!now.at(4).toBool())
        run(QStringLiteral("CREATE UNIQUE INDEX nxsf_schemes_owner_name ON nxsf_schemes "
                           "(fscreenid, ffiltername, COALESCE(fowner, ''))"));
    if (!now.at(5).toBool())
        run(QStringLiteral("ALTER TABLE nxsf_schemes ENABLE ROW LEVEL SECURITY"));
    if (now.at(6).toInt() != storePolicies.size()) {
        for (const QString &policy : storePolicies)
            run(QStringLiteral("DROP POLICY IF EXISTS ") + policy +
                QStringLiteral(" ON nxsf_schemes"));
        for (const QString &sql : policyStatements())
            run(sql);
    }
    if (!now.at(7).toBool())
        run(QStringLiteral(
            "ALTER TABLE nxsf_schemes ADD COLUMN fdefault BOOLEAN NOT NULL DEFAULT false"));
    if (now.at(8).toBool())
        narrowGrants(c);
    c.owners = true;
    c.defaults = true;
}

/// Whether the server has the table, refusing one that is not the store's own: whoever owns
/// the table (or its schema) runs code as every user of the store through a trigger, rule or
/// policy, and can replace it. Afterwards names are looked up in the table's schema only, with
/// the system's own functions and operators first.
bool verifyServerTable(SchemeStore::Connection &c)
{
    QSqlQuery q(c.db);
    q.setForwardOnly(true);
    const bool ran =
        q.prepare(QStringLiteral(
            "SELECT c.relkind::text || c.relpersistence::text, pg_get_userbyid(c.relowner), "
            "n.nspname, "
            "pg_get_userbyid(n.nspowner), (SELECT rolsuper FROM pg_roles WHERE oid = n.nspowner), "
            "(SELECT pg_get_userbyid(datdba) FROM pg_database WHERE datname = "
            "current_database()), (SELECT r.rolsuper FROM pg_database d JOIN pg_roles r ON r.oid "
            "= d.datdba WHERE d.datname = current_database()), "
            "(SELECT string_agg(tgname, ', ') FROM pg_trigger WHERE tgrelid = c.oid AND NOT "
            "tgisinternal), (SELECT string_agg(rulename, ', ') FROM pg_rewrite WHERE ev_class = "
            "c.oid), (SELECT string_agg(polname, ', ' ORDER BY polname) FROM pg_policy WHERE "
            "polrelid = c.oid), COALESCE(NULLIF(?, ''), current_user), EXISTS (SELECT 1 FROM "
            "pg_attribute WHERE attrelid = c.oid AND attname = 'fowner' AND NOT attisdropped), "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = c.oid AND attname = 'fdefault' "
            "AND NOT attisdropped) FROM pg_class c JOIN "
            "pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = "
            "to_regclass('nxsf_schemes')")) &&
        (q.bindValue(0, bindText(c.owner)), q.exec());
    if (!ran)
        throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
    if (!q.next())
        return false;
    const QString kind = q.value(0).toString(), owner = q.value(1).toString();
    const QString schema = q.value(2).toString(), schemaOwner = q.value(3).toString();
    const QString expected = q.value(10).toString();
    const bool schemaTrusted = schemaOwner == expected || q.value(4).toBool() ||
                               (schemaOwner == QLatin1String("pg_database_owner") &&
                                (q.value(5).toString() == expected || q.value(6).toBool()));
    QStringList wrong;
    if (!kind.startsWith(u'r'))
        wrong.append(QStringLiteral("nxsf_schemes is not a plain table"));
    // A temporary table (search_path=pg_temp) would take saves that vanish with the session,
    // an unlogged one lose them in a crash.
    else if (kind != QLatin1String("rp"))
        wrong.append(QStringLiteral("nxsf_schemes is not a permanent table"));
    if (owner != expected)
        wrong.append(QStringLiteral("table owned by ") + owner + QStringLiteral(", not ") +
                     expected);
    if (!schemaTrusted)
        wrong.append(QStringLiteral("schema ") + schema + QStringLiteral(" owned by ") +
                     schemaOwner);
    if (!q.value(7).toString().isEmpty())
        wrong.append(QStringLiteral("triggers: ") + q.value(7).toString());
    if (!q.value(8).toString().isEmpty())
        wrong.append(QStringLiteral("rules: ") + q.value(8).toString());
    // Only the table's owner (or a superuser) can make policies; the store's own are known by
    // name.
    QStringList policies = q.value(9).toString().split(QStringLiteral(", "), Qt::SkipEmptyParts);
    for (const QString &own : storePolicies)
        policies.removeOne(own);
    if (!policies.isEmpty())
        wrong.append(QStringLiteral("policies: ") + policies.join(QStringLiteral(", ")));
    c.owners = q.value(11).toBool();
    c.defaults = q.value(12).toBool();
    q.finish();
    if (!wrong.isEmpty())
        raise(Texts::schemeStoreNotOwn, c.location,
              NameRules::printable(wrong.join(QStringLiteral("; "))));
    QSqlQuery pin(c.db);
    if (!pin.prepare(QStringLiteral(
            "SELECT set_config('search_path', 'pg_catalog, ' || quote_ident(?), false)")) ||
        (pin.bindValue(0, schema), !pin.exec()))
        throw SqlFailure{Texts::schemeStoreOpenFailed, pin.lastError()};
    // Prepared statements name the table as it was found before.
    c.queries.clear();
    return true;
}

} // namespace NxSerialFilter::SchemeDb
