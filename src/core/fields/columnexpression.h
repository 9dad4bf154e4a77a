// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringView>

namespace NxSerialFilter {

/// What a field description's column name is, read by a small grammar of safe expressions:
/// names qualified up to three times ("dbo.t1.FQty"), each plain or quoted in "…" or […];
/// whole numbers and decimals; function calls; the operators + - * / % and ||; a sign; balanced
/// parentheses. Anything else (string literals, comments, ";", placeholders, keywords that
/// change a condition's meaning such as OR, NULL, TRUE or CURRENT_USER) makes it unsafe, as do
/// a text longer than Limits::MaxColumnNameLength, more than Limits::MaxColumnNesting levels
/// of parentheses or Limits::MaxColumnTerms terms, and an expression that refers to no column
/// (a column "1" would make the condition "1 = 1").
struct ColumnExpression
{
    bool safe = false;
    /// Names in the reference when the whole text is one column reference ("t1.FQty": 2);
    /// 0 for any other expression.
    int parts = 0;
    /// That reference is written without quotes.
    bool plain = false;
    /// A name is quoted in […], which PostgreSQL does not read as a name.
    bool brackets = false;
    /// Deepest level of parentheses, function calls included.
    int nesting = 0;

    /// Reads text (blanks at both ends allowed).
    NXSF_CORE_AUTOTEST_EXPORT static ColumnExpression read(QStringView text);
    /// A safe expression with each name quoted in […] quoted in "…" instead ("]" ends it, a
    /// '"' inside is doubled), as PostgreSQL and the standard read a quoted name.
    NXSF_CORE_AUTOTEST_EXPORT static QString doubleQuoted(QStringView text);
};

} // namespace NxSerialFilter
