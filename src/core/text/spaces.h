// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace NxSerialFilter {

/// The text without spaces (U+0020 only) at its ends; tabs and other blanks stay.
QString trimSpaces(const QString &text);

/// What a grid cell may hold: no TAB, CR or LF (they would split a stored row), no NUL and no
/// unpaired surrogate (they would break the condition's SQL text); each becomes a space or
/// U+FFFD.
QString wellFormedCell(QString text);

/// True when wellFormedCell would leave the text as it is.
bool isWellFormedCell(QStringView text);

} // namespace NxSerialFilter
