// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace NxSerialFilter::Testing {

/// Whether a text holds CJK characters or full-width punctuation (an untranslated text).
inline bool hasCjk(const QString &text)
{
    for (QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

} // namespace NxSerialFilter::Testing
