// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/schemes/namerules.h"

#include "core/text/spaces.h"

#include <QList>

#include <algorithm>

namespace NxSerialFilter {

bool NameRules::canAccept(const QString &name)
{
    return !name.isEmpty();
}

namespace {

/// Characters that would make a stored name or screen show as something else: controls (a
/// line break forges a line in a listing, ESC starts a terminal sequence), line and paragraph
/// separators, and the controls that reorder text shown right to left.
bool misleading(char32_t ch)
{
    switch (QChar::category(ch)) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        break;
    }
    return ch == 0x061c || ch == 0x200e || ch == 0x200f || (ch >= 0x202a && ch <= 0x202e) ||
           (ch >= 0x2066 && ch <= 0x2069);
}

bool anyMisleading(QStringView text)
{
    for (const char32_t ch : text.toUcs4()) {
        if (misleading(ch))
            return true;
    }
    return false;
}

} // namespace

bool NameRules::isStorable(const QString &name)
{
    return canAccept(name) && name.size() <= MaxLength && trimSpaces(name) == name &&
           !name.contains(u'\'') && wellFormedCell(name) == name && !anyMisleading(name);
}

bool NameRules::isStorableScreen(const QString &screen)
{
    return screen.size() <= Limits::MaxScreenIdLength && wellFormedCell(screen) == screen &&
           !anyMisleading(screen);
}

QString NameRules::printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t ch = text.at(i).unicode();
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate();
        if (pair)
            ch = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
        if (ch == u'\\') {
            shown += QStringLiteral("\\\\");
        } else if (ch == u'\n' || ch == u'\r' || ch == u'\t') {
            shown += u'\\' + QChar(ch == u'\n' ? u'n' : ch == u'\r' ? u'r' : u't');
        } else if (misleading(ch) || QChar::category(ch) == QChar::Other_Format ||
                   (!pair && text.at(i).isSurrogate())) {
            shown += QStringLiteral("\\u%1").arg(uint(ch), ch > 0xffff ? 6 : 4, 16, QChar(u'0'));
        } else {
            shown += text.at(i);
            if (pair)
                shown += text.at(i + 1);
        }
        if (pair)
            ++i;
    }
    return shown;
}

} // namespace NxSerialFilter
