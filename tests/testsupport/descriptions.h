// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>

namespace NxSerialFilter::Testing {

/// One serial field descriptor.
KeyedValuesPtr serialField(int propId, const QString &column, const QString &name, int preDefine,
                           int dataType, int sysDataType = 0, int lookupClass = 0);
/// A serial description with the given groups and serial class.
KeyedValuesPtr serialDescription(const QList<KeyedValuesPtr> &header,
                                 const QList<KeyedValuesPtr> &entry,
                                 const QVariant &serialClass = 12);
/// The description of the worked examples: FSERIALNUM (text), FITEM (item look-up),
/// FQTY (number), FDATE (date, captioned dateCaption), FSUB (sub-message look-up), FSYSN/FSYST
/// (system fields).
KeyedValuesPtr standardSerialDescription(const QString &dateCaption = QStringLiteral("日期"));

/// One common field.
KeyedValuesPtr commonField(const QString &caption, int dataType, const QString &column,
                           int itemClass = 0, bool detail = false, bool isName = true,
                           bool filterLookup = false);
/// Common values with "Fields" and "ScreenID".
KeyedValuesPtr commonValues(const QList<KeyedValuesPtr> &fields, const QString &screenId);
/// t1.FQty (3), t1.FName (200), t1.FCode (129), t1.FStock (200, look-up class 5), t1.FRate (5).
KeyedValuesPtr standardCommonValues(const QString &screenId = QStringLiteral("Items"));

} // namespace NxSerialFilter::Testing
