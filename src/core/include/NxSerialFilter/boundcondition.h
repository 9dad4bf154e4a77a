// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The condition with bound parameters.

#include <QString>
#include <QVariantList>

#include <array>

namespace NxSerialFilter {

/// The engine a host runs the bound condition on. Each gets what it accepts with the same
/// meaning: PostgreSQL reads a number or date column through a cast to text before Like, and
/// its empty tests compare no such column with '' (it can hold none). FilterSQL is the same
/// text for every engine.
enum class SqlEngine : quint8 { SQLite, PostgreSQL };

/// How the bound condition writes its placeholders. QMark ("?") for Qt Sql with any driver,
/// SQLite's own API and ODBC; Dollar ("$1" to "$n", numbered in order) for libpq's
/// PQexecParams and PQprepare, or a PostgreSQL PREPARE.
enum class Placeholders : quint8 { QMark, Dollar };

/// A condition with a placeholder wherever FilterSQL has a value literal, and the values in
/// order. Parentheses, logic words, comparisons, columns and aliases are FilterSQL's. Texts
/// and dates are QString (a "包含" value with the "%" FilterSQL puts around it); numbers are
/// the parsed value FilterSQL writes: qint64 when whole and within 64 bits, else double.
/// A value list ("包括", "不包括") is one value whatever its length, a QString: on SQLite a
/// JSON array read by "In (SELECT value FROM json_each(?))", on PostgreSQL an array literal
/// compared by "= ANY(?)" or "<> ALL(?)". An empty list is [''] for a text field and no item
/// for a number field, as in FilterSQL.
struct BoundCondition
{
    QString sql;         ///< the condition with placeholders; "" when no row is in use
    QVariantList values; ///< the values to bind, in the order of the placeholders

    /// Equal when both the text and every value are equal.
    friend bool operator==(const BoundCondition &, const BoundCondition &) = default;
};

/// One bound condition for each engine and placeholder style.
using BoundConditions = std::array<std::array<BoundCondition, 2>, 2>;

} // namespace NxSerialFilter
