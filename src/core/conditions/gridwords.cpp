// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The words and keys of the dialog's grid alone; only the dialog's library links them.
#include "core/conditions/vocabulary.h"

#include "core/conditions/conditiongrid.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

namespace NxSerialFilter::Vocabulary {

QStringList leftParenItems()
{
    return {QStringLiteral("("), QStringLiteral("(("), QStringLiteral("((("),
            QStringLiteral("((((")};
}

QStringList rightParenItems()
{
    return {QStringLiteral(")"), QStringLiteral("))"), QStringLiteral(")))"),
            QStringLiteral("))))")};
}

ushort keptKey(ushort keyAscii, int activeCol)
{
    constexpr ushort quote = '\'';
    constexpr ushort backspace = 8;
    if (keyAscii == quote)
        keyAscii = 0;
    if (keyAscii == backspace)
        return keyAscii;
    if (activeCol == ConditionGrid::ColLeftParen)
        return keyAscii == '(' ? keyAscii : 0;
    if (activeCol == ConditionGrid::ColRightParen)
        return keyAscii == ')' ? keyAscii : 0;
    return keyAscii;
}

bool isEmptyTest(const QString &compareText)
{
    return compareText == Language::text(Texts::compareIsEmpty()) ||
           compareText == Language::text(Texts::compareIsNotEmpty());
}

} // namespace NxSerialFilter::Vocabulary
