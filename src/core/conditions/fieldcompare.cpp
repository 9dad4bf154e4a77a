// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/fieldcompare.h"

namespace NxSerialFilter::FieldCompare {

namespace {

/// What the field holds as far as comparing goes: a look-up's column holds the item's name.
ValueKind sortOf(const CatalogEntry &entry)
{
    return entry.kind == ValueKind::LookUp ? ValueKind::Text : entry.kind;
}

bool usable(const FieldCatalog::Data &catalog, int k)
{
    if (k < 1 || k >= catalog.entries.size())
        return false;
    const CatalogEntry &entry = catalog.entries.at(k);
    return !entry.problem && !entry.column.isEmpty();
}

} // namespace

bool takesField(CompareOp op)
{
    return op >= CompareOp::Equal && op <= CompareOp::NotEqual;
}

QList<int> comparableFields(const FieldCatalog::Data &catalog, int field)
{
    QList<int> fields;
    if (!usable(catalog, field))
        return fields;
    const ValueKind sort = sortOf(catalog.entries.at(field));
    for (int k = 1; k < catalog.entries.size(); ++k) {
        if (k != field && usable(catalog, k) && sortOf(catalog.entries.at(k)) == sort)
            fields.append(k);
    }
    return fields;
}

std::optional<ComposeFailure::Reason> refusal(const FieldCatalog::Data &catalog, int field,
                                              CompareOp op, const ConditionValue &value)
{
    if (!takesField(op))
        return ComposeFailure::Reason::FieldNotComparable;
    // A stored scheme may name a field this list lacks, or one whose kind the host changed.
    const int other = value.field();
    if (!usable(catalog, other) || !usable(catalog, field) ||
        sortOf(catalog.entries.at(other)) != sortOf(catalog.entries.at(field)))
        return ComposeFailure::Reason::OtherFieldUnusable;
    return std::nullopt;
}

} // namespace NxSerialFilter::FieldCompare
