// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/text/quotes.h"

namespace NxSerialFilter {

void appendQuotesDoubled(QString &out, QStringView text)
{
    // QString::replace moves the rest of the text for each quote it widens.
    out.reserve(out.size() + text.size() + text.count(u'\''));
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u'\''); at >= 0; at = text.indexOf(u'\'', at + 1)) {
        out.append(text.sliced(from, at + 1 - from));
        out.append(u'\'');
        from = at + 1;
    }
    out.append(text.sliced(from));
}

QString quotesDoubled(QStringView text)
{
    QString out;
    appendQuotesDoubled(out, text);
    return out;
}

} // namespace NxSerialFilter
