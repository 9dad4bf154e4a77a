// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>

#include <QString>
#include <QStringList>

namespace NxSerialFilter {

/// The fields as the host described them to the dialog, read when the dialog lists them and
/// by the look-ups, and the identifiers the field list was built from.
struct HostFields
{
    bool SerialUse = false;
    KeyedValuesPtr SerialDesc;  // serial mode: the groups "Header" and "Entry"
    KeyedValuesPtr CommonField; // common mode: the list "Fields"
    QString ScreenID;           // the host's screen; in serial mode set from the description
    QStringList FieldIDs;       // FPropID texts parallel to the field list; [0] is "(无)"
};

} // namespace NxSerialFilter
