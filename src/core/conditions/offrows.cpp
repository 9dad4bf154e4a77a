// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/offrows.h"

namespace NxSerialFilter::RunFacts {

namespace {

QString offKey()
{
    return QStringLiteral("off");
}

QString askKey()
{
    return QStringLiteral("ask");
}

void setFlag(RowFacts &facts, const QString &key, bool on)
{
    // A fact kept as stored stays in its place, so that a text round-trips byte for byte; a
    // value this build does not write ("off=0") is kept as any unknown piece is.
    const bool stored = facts.value(key) == u"1";
    if (!on && stored)
        facts.remove(key);
    else if (on && !stored)
        facts.set(key, QStringLiteral("1"));
}

} // namespace

bool off(const RowFacts &facts)
{
    return facts.value(offKey()) == u"1";
}

bool asks(const RowFacts &facts)
{
    return facts.value(askKey()) == u"1";
}

void write(RowFacts &facts, const ConditionRow &row)
{
    setFlag(facts, offKey(), row.off);
    setFlag(facts, askKey(), row.value.kind() == ValueKind::Asked);
}

void setOff(ConditionRow &row, bool off)
{
    row.off = off;
    RowFacts facts = RowFacts::read(row.code);
    write(facts, row);
    row.code = facts.text();
}

void setQuestion(ConditionRow &row, const QString &question, ValueKind kind)
{
    row.value = question.isNull() ? ConditionValue::fromText(kind, QString())
                                  : ConditionValue::fromText(ValueKind::Asked, question);
    RowFacts facts = RowFacts::read(row.code);
    write(facts, row);
    row.code = facts.text();
}

} // namespace NxSerialFilter::RunFacts
