// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

#include <exception>

namespace NxSerialFilter {

/// A failure inside the component: number, source and a description fit to show the user.
class NXSF_CORE_EXPORT FilterError : public std::exception
{
public:
    /// number is one of ErrorNumber or SchemeStore::FailureNumber; source names the part or
    /// identifier that failed; description is already in the user's language.
    FilterError(int number, QString source, QString description)
        : m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
        , m_what(m_description.toUtf8())
    {}

    /// One of ErrorNumber, or SchemeStore::FailureNumber.
    int number() const noexcept { return m_number; }
    /// The part that failed: a class, a component identifier, a form event.
    const QString &source() const noexcept { return m_source; }
    /// The text to show the user.
    const QString &description() const noexcept { return m_description; }
    /// The grid row the failure is about, from 1; 0 when it is about no row.
    int row() const noexcept { return m_row; }
    /// Names the grid row, from 1.
    void setRow(int row) noexcept { m_row = row; }
    /// The description in UTF-8; valid as long as the error.
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
    int m_row = 0;
};

/// Numbers of the failures the component raises itself.
namespace ErrorNumber {
/// A required object is missing (SerialDesc, CommonFields, QApplication) or a set is closed.
constexpr int ObjectNotSet = 91;
/// An index, field name or record outside what exists.
constexpr int SubscriptOutOfRange = 9;
/// A value of the wrong kind: an object where text is needed, malformed JSON, a NULL scheme.
constexpr int TypeMismatch = 13;
/// An outside component cannot be created.
constexpr int ComponentMissing = 429;
/// A component lacks the expected interface, or a dialog part is missing.
constexpr int MemberMissing = 438;
/// The condition names a field the description does not know or cannot type.
constexpr int CreateSql = 14416;
/// Any other failure while the dialog loads.
constexpr int Unexpected = 440;
/// A text or description beyond the size the component accepts, refused before it could
/// exhaust memory.
constexpr int TooLarge = 7;
/// Unbalanced parentheses, or parenthesis cells holding anything else: a refusal the user must
/// correct (shown as a warning), not a failure of the component.
constexpr int UnbalancedParentheses = 14417;
} // namespace ErrorNumber

/// The description of whatever was thrown, for handlers that show it to the user.
NXSF_CORE_EXPORT QString describeFailure(std::exception_ptr failure);

} // namespace NxSerialFilter
