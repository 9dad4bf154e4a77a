// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/keyedvalues.h>

#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

#include <QLocale>

#include <limits>

namespace NxSerialFilter {

namespace {
QString fold(const QString &key)
{
    return key.toCaseFolded();
}

/// Whether indexes lowerBound .. lowerBound + count - 1 fit with room on both sides.
void checkGroupRange(int lowerBound, qsizetype count)
{
    constexpr qint64 highest = std::numeric_limits<int>::max();
    if (lowerBound == std::numeric_limits<int>::min() || qint64(lowerBound) + count > highest)
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("DescriptionGroup"),
                          Texts::indexOutOfRange() + QString::number(qint64(lowerBound) + count));
}
} // namespace

void KeyedValues::set(const QString &key, const QVariant &value)
{
    const QString folded = fold(key);
    if (!m_values.contains(folded))
        m_keys.append(key);
    m_values.insert(folded, value);
}

bool KeyedValues::contains(const QString &key) const
{
    return m_values.contains(fold(key));
}

QVariant KeyedValues::GetWithDefault(const QString &key, const QVariant &defaultValue) const
{
    const auto it = m_values.constFind(fold(key));
    return it == m_values.constEnd() ? defaultValue : *it;
}

QVariant ValueList::item(qsizetype i) const
{
    if (i < 1 || i > m_items.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("ValueList"),
                          Texts::indexOutOfRange() + QString::number(i));
    return m_items.at(i - 1);
}

DescriptionGroupPtr DescriptionGroup::create(QList<KeyedValuesPtr> items, int lowerBound)
{
    checkGroupRange(lowerBound, items.size());
    return DescriptionGroupPtr(new DescriptionGroup(std::move(items), lowerBound));
}

void DescriptionGroup::append(KeyedValuesPtr item)
{
    checkGroupRange(m_lowerBound, m_items.size() + 1);
    m_items.append(std::move(item));
}

KeyedValuesPtr DescriptionGroup::Item(int i) const
{
    const qsizetype at = qsizetype(i) - m_lowerBound;
    if (at < 0 || at >= m_items.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("DescriptionGroup"),
                          Texts::indexOutOfRange() + QString::number(i));
    if (!m_items.at(at))
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("DescriptionGroup"),
                          Texts::objectNotSet() + QString::number(i));
    return m_items.at(at);
}

namespace Values {

bool isObject(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<KeyedValuesPtr>() ||
           value.metaType() == QMetaType::fromType<ValueListPtr>() ||
           value.metaType() == QMetaType::fromType<DescriptionGroupPtr>();
}

QString toText(const QVariant &value)
{
    if (isObject(value))
        throw FilterError(ErrorNumber::TypeMismatch, QStringLiteral("Values"), Texts::notText());
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value.toString();
}

bool toBool(const QVariant &value)
{
    if (isObject(value))
        return false;
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok && number != 0;
    }
    return value.toBool();
}

KeyedValuesPtr toKeyedValues(const QVariant &value, const QString &what)
{
    if (value.metaType() == QMetaType::fromType<KeyedValuesPtr>()) {
        if (auto object = value.value<KeyedValuesPtr>())
            return object;
    }
    throw FilterError(ErrorNumber::ObjectNotSet, what, Texts::objectNotSet() + what);
}

ValueListPtr toValueList(const QVariant &value, const QString &what)
{
    if (value.metaType() == QMetaType::fromType<ValueListPtr>()) {
        if (auto object = value.value<ValueListPtr>())
            return object;
    }
    throw FilterError(ErrorNumber::ObjectNotSet, what, Texts::objectNotSet() + what);
}

DescriptionGroupPtr toGroup(const QVariant &value, const QString &what)
{
    if (value.metaType() == QMetaType::fromType<DescriptionGroupPtr>()) {
        if (auto object = value.value<DescriptionGroupPtr>())
            return object;
    }
    throw FilterError(ErrorNumber::ObjectNotSet, what, Texts::objectNotSet() + what);
}

} // namespace Values
} // namespace NxSerialFilter
