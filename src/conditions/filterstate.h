// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "filter/keyedvalues.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <array>
#include <functional>

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
struct BoundCondition
{
    QString sql;
    QVariantList values;

    friend bool operator==(const BoundCondition &, const BoundCondition &) = default;
};

/// One bound condition for each engine and placeholder style.
using BoundConditions = std::array<std::array<BoundCondition, 2>, 2>;

/// The filter dialog's working state, shared by the rules of the conditions and schemes so
/// they can run without a window.
struct FilterState
{
    qint32 CurrentFilterID = 0;
    bool LookupAvailable = false;
    bool Activated = false;
    QStringList LogicWords;   // SQL words behind the logic list, by index
    QStringList CompareWords; // SQL words behind the comparison list, by index
    QStringList FieldIDs;     // FPropID texts parallel to the field list; [0] is "(无)"
    QString FilterSQL;
    /// FilterSQL in bound form, [SqlEngine][Placeholders]; set together with FilterSQL.
    BoundConditions FilterQuery;
    bool Cancel = false;
    bool LoadingScheme = false;
    QString ScreenID;
    KeyedValuesPtr SerialDesc;
    bool SerialUse = false;
    KeyedValuesPtr CommonField;

    /// Writes the caption of the hint line LblMsg.
    std::function<void(const QString &)> setHint;
    QString hint; // what was last written there

    void showHint(const QString &text)
    {
        hint = text;
        if (setHint)
            setHint(text);
    }
};

} // namespace NxSerialFilter
