// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/text/leadingnumber.h"

#include <QLocale>
#include <QVarLengthArray>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace NxSerialFilter::Numbers {

namespace {

/// The characters of the number a text begins with, as strtod and strtoll read them.
struct Scanned
{
    // Held inline: the numbers a condition holds are short, and a scan must cost no allocation.
    QVarLengthArray<char, 40> digits; // sign, whole part, "." and fraction, exponent
    qsizetype whole = 0;              // characters of sign and whole part
    bool any = false;                 // a digit was read
    bool exact = true; // no exponent and no fraction digit other than 0: a whole number
};

Scanned scan(QStringView text)
{
    Scanned s;
    auto &digits = s.digits;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        digits.append(char(text[i++].unicode()));
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        digits.append(char(text[i++].unicode()));
        s.any = true;
    }
    s.whole = digits.size();
    if (i < n && text[i] == u'.') {
        digits.append('.');
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            s.exact = s.exact && text[i] == u'0';
            digits.append(char(text[i++].unicode()));
            s.any = true;
        }
    }
    if (!s.any)
        return s;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        const qsizetype mantissa = digits.size();
        digits.append('e');
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            digits.append(char(text[j++].unicode()));
        bool expDigits = false;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            digits.append(char(text[j++].unicode()));
            expDigits = true;
        }
        if (expDigits)
            s.exact = false;
        else
            digits.resize(mantissa);
    }
    digits.append('\0'); // for strtod
    return s;
}

double toDouble(const Scanned &s)
{
    if (!s.any)
        return 0;
    double value = std::strtod(s.digits.constData(), nullptr);
    if (std::isinf(value))
        value = value > 0 ? DBL_MAX : -DBL_MAX;
    return value == 0 ? 0.0 : value; // no negative zero
}

/// The whole number of the scan when it is one and fits 64 bits; a double would round
/// anything beyond 2^53 to a neighbour, which then matches another record.
std::optional<qint64> toWhole(const Scanned &s)
{
    if (!s.any || !s.exact)
        return std::nullopt;
    const char *begin = s.digits.constData();
    const char *end = begin + s.whole;
    if (begin < end && *begin == '+')
        ++begin;
    if (begin == end || (end - begin == 1 && *begin == '-'))
        return qint64(0); // ".0"
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace

double leadingNumber(QStringView text)
{
    return toDouble(scan(text));
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

QLatin1StringView sqlLeadingLiteral(QStringView text, SqlDigits &digits)
{
    const Scanned s = scan(text);
    char *const begin = digits.data();
    char *const end = begin + digits.size();
    if (const std::optional<qint64> whole = toWhole(s))
        return QLatin1StringView(begin, std::to_chars(begin, end, *whole).ptr);
    const double value = toDouble(s);
    if (value == 0)
        return QLatin1StringView("0");
    // Below 2^53 the standard library's shortest plain form is sqlNumber's, digit for digit;
    // above, it writes the double's exact digits where sqlNumber writes zeros.
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-6 || magnitude >= 9007199254740992.0)
        return {};
    return QLatin1StringView(begin, std::to_chars(begin, end, value, std::chars_format::fixed).ptr);
}

QString sqlLeadingNumber(QStringView text)
{
    const Scanned s = scan(text);
    if (const auto whole = toWhole(s))
        return QString::number(*whole);
    return sqlNumber(toDouble(s));
}

QVariant sqlLeadingNumberValue(QStringView text)
{
    const Scanned s = scan(text);
    if (const auto whole = toWhole(s))
        return *whole;
    return sqlNumberValue(toDouble(s));
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

QString grouped(qint64 count)
{
    return QLocale(QLocale::English).toString(count);
}

} // namespace NxSerialFilter::Numbers
