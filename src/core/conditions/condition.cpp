// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/condition.h>

#include "core/conditions/valuewords.h"
#include "core/support/leadingnumber.h"

#include <QLocale>

namespace NxSerialFilter {

ConditionValue::ConditionValue(qint64 number)
    : m_kind(ValueKind::Number)
    , m_text(QString::number(number))
{}

ConditionValue::ConditionValue(double number)
    : m_kind(ValueKind::Number)
    , m_text(QString::number(number, 'g', QLocale::FloatingPointShortest))
{}

ConditionValue::ConditionValue(QDate date)
    : m_kind(ValueKind::Date)
    , m_text(date.toString(Qt::ISODate))
{}

ConditionValue::ConditionValue(const QStringList &items)
    : m_kind(ValueKind::List)
    , m_text(items.join(u','))
{}

ConditionValue ConditionValue::fromText(ValueKind kind, const QString &text)
{
    ConditionValue value(text);
    value.m_kind =
        kind == ValueKind::Date && RelativeDate::read(text) ? ValueKind::RelativeDate : kind;
    return value;
}

double ConditionValue::number() const
{
    return Numbers::leadingNumber(m_text);
}

QDate ConditionValue::date() const
{
    return QDate::fromString(m_text, Qt::ISODate);
}

QStringList ConditionValue::list() const
{
    return m_text.split(u',');
}

} // namespace NxSerialFilter
