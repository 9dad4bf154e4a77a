// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <array>

namespace NxSerialFilter::Numbers {

/// The number a text begins with, after leading blanks; 0 when it does not begin with one.
/// "12.50kg" gives 12.5. Values beyond the range of a double are held at its limits.
double leadingNumber(QStringView text);

/// The leading number rounded half to even into a 32-bit integer (held at its limits).
qint32 leadingInt(QStringView text);

/// A number written for SQL: plain decimal with "." and no trailing zeros; exponent form only
/// for magnitudes a plain form would spell out at great length.
QString sqlNumber(double value);

/// The leading number of a text written for SQL: a whole number within 64 bits digit for
/// digit ("9007199254740993", beyond a double's precision), anything else as sqlNumber.
QString sqlLeadingNumber(QStringView text);

/// Room for sqlLeadingLiteral's digits.
using SqlDigits = std::array<char, 64>;

/// sqlLeadingNumber written into digits, without an allocation, for a whole number within 64
/// bits and a plain decimal below 2^53 (the numbers a condition holds); empty otherwise.
QLatin1StringView sqlLeadingLiteral(QStringView text, SqlDigits &digits);

/// The value bound where sqlLeadingNumber writes a literal: a qint64 for a whole number within
/// 64 bits, read from the digits; anything else as sqlNumberValue.
QVariant sqlLeadingNumberValue(QStringView text);

/// The value bound where sqlNumber writes a literal, of the type SQL reads that literal as: a
/// whole number within 64 bits is a qint64, anything else a double.
QVariant sqlNumberValue(double value);

/// A count as the dialog shows it, grouped in thousands with "," ("10,000,000"), as both
/// languages write large numbers.
QString grouped(qint64 count);

} // namespace NxSerialFilter::Numbers
