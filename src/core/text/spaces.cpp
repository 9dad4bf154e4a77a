// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/text/spaces.h"

namespace NxSerialFilter {

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

namespace {

/// What a cell's character at i becomes.
enum class Repair : quint8 {
    Keep,        // the character, or a surrogate pair: i and i + 1
    Space,       // a TAB, CR, LF or NUL, which would split a row or end a C string
    Replacement, // an unpaired surrogate, no character at all
};

Repair repairAt(QStringView text, qsizetype i)
{
    const QChar ch = text[i];
    if (ch == u'\t' || ch == u'\r' || ch == u'\n' || ch == u'\0')
        return Repair::Space;
    if (!ch.isSurrogate())
        return Repair::Keep;
    return ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
               ? Repair::Keep
               : Repair::Replacement;
}

} // namespace

bool isWellFormedCell(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (repairAt(text, i) != Repair::Keep)
            return false;
        if (text[i].isHighSurrogate())
            ++i;
    }
    return true;
}

QString wellFormedCell(QString text)
{
    if (isWellFormedCell(text))
        return text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (repairAt(text, i)) {
        case Repair::Space:
            // A NUL would also end the condition early in any driver that reads C strings.
            text[i] = u' ';
            break;
        case Repair::Replacement:
            // Unpaired, it is no character; SQLite's UTF-16 reader would take the next unit,
            // a closing quote say, as its other half.
            text[i] = QChar::ReplacementCharacter;
            break;
        case Repair::Keep:
            if (text.at(i).isHighSurrogate())
                ++i;
            break;
        }
    }
    return text;
}

} // namespace NxSerialFilter
