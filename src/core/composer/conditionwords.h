// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>

#include <QString>

namespace NxSerialFilter {

/// The rows in use of condition in words that ConditionText::parse reads back: logic word,
/// parentheses, field caption, comparison and value, quoted where it must be; switched-off
/// rows left out, questions as questions. In language ("en", ...; empty for the current one).
QString conditionWords(const FieldCatalog &catalog, const Condition &condition,
                       const QString &language);

} // namespace NxSerialFilter
