// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/composer/questions.h"

#include "core/conditions/offrows.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <algorithm>

namespace NxSerialFilter::Questions {

namespace {

bool readsValue(CompareOp op)
{
    return op != CompareOp::IsEmpty && op != CompareOp::IsNotEmpty;
}

/// Whether the rows' parentheses pair: none closes before it opens, all close.
bool paired(const QList<ConditionRow> &rows, const QList<int> &kept)
{
    qsizetype depth = 0;
    for (const int r : kept) {
        depth += rows.at(r - 1).open.count(u'(');
        depth -= rows.at(r - 1).close.count(u')');
        if (depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

QString of(const FieldCatalog &catalog, const ConditionRow &row)
{
    return row.value.text().isEmpty() ? catalog.caption(row.field) : row.value.text();
}

QList<Question> of(const FieldCatalog &catalog, const Condition &condition)
{
    QList<Question> questions;
    for (qsizetype r = 0; r < condition.size(); ++r) {
        const ConditionRow &row = condition.at(r);
        if (row.off || row.value.kind() != ValueKind::Asked || !readsValue(row.compare))
            continue;
        const QString text = of(catalog, row);
        const bool asked = std::any_of(questions.cbegin(), questions.cend(),
                                       [&text](const Question &q) { return q.text == text; });
        if (!asked)
            questions.append(
                {text, int(r + 1), row.field, rowValueKind(catalog, row.field, row.compare)});
    }
    return questions;
}

RunningCondition running(const FieldCatalog &catalog, const Condition &condition,
                         const Answers &answers, bool strict)
{
    RunningCondition run;
    const QList<ConditionRow> &all = condition.rows();
    // Most conditions neither leave out nor ask: they run as they are, shared, not copied.
    if (std::none_of(all.cbegin(), all.cend(), [](const ConditionRow &row) {
            return row.off || row.value.kind() == ValueKind::Asked;
        })) {
        run.condition = condition;
        return run;
    }
    QList<int> every;
    for (qsizetype r = 0; r < all.size(); ++r) {
        every.append(int(r + 1));
        if (all.at(r).off)
            continue;
        run.rows.append(int(r + 1));
        ConditionRow row = all.at(r);
        if (row.value.kind() == ValueKind::Asked && readsValue(row.compare)) {
            const QString question = of(catalog, row);
            const auto answer = answers.constFind(question);
            const ValueKind kind = rowValueKind(catalog, row.field, row.compare);
            if (answer != answers.cend())
                row.value = ConditionValue::fromText(kind, *answer);
            else if (strict)
                run.failure =
                    ComposeFailure{int(r + 1), ComposeFailure::Reason::Unanswered, {question}};
        }
        run.condition.append(row);
        if (run.failure)
            return run;
    }
    // A row that opened or closed a group takes its parentheses along; the rows kept must
    // still pair, as they did with it.
    if (strict && run.rows.size() < every.size() && paired(all, every) && !paired(all, run.rows)) {
        for (qsizetype r = 0; r < all.size(); ++r) {
            if (all.at(r).off &&
                (all.at(r).open.contains(u'(') || all.at(r).close.contains(u')'))) {
                run.failure =
                    ComposeFailure{int(r + 1), ComposeFailure::Reason::OffRowUnbalances, {}};
                break;
            }
        }
    }
    return run;
}

} // namespace NxSerialFilter::Questions
