// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Value lists as the dialog takes and shows them; only the dialog's library links them.
#include "core/conditions/valuewords.h"

#include "core/language/languagestate.h"
#include "core/language/texts.h"

#include <QSet>

#include <algorithm>

namespace NxSerialFilter {

QString PastedValues::message() const
{
    return Language::text(Texts::pastedValueCount()).arg(values.size()).arg(duplicates);
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
    if (count < 2)
        return list.toString();
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

QString listLines(QStringView list, qsizetype maxLines)
{
    if (list.isEmpty())
        return {};
    QString lines;
    qsizetype from = 0;
    qsizetype written = 0;
    while (from <= list.size()) {
        if (written == maxLines) {
            const qsizetype count = list.count(u',') + 1;
            lines += u'\n' + Language::text(Texts::listValuesInAll()).arg(count);
            break;
        }
        qsizetype comma = list.indexOf(u',', from);
        if (comma < 0)
            comma = list.size();
        if (written > 0)
            lines += u'\n';
        lines += list.sliced(from, comma - from);
        ++written;
        from = comma + 1;
    }
    return lines;
}

} // namespace NxSerialFilter
