// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/fields/fieldcatalogdata.h"
#include "core/conditions/rowfacts.h"
#include <NxSerialFilter/condition.h>

/// What a row says about running beside its condition: switched off ("off=1"), or its value
/// asked when the condition runs ("ask=1"). Both live in the row's value-code cell, so that an
/// older reader carries them as an ordinary row's; the row's off flag and its value's kind
/// are what the condition reads.
namespace NxSerialFilter::RunFacts {

/// Whether the cell's facts switch the row off.
bool off(const RowFacts &facts);
/// Whether the cell's facts make the value a question.
bool asks(const RowFacts &facts);

/// The facts with the row's off flag and question written in; a fact the row no longer has is
/// dropped, one it keeps stays where it stood.
void write(RowFacts &facts, const ConditionRow &row);

/// Switches the row off or on; its value-code cell says so.
void setOff(ConditionRow &row, bool off);
/// Makes the row's value the question asked (question: its text), or, with a null question,
/// an empty value of kind again; its value-code cell says so.
void setQuestion(ConditionRow &row, const QString &question, ValueKind kind);

/// The kind of a row's value: a question stays one whatever its field and comparison.
inline ValueKind valueKind(const FieldCatalog &catalog, const ConditionRow &row)
{
    return row.value.kind() == ValueKind::Asked ? ValueKind::Asked
                                                : rowValueKind(catalog, row.field, row.compare);
}

} // namespace NxSerialFilter::RunFacts
