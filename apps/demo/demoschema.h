// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>

#include <QJsonObject>
#include <QList>
#include <QString>

// What the demo host knows about its own database: the fields it lets users filter, how they
// map onto tables, and the queries of its two screens. One table drives the schema, the
// descriptions handed to Filter and the host's queries, so they cannot drift apart.
namespace NxSerialFilter::Demo {

/// One field of the serial-number records as the host describes it to the component.
struct SerialField
{
    int propId;
    QString column;  // FSQLColumnName; also the column of v_SerialRecord
    QString caption; // FPropname
    int preDefine;
    int dataType;
    int sysDataType;
    int lookupClass;
    bool entry; // entry level (t_SerialEntry) rather than header level
    QString sqlType;
};

/// One field of the items screen (common mode).
struct ItemField
{
    QString caption;
    int dataType;
    QString columnName;
    int itemClass;
    bool isName;
};

constexpr int serialClassId = 12;
constexpr int materialClass = 4;
constexpr int warehouseClass = 5;
constexpr int colourType = 20;
constexpr int gradeType = 21;

QList<SerialField> serialFields();
QList<ItemField> itemFields();

/// {"SerialUse": true, "SerialclassID", "Header", "Entry"} as DescriptionJson reads it; the
/// captions are the Chinese keys unless localized, then in the current language.
QJsonObject serialDescriptionJson(bool localized = false);
/// {"SerialUse": false, "ScreenID", "Fields"}.
QJsonObject itemDescriptionJson(bool localized = false);
/// The descriptions handed to Filter: their captions in the current language, as the host's
/// own labels are.
KeyedValuesPtr serialDescription();
KeyedValuesPtr itemDescription();
/// The screen identifier under which the items screen keeps its schemes.
QString itemScreenId();

/// A host query: the condition from FilterSQL goes after WHERE, nothing else changes.
struct HostQuery
{
    QStringList columns; // select expressions
    QStringList captions;
    QString from;
    QString orderBy;

    QString selectSql(const QString &filterSql) const;
    QString countSql(const QString &filterSql) const;
    QJsonObject toJson() const;
};

/// The serial list: v_SerialRecord as tf, each look-up field joined as t_<column>.
HostQuery serialQuery();
/// The items list: t_Item as t1.
HostQuery itemQuery();

/// The WHERE part for a condition text; empty when the text is blank.
QString whereClause(const QString &filterSql);

} // namespace NxSerialFilter::Demo
