// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/fields/fieldcatalogdata.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/condition.h>

#include <QList>

#include <optional>

/// A row that compares its field with another field of the catalog ("数量 大于 字段【订购数量】"):
/// which fields and comparisons may, as one rule for the picker and the composer.
namespace NxSerialFilter::FieldCompare {

/// Whether op compares with a field: the six plain comparisons. 包含 and 不包含 would read the
/// other column as a pattern, the empty tests take no value, the value lists a list.
bool takesField(CompareOp op);

/// The positions field may be compared with, in list order: fields of the same sort (numbers
/// with numbers, dates with dates, texts and look-ups with texts and look-ups) that have a
/// column, without field itself.
QList<int> comparableFields(const FieldCatalog::Data &catalog, int field);

/// Why a row on field, compared by op with the Field value, does not compose; nothing when
/// it does.
std::optional<ComposeFailure::Reason> refusal(const FieldCatalog::Data &catalog, int field,
                                              CompareOp op, const ConditionValue &value);

} // namespace NxSerialFilter::FieldCompare
