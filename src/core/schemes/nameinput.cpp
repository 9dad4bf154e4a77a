// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// What the name window lets a user type; only the dialog's library links it.
#include "core/schemes/namerules.h"

#include "core/text/spaces.h"

#include <algorithm>

namespace NxSerialFilter {

bool NameRules::acceptsKey(const QString &current, QChar key)
{
    return key != u'\'' && current.size() <= KeyLimit;
}

QString NameRules::insertable(const QString &current, int selectedLength, const QString &text)
{
    if (current.size() > KeyLimit)
        return {};
    // A name is one line: breaks would split the lines of listings and exports.
    QString piece = wellFormedCell(text);
    piece.remove(u'\'');
    const qsizetype room = KeyLimit + 1 - (current.size() - selectedLength);
    if (piece.size() > room) {
        piece.truncate(std::max<qsizetype>(room, 0));
        if (!piece.isEmpty() && piece.back().isHighSurrogate())
            piece.chop(1);
    }
    return piece;
}

} // namespace NxSerialFilter
