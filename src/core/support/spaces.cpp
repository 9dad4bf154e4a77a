// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/support/spaces.h"

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

QString wellFormedCell(QString text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\t' || ch == u'\r' || ch == u'\n' || ch == u'\0') {
            // A NUL would also end the condition early in any driver that reads C strings.
            text[i] = u' ';
        } else if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (ch.isSurrogate()) {
            // Unpaired, it is no character; SQLite's UTF-16 reader would take the next unit,
            // a closing quote say, as its other half.
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

} // namespace NxSerialFilter
