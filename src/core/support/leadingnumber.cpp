// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "leadingnumber.h"

#include <QLocale>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace NxSerialFilter::Numbers {

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QByteArray digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        digits.append(char(text[i++].unicode()));
    bool any = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        digits.append(char(text[i++].unicode()));
        any = true;
    }
    if (i < n && text[i] == u'.') {
        digits.append('.');
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            digits.append(char(text[i++].unicode()));
            any = true;
        }
    }
    if (!any)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            exponent.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (expDigits)
            digits.append(exponent);
    }
    double value = std::strtod(digits.constData(), nullptr);
    if (std::isinf(value))
        value = value > 0 ? DBL_MAX : -DBL_MAX;
    return value == 0 ? 0.0 : value; // no negative zero
}

qint32 leadingInt(QStringView text)
{
    const double rounded = std::nearbyint(leadingNumber(text));
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(rounded);
}

QString sqlNumber(double value)
{
    if (!std::isfinite(value))
        value = std::isnan(value) ? 0.0 : (value > 0 ? DBL_MAX : -DBL_MAX);
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    const char format = (magnitude >= 1e-6 && magnitude < 1e21) ? 'f' : 'g';
    return QString::number(value, format, QLocale::FloatingPointShortest);
}

QVariant sqlNumberValue(double value)
{
    if (!std::isfinite(value))
        value = std::isnan(value) ? 0.0 : (value > 0 ? DBL_MAX : -DBL_MAX);
    // 2^63 itself does not fit; -2^63 does.
    constexpr double limit = 9223372036854775808.0;
    if (value == std::trunc(value) && value >= -limit && value < limit)
        return qint64(value);
    return value;
}

} // namespace NxSerialFilter::Numbers
