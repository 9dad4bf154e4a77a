// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/keyedvalues.h>

#include <QString>
#include <QStringList>

#include <memory>

namespace NxSerialFilter {

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
    /// FilterSQL in bound form, [SqlEngine][Placeholders]; set together with FilterSQL.
    BoundConditions FilterQuery;
    /// FilterSQL in the words of the grid, as the user wrote it; set together with FilterSQL.
    QString FilterText;
    bool Cancel = false;
    bool LoadingScheme = false;
    QString ScreenID;
    KeyedValuesPtr SerialDesc;
    bool SerialUse = false;
    KeyedValuesPtr CommonField;
};

} // namespace NxSerialFilter
