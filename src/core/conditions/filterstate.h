// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace NxSerialFilter {

/// The condition confirmed at OK. Its bound forms and words are composed from it when first
/// asked for, once: a host reads one form, and OK need not compose the others.
class NXSF_CORE_PRIVATE_EXPORT ConfirmedCondition
{
public:
    ConfirmedCondition() = default;
    /// asOf and firstDayOfWeek: the day FilterSQL counted relative dates from and the day its
    /// weeks started on; the bound forms count the same days.
    ConfirmedCondition(FieldCatalog catalog, Condition condition, QDate asOf,
                       Qt::DayOfWeek firstDayOfWeek = Qt::Monday)
        : m_catalog(std::move(catalog))
        , m_condition(std::move(condition))
        , m_asOf(asOf)
        , m_firstDayOfWeek(firstDayOfWeek)
    {}

    const Condition &condition() const { return m_condition; }
    /// The bound form for engine and placeholders; empty before a condition was confirmed.
    BoundCondition query(SqlEngine engine, Placeholders placeholders) const;
    /// The condition in the current language's words.
    QString text() const;

private:
    FieldCatalog m_catalog;
    Condition m_condition;
    QDate m_asOf;
    Qt::DayOfWeek m_firstDayOfWeek = Qt::Monday;
    mutable std::array<std::optional<BoundCondition>, 4> m_queries;
    mutable std::optional<QString> m_text;
};

/// The filter dialog's working state: plain data, held alike by the dialog and by the
/// composer that runs without a window.
struct FilterState
{
    qint32 CurrentFilterID = 0;
    bool LookupAvailable = false;
    bool Activated = false;
    QStringList LogicWords;   // SQL words behind the logic list, by index
    QStringList CompareWords; // SQL words behind the comparison list, by index
    QStringList FieldIDs;     // FPropID texts parallel to the field list; [0] is "(无)"
    FieldCatalog Catalog;     // the field list as values; by SetFields
    QString FilterSQL;
    /// The condition FilterSQL was composed from, with its other forms; set together with it.
    ConfirmedCondition Confirmed;
    bool Cancel = false;
    bool LoadingScheme = false;
    QString ScreenID;
    KeyedValuesPtr SerialDesc;
    bool SerialUse = false;
    KeyedValuesPtr CommonField;
};

} // namespace NxSerialFilter
