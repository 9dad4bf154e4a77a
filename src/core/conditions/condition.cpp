// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/condition.h>

#include "core/conditions/valuewords.h"

namespace NxSerialFilter {

ConditionValue ConditionValue::fromText(ValueKind kind, const QString &text)
{
    ConditionValue value(text);
    value.m_kind =
        kind == ValueKind::Date && RelativeDate::read(text) ? ValueKind::RelativeDate : kind;
    return value;
}

} // namespace NxSerialFilter
