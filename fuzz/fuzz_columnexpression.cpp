// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Any column name that the grammar of safe expressions accepts stays one operand of the
// comparison it is put into: behind "t1.FID < 0 And" it finds no row, it is one statement, and
// it reads no table but the described one. SQLite may refuse it (an unknown function); it may
// never widen the condition.

#include "core/fields/columnexpression.h"
#include "fuzzsupport.h"

#include <sqlite3.h>

#include <cstring>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

namespace {

int authorize(void *, int action, const char *table, const char *, const char *, const char *)
{
    if (action == SQLITE_READ && table && std::strcmp(table, "items") != 0)
        return SQLITE_DENY;
    return action == SQLITE_SELECT || action == SQLITE_READ || action == SQLITE_FUNCTION
               ? SQLITE_OK
               : SQLITE_DENY;
}

class Database
{
public:
    Database()
    {
        if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
            finding(QStringLiteral("cannot open SQLite"));
        for (const char *statement :
             {"CREATE TABLE items (FID INTEGER PRIMARY KEY, FQty REAL, FName TEXT, a, b, c, d)",
              "CREATE TABLE secrets (FID INTEGER PRIMARY KEY, FValue TEXT)",
              "INSERT INTO items VALUES (1, 5, '5', 5, 0, 1, NULL)",
              "INSERT INTO items VALUES (2, 0, 'x', 1, 5, 5, 5)",
              "INSERT INTO secrets VALUES (1, '5')"}) {
            if (sqlite3_exec(m_db, statement, nullptr, nullptr, nullptr) != SQLITE_OK)
                finding(QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
        sqlite3_set_authorizer(m_db, authorize, nullptr);
    }
    ~Database() { sqlite3_close(m_db); }

    void check(const QString &column)
    {
        const QString sql = QStringLiteral("SELECT t1.FID FROM items t1 WHERE t1.FID < 0 And ") +
                            column + QStringLiteral(" = 5");
        sqlite3_stmt *statement = nullptr;
        const void *tail = nullptr;
        if (sqlite3_prepare16_v2(m_db, sql.utf16(), int(sql.size() * 2), &statement, &tail) !=
                SQLITE_OK ||
            !statement) {
            sqlite3_finalize(statement);
            return; // refused by the engine: no condition runs
        }
        const auto *rest = static_cast<const char16_t *>(tail);
        const auto *end = reinterpret_cast<const char16_t *>(sql.utf16()) + sql.size();
        for (; rest && rest < end; ++rest) {
            if (*rest != u' ' && *rest != u'\t' && *rest != u'\r' && *rest != u'\n') {
                sqlite3_finalize(statement);
                finding(QStringLiteral("text left after the statement: ") + sql);
            }
        }
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc == SQLITE_ROW)
            finding(QStringLiteral("the column widened the condition: ") + sql);
    }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    alerts();
    const QString text = textFrom(data, size);
    const ColumnExpression read = ColumnExpression::read(text);
    if (!read.safe)
        return 0;
    static Database db;
    db.check(text);
    return 0;
}
