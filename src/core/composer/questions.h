// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>

#include <QList>
#include <QString>

#include <optional>

namespace NxSerialFilter {

/// One question a condition asks when it runs.
struct Question
{
    QString text;                     ///< the question, the key of its answer
    int row = 0;                      ///< the first row that asks it, from 1
    int field = -1;                   ///< that row's field: the answer is typed by it
    ValueKind kind = ValueKind::Text; ///< what the answer is read as: a date, a number, a list

    friend bool operator==(const Question &, const Question &) = default;
};

/// The condition as it runs: the rows switched off left out, each question replaced by its
/// answer.
struct RunningCondition
{
    Condition condition;
    QList<int> rows; ///< the row of the condition each kept row was, from 1
    std::optional<ComposeFailure> failure;

    /// The row of the condition that kept row r (from 1) was; r itself past the kept rows.
    int originalRow(int r) const { return r >= 1 && r <= rows.size() ? rows.at(r - 1) : r; }
};

namespace Questions {

/// The question a row asks: its value's text, or the field's caption when that is empty.
QString of(const FieldCatalog &catalog, const ConditionRow &row);

/// The questions the rows ask, each once, in the order of the rows; rows switched off and the
/// empty tests (which read no value) ask none.
QList<Question> of(const FieldCatalog &catalog, const Condition &condition);

/// The condition as it runs with these answers. strict: a question without an answer is a
/// failure naming its row; otherwise it stays the question it is. A switched-off row whose
/// parentheses paired with a row kept is a failure naming the row switched off.
RunningCondition running(const FieldCatalog &catalog, const Condition &condition,
                         const Answers &answers, bool strict);

} // namespace Questions
} // namespace NxSerialFilter
