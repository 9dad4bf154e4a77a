// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

#include <QString>
#include <QStringList>

namespace NxSerialFilter {

/// Positions of the logic list; the same index selects the SQL word.
enum class LogicOp { And = 0, Or = 1 };

/// Positions of the comparison list; the same index selects the SQL word.
enum class CompareOp {
    Equal = 0,
    Greater,
    Less,
    LessOrEqual,
    GreaterOrEqual,
    NotEqual,
    Contains,
    NotContains,
    IsEmpty,
    IsNotEmpty,
};

namespace Vocabulary {

/// Design-time items of the logic, left-parenthesis, comparison and right-parenthesis lists.
NXSERIALFILTER_EXPORT QStringList logicItems();
NXSERIALFILTER_EXPORT QStringList leftParenItems();
NXSERIALFILTER_EXPORT QStringList compareItems();
NXSERIALFILTER_EXPORT QStringList rightParenItems();

/// A design-time list as every language the component ships shows it, the source language
/// first; positions stay those of the design list.
NXSERIALFILTER_EXPORT QList<QStringList> inShippedLanguages(const QStringList &designItems);

/// The SQL words behind the logic and comparison lists, by index.
NXSERIALFILTER_EXPORT QStringList logicWords();
NXSERIALFILTER_EXPORT QStringList compareWords();

/// The dialog's filter on every typed character: a single quote is refused everywhere;
/// column 2 takes only "(", column 7 only ")". Returns the character to pass, 0 to discard.
NXSERIALFILTER_EXPORT ushort Form_KeyPress(ushort keyAscii, int activeCol);

/// Whether a comparison text is the localized "为空" or "不为空".
NXSERIALFILTER_EXPORT bool isEmptyTest(const QString &compareText);

/// A message about one condition row, localized and naming the row: "第2行：" and the text
/// of key.
NXSERIALFILTER_EXPORT QString rowMessage(int row, const QString &key);

} // namespace Vocabulary
} // namespace NxSerialFilter
