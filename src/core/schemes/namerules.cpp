// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "namerules.h"

#include "conditions/conditiongrid.h"
#include "support/spaces.h"

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
    QString piece = ConditionGrid::cellSafe(text);
    piece.remove(u'\'');
    const qsizetype room = KeyLimit + 1 - (current.size() - selectedLength);
    if (piece.size() > room) {
        piece.truncate(std::max<qsizetype>(room, 0));
        if (!piece.isEmpty() && piece.back().isHighSurrogate())
            piece.chop(1);
    }
    return piece;
}

bool NameRules::canAccept(const QString &name)
{
    return !name.isEmpty();
}

bool NameRules::isStorable(const QString &name)
{
    if (!canAccept(name) || name.size() > MaxLength || trimSpaces(name) != name ||
        name.contains(u'\'') || ConditionGrid::cellSafe(name) != name)
        return false;
    return std::none_of(name.cbegin(), name.cend(),
                        [](QChar ch) { return ch.category() == QChar::Other_Control; });
}

} // namespace NxSerialFilter
