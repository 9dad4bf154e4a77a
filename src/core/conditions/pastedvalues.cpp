// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Value lists as the dialog takes and shows them; only the dialog's library links them.
#include "core/conditions/valuewords.h"

#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <QSet>

#include <algorithm>

namespace NxSerialFilter {

QString PastedValues::message() const
{
    // English says "1 value" and "1 repeat": the singular forms are texts of their own.
    const qsizetype taken = values.size();
    if (taken == 1 && duplicates == 1)
        return Language::text(Texts::pastedOneValueOneRepeat());
    if (taken == 1)
        return Language::text(Texts::pastedOneValue()).arg(duplicates);
    if (duplicates == 1)
        return Language::text(Texts::pastedOneRepeat()).arg(taken);
    return Language::text(Texts::pastedValueCount()).arg(taken).arg(duplicates);
}

PastedValues splitPastedValues(QStringView text)
{
    PastedValues pasted;
    QSet<QString> seen;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            const QChar ch = text.at(i);
            if (ch != u'\n' && ch != u'\r' && ch != u'\t' && ch != u',' && ch != u';')
                continue;
        }
        const QString piece = text.sliced(from, i - from).trimmed().toString();
        from = i + 1;
        if (piece.isEmpty())
            continue;
        if (seen.contains(piece)) {
            ++pasted.duplicates;
            continue;
        }
        seen.insert(piece);
        pasted.values.append(piece);
    }
    return pasted;
}

QString listSummary(QStringView list)
{
    constexpr int shown = 3;
    // Painted with every repaint of the grid: a 100,000-value list is only counted, not split.
    const qsizetype count = list.isEmpty() ? 0 : list.count(u',') + 1;
    if (count == 0)
        return {};
    QStringList first;
    qsizetype from = 0;
    while (first.size() < shown && from <= list.size()) {
        qsizetype comma = list.indexOf(u',', from);
        if (comma < 0)
            comma = list.size();
        first.append(list.sliced(from, comma - from).toString());
        from = comma + 1;
    }
    // The count leads: a narrow column cuts the end of what it shows.
    return u'(' + QString::number(count) + QStringLiteral(") ") + first.join(QStringLiteral(", ")) +
           (count > shown ? QStringLiteral(" …") : QString());
}

QString listLines(QStringView list, qsizetype maxLines, qsizetype lineWidth)
{
    if (list.isEmpty())
        return {};
    QString lines;
    qsizetype from = 0;
    qsizetype written = 0;    // lines begun
    qsizetype lineLength = 0; // characters of the last line
    while (from <= list.size()) {
        qsizetype comma = list.indexOf(u',', from);
        if (comma < 0)
            comma = list.size();
        const QStringView value = list.sliced(from, comma - from);
        from = comma + 1;
        if (written > 0 && lineLength + 2 + value.size() <= lineWidth) {
            lines += QStringLiteral(", ");
            lines += value;
            lineLength += 2 + value.size();
            continue;
        }
        if (written == maxLines) {
            const qsizetype count = list.count(u',') + 1;
            lines += u'\n' + Language::text(Texts::listValuesInAll()).arg(count);
            break;
        }
        if (written > 0)
            lines += u'\n';
        lines += value;
        lineLength = value.size();
        ++written;
    }
    return lines;
}

QString unknownValuesQuestion(const QStringList &unknown)
{
    constexpr qsizetype listed = 20;
    // The values are joined, never formatted: any of them may hold a marker.
    const QString values = listLines(unknown.join(u','), listed);
    if (unknown.size() == 1)
        return Language::text(Texts::unknownLookupValue()) + u'\n' + values + u'\n' +
               Language::text(Texts::useValueAnyway());
    return Language::text(Texts::unknownLookupValues()).arg(unknown.size()) + u'\n' + values +
           u'\n' + Language::text(Texts::useValuesAnyway());
}

} // namespace NxSerialFilter
