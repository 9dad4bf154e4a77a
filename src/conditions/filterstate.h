// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "filter/keyedvalues.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace NxSerialFilter {

/// The filter dialog's working state, shared by the rules of the conditions and schemes so
/// they can run without a window.
struct FilterState
{
    qint32 CurrentFilterID = 0;
    bool LookupAvailable = false;
    bool Activated = false;
    QStringList LogicWords;   // SQL words behind the logic list, by index
    QStringList CompareWords; // SQL words behind the comparison list, by index
    QStringList FieldIDs;     // FPropID texts parallel to the field list; [0] is "(无)"
    QString FilterSQL;
    bool Cancel = false;
    bool LoadingScheme = false;
    QString ScreenID;
    KeyedValuesPtr SerialDesc;
    bool SerialUse = false;
    KeyedValuesPtr CommonField;

    /// Writes the caption of the hint line LblMsg.
    std::function<void(const QString &)> setHint;
    QString hint; // what was last written there

    void showHint(const QString &text)
    {
        hint = text;
        if (setHint)
            setHint(text);
    }
};

} // namespace NxSerialFilter
