// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

#include <QString>

#include <exception>

namespace NxSerialFilter {

/// A failure inside the component: number, source and a description fit to show the user.
class NXSERIALFILTER_EXPORT FilterError : public std::exception
{
public:
    FilterError(int number, QString source, QString description);

    int number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

/// Numbers of the failures the component raises itself.
namespace ErrorNumber {
constexpr int ObjectNotSet = 91;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int ComponentMissing = 429;
constexpr int MemberMissing = 438;
constexpr int CreateSql = 14416;
constexpr int Unexpected = 440;
constexpr int TooLarge = 7; // refused before it could exhaust memory
// Refusals the user must correct (shown as warnings), not failures of the component.
constexpr int UnbalancedParentheses = 14417;
} // namespace ErrorNumber

/// The description of whatever was thrown, for handlers that show it to the user.
NXSERIALFILTER_EXPORT QString describeFailure(std::exception_ptr failure);

} // namespace NxSerialFilter
