// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QHash>
#include <QList>

#include <optional>

namespace NxSerialFilter {

/// One list position as the composer needs it, read once from the description.
struct CatalogEntry
{
    QString caption;    // as listed, well-formed
    QString identifier; // FPropID (serial), ColumnName (common)
    QString columnName; // FSQLColumnName or ColumnName as the host wrote it
    QString column;     // the expression written into a condition
    ValueKind kind = ValueKind::Text;
    qint32 dataType = 0;
    qint32 lookUpClass = 0;
    bool hasLookUp = false;
    bool textColumn = false; // holds text: not a number or a date
    int nesting = 0;         // levels of parentheses inside the column expression
    QString postgresColumn;  // column with each name quoted in [...] quoted in "..." instead
    KeyedValuesPtr descriptor;
    /// Why a row on this field cannot compose; the reason alone, the row is the composer's.
    std::optional<ComposeFailure> problem;
};

struct FieldCatalog::Data
{
    bool serialUse = false;
    QString screenId;
    QList<CatalogEntry> entries; // [0] is "(无)"
    // Where an FPropID leads: the first record whose FPropID is that text, or has that
    // leading number, in Header then Entry.
    QHash<QString, KeyedValuesPtr> byText;
    QHash<double, KeyedValuesPtr> byNumber;
};

/// The kind of a row's value: a list for the value lists, else what its field holds (a
/// look-up's name is a text).
inline ValueKind rowValueKind(const FieldCatalog &catalog, int field, CompareOp op)
{
    if (op == CompareOp::InList || op == CompareOp::NotInList)
        return ValueKind::List;
    const ValueKind kind = catalog.valueKind(field);
    return kind == ValueKind::LookUp ? ValueKind::Text : kind;
}

namespace FieldCatalogBuild {

/// Builds the serial catalog; appends every listed FPropID to ids as it goes, so that a
/// caller sees how far the list got when it throws.
NXSF_CORE_PRIVATE_EXPORT FieldCatalog serial(const KeyedValuesPtr &description, QStringList &ids);

} // namespace FieldCatalogBuild

} // namespace NxSerialFilter
