// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The reader of a condition's words.
#include <NxSerialFilter/conditiontext.h>

namespace NxSerialFilter {

QString ConditionTextFailure::message(const QString &language) const
{
    Q_UNUSED(language);
    return QString::number(position + 1);
}

namespace ConditionText {

ConditionTextRead parse(const FieldCatalog &catalog, QStringView text, const QString &language)
{
    Q_UNUSED(catalog);
    Q_UNUSED(language);
    ConditionTextRead read;
    if (!text.trimmed().isEmpty())
        read.failure = ConditionTextFailure{};
    return read;
}

} // namespace ConditionText
} // namespace NxSerialFilter
