// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/datetext.h"

#include <QRegularExpression>

namespace NxSerialFilter::DateText {

QDate parse(QStringView text)
{
    // ASCII digits only: \d would also take other scripts' digits, which toInt does not read.
    static const QRegularExpression separated(
        QStringLiteral("^([0-9]{4})([-/])([0-9]{1,2})\\2([0-9]{1,2})$"));
    static const QRegularExpression compact(QStringLiteral("^([0-9]{4})([0-9]{2})([0-9]{2})$"));
    const QStringView typed = text.trimmed();
    QRegularExpressionMatch m = separated.match(typed);
    int month = 3;
    int day = 4;
    if (!m.hasMatch()) {
        m = compact.match(typed);
        if (!m.hasMatch())
            return {};
        month = 2;
        day = 3;
    }
    // QDate refuses a day its month does not have, rather than rolling it over.
    return QDate(m.capturedView(1).toInt(), m.capturedView(month).toInt(),
                 m.capturedView(day).toInt());
}

} // namespace NxSerialFilter::DateText
