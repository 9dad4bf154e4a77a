// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace NxSerialFilter {

class KeyedValues;
class ValueList;
class DescriptionGroup;
/// Shared ownership: the host and the component hold the same collection.
using KeyedValuesPtr = std::shared_ptr<KeyedValues>;
/// Shared ownership of a list of values.
using ValueListPtr = std::shared_ptr<ValueList>;
/// Shared ownership of a description group ("Header" or "Entry").
using DescriptionGroupPtr = std::shared_ptr<DescriptionGroup>;

/// A host's keyed value collection: text key to a value of any type. Keys match without
/// regard to letter case; the order in which keys were first set is kept.
class NXSF_CORE_EXPORT KeyedValues : public std::enable_shared_from_this<KeyedValues>
{
public:
    /// A new, empty collection; the only way to make one.
    static KeyedValuesPtr create() { return KeyedValuesPtr(new KeyedValues); }

    /// The value stored under key; a null variant when there is none.
    QVariant get(const QString &key) const { return GetWithDefault(key); }
    /// Same as get(key).
    QVariant operator[](const QString &key) const { return get(key); }
    /// Stores value under key; a key set before keeps its first spelling and place.
    void set(const QString &key, const QVariant &value);
    /// True when key was set, even to a null value.
    bool contains(const QString &key) const;
    /// The value stored under key; defaultValue when key was never set.
    QVariant GetWithDefault(const QString &key, const QVariant &defaultValue = {}) const;
    /// The values that describe a serial class; a description is its own view.
    KeyedValuesPtr DescriptionValues() { return shared_from_this(); }
    /// The keys as first spelled, in the order they were first set.
    QStringList keys() const { return m_keys; }
    /// The number of keys.
    qsizetype count() const { return m_keys.size(); }

private:
    KeyedValues() = default;
    QStringList m_keys;                // original spelling, in first-set order
    QHash<QString, QVariant> m_values; // by folded key
};

/// An ordered list whose items are numbered from 1.
class NXSF_CORE_EXPORT ValueList
{
public:
    /// A new list holding items as 1 to n.
    static ValueListPtr create(QList<QVariant> items = {})
    {
        return ValueListPtr(new ValueList(std::move(items)));
    }
    /// The number of items.
    qsizetype count() const { return m_items.size(); }
    /// Item i, 1 <= i <= count; throws FilterError for any other index.
    QVariant item(qsizetype i) const;
    /// Adds value as item count() + 1.
    void append(const QVariant &value) { m_items.append(value); }

private:
    explicit ValueList(QList<QVariant> items)
        : m_items(std::move(items))
    {}
    QList<QVariant> m_items;
};

/// A group of field descriptors (the Header or Entry of a serial description). Its indexes
/// lie above the lowest 32-bit integer and below the highest, so that LBound - 1 (an empty
/// group's UBound) and UBound + 1 (where a walk stops) are integers too.
class NXSF_CORE_EXPORT DescriptionGroup
{
public:
    /// Throws FilterError when the items do not fit between those limits.
    static DescriptionGroupPtr create(QList<KeyedValuesPtr> items = {}, int lowerBound = 0);
    /// The lowest index (0 for "Header" and "Entry" read from JSON).
    int LBound() const { return m_lowerBound; }
    /// The highest index; LBound() - 1 when the group is empty.
    int UBound() const { return int(m_lowerBound + m_items.size() - 1); }
    /// The descriptor at index i; throws FilterError outside LBound..UBound.
    KeyedValuesPtr Item(int i) const;
    /// Throws FilterError when the group is full.
    void append(KeyedValuesPtr item);

private:
    DescriptionGroup(QList<KeyedValuesPtr> items, int lowerBound)
        : m_items(std::move(items))
        , m_lowerBound(lowerBound)
    {}
    QList<KeyedValuesPtr> m_items;
    int m_lowerBound;
};

/// Reading the host's values as the component does.
namespace Values {
/// Text of a plain value, as the host's library converts it; objects cannot be text.
NXSF_CORE_EXPORT QString toText(const QVariant &value);
/// True for a true value, a non-zero number or a text that reads as one; false otherwise.
NXSF_CORE_EXPORT bool toBool(const QVariant &value);
/// The value as an object of the expected kind; throws FilterError naming `what` otherwise.
NXSF_CORE_EXPORT KeyedValuesPtr toKeyedValues(const QVariant &value, const QString &what);
/// The value as a list; throws FilterError naming `what` otherwise.
NXSF_CORE_EXPORT ValueListPtr toValueList(const QVariant &value, const QString &what);
/// The value as a description group; throws FilterError naming `what` otherwise.
NXSF_CORE_EXPORT DescriptionGroupPtr toGroup(const QVariant &value, const QString &what);
/// True when the value holds a collection, a list or a group rather than a plain value.
NXSF_CORE_EXPORT bool isObject(const QVariant &value);
} // namespace Values

} // namespace NxSerialFilter

Q_DECLARE_METATYPE(NxSerialFilter::KeyedValuesPtr)
Q_DECLARE_METATYPE(NxSerialFilter::ValueListPtr)
Q_DECLARE_METATYPE(NxSerialFilter::DescriptionGroupPtr)
