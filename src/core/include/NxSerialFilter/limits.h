// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The sizes the component accepts.

#include <QtGlobal>

/// The sizes the component accepts: far above any real scheme or description, low enough that
/// none can freeze the dialog or exhaust memory. Beyond them an input is refused with one alert
/// (or FilterError number ErrorNumber::TooLarge) before anything changes.
namespace NxSerialFilter::Limits {

/// Characters of one scheme text.
constexpr qsizetype MaxSchemeTextLength = 4'000'000;
/// Rows of one scheme text.
constexpr qsizetype MaxSchemeRows = 200'000;
/// Characters of one cell of a scheme text: room for a value list of 100,000 serial numbers
/// of up to 19 characters each.
constexpr qsizetype MaxCellLength = 1 << 21;
/// Characters of a scheme's name: the name box stops taking keys one past 255.
constexpr qsizetype MaxSchemeNameLength = 256;
/// Characters of a screen id under which schemes are stored.
constexpr qsizetype MaxScreenIdLength = 256;
/// Rows of one condition. Every row adds a level to the condition's expression tree, and
/// SQLite refuses a tree deeper than 1,000 levels; 500 rows leave room for what the rows
/// themselves nest, on SQLite, PostgreSQL, SQL Server and MySQL with their default settings.
constexpr int MaxConditionRows = 500;
/// Levels of parentheses open at once in a condition, those of a field's column expression
/// included. SQLite 3.40's parser stack (100 entries) overflows by what a level holds, not by
/// the levels alone: rows that nest as "或者 x 并且 (" overflow at 19 levels, "或者 (" at 31
/// (30 with empty tests), "((…" in one cell at 90 (87). 16 leave room for the host's own query
/// around the condition; PostgreSQL takes far more.
constexpr int MaxParenthesisDepth = 16;
/// Characters of a field's column name or expression.
constexpr qsizetype MaxColumnNameLength = 1024;
/// Levels of parentheses and function calls inside a column expression; they count towards
/// MaxParenthesisDepth as well.
constexpr int MaxColumnNesting = 4;
/// Terms (names, numbers, calls) of a column expression: each adds to the expression tree
/// that SQLite caps at 1,000 levels, as every row does.
constexpr int MaxColumnTerms = 32;
/// Bytes of a field description's JSON.
constexpr qsizetype MaxDescriptionBytes = 8 * 1024 * 1024;

} // namespace NxSerialFilter::Limits
