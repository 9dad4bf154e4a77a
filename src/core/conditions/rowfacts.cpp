// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/rowfacts.h"

namespace NxSerialFilter {

namespace {

bool keyOf(QStringView piece, QStringView key)
{
    return piece.size() > key.size() && piece.startsWith(key) && piece.at(key.size()) == u'=';
}

int hexDigit(QChar ch)
{
    if (ch >= u'0' && ch <= u'9')
        return ch.unicode() - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch.unicode() - u'A' + 10;
    if (ch >= u'a' && ch <= u'f')
        return ch.unicode() - u'a' + 10;
    return -1;
}

QString encoded(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar ch : value) {
        // A grid cell holds no control character, and ";" would end the piece.
        if (ch == u'%' || ch == u';' || ch.unicode() < 0x20) {
            text += u'%';
            text += QString::number(ch.unicode(), 16).toUpper().rightJustified(2, u'0');
        } else {
            text += ch;
        }
    }
    return text;
}

QString decoded(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const int high =
            value.at(i) == u'%' && i + 2 < value.size() ? hexDigit(value.at(i + 1)) : -1;
        const int low = high >= 0 ? hexDigit(value.at(i + 2)) : -1;
        if (low < 0) {
            text += value.at(i);
            continue;
        }
        text += QChar(char16_t(high * 16 + low));
        i += 2;
    }
    return text;
}

} // namespace

RowFacts RowFacts::read(QStringView cell)
{
    RowFacts facts;
    if (!cell.isEmpty()) {
        for (const QStringView piece : cell.split(u';'))
            facts.m_pieces.append(piece.toString());
    }
    return facts;
}

qsizetype RowFacts::find(QStringView key) const
{
    for (qsizetype i = 0; i < m_pieces.size(); ++i) {
        if (keyOf(m_pieces.at(i), key))
            return i;
    }
    return -1;
}

QString RowFacts::value(QStringView key) const
{
    const qsizetype at = find(key);
    return at < 0 ? QString() : decoded(QStringView(m_pieces.at(at)).sliced(key.size() + 1));
}

void RowFacts::set(QStringView key, const QString &value)
{
    const QString piece = key.toString() + u'=' + encoded(value);
    const qsizetype at = find(key);
    if (at < 0)
        m_pieces.append(piece);
    else
        m_pieces[at] = piece;
}

void RowFacts::remove(QStringView key)
{
    m_pieces.removeIf([key](const QString &piece) { return keyOf(piece, key); });
}

} // namespace NxSerialFilter
