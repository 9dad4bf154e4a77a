// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "descriptions.h"

namespace NxSerialFilter::Testing {

KeyedValuesPtr serialField(int propId, const QString &column, const QString &name, int preDefine,
                           int dataType, int sysDataType, int lookupClass)
{
    KeyedValuesPtr d = KeyedValues::create();
    d->set(QStringLiteral("FPropID"), propId);
    d->set(QStringLiteral("FSQLColumnName"), column);
    d->set(QStringLiteral("FPropname"), name);
    d->set(QStringLiteral("FPreDefine"), preDefine);
    d->set(QStringLiteral("FDataType"), dataType);
    d->set(QStringLiteral("FSysDataType"), sysDataType);
    d->set(QStringLiteral("FLookUpClsID"), lookupClass);
    return d;
}

KeyedValuesPtr serialDescription(const QList<KeyedValuesPtr> &header,
                                 const QList<KeyedValuesPtr> &entry, const QVariant &serialClass)
{
    KeyedValuesPtr d = KeyedValues::create();
    d->set(QStringLiteral("Header"), QVariant::fromValue(DescriptionGroup::create(header, 0)));
    d->set(QStringLiteral("Entry"), QVariant::fromValue(DescriptionGroup::create(entry, 0)));
    d->set(QStringLiteral("SerialclassID"), serialClass);
    return d;
}

KeyedValuesPtr standardSerialDescription(const QString &dateCaption)
{
    return serialDescription(
        {serialField(1, QStringLiteral("FSERIALNUM"), QStringLiteral("序列号"), 1, 1),
         serialField(2, QStringLiteral("FITEM"), QStringLiteral("物料"), 0, 2, 0, 4),
         serialField(3, QStringLiteral("FQTY"), QStringLiteral("数量"), 0, 0),
         serialField(4, QStringLiteral("FDATE"), dateCaption, 0, 4)},
        {serialField(5, QStringLiteral("FSUB"), QStringLiteral("等级"), 1, 3, 0, 7),
         serialField(6, QStringLiteral("FSYSN"), QStringLiteral("系统数"), 1, -10, 0),
         serialField(7, QStringLiteral("FSYST"), QStringLiteral("系统文本"), 1, -10, 1)});
}

KeyedValuesPtr commonField(const QString &caption, int dataType, const QString &column,
                           int itemClass, bool detail, bool isName, bool filterLookup)
{
    KeyedValuesPtr f = KeyedValues::create();
    f->set(QStringLiteral("Caption"), caption);
    f->set(QStringLiteral("DataType"), dataType);
    f->set(QStringLiteral("ColumnName"), column);
    f->set(QStringLiteral("ItemClass"), itemClass);
    f->set(QStringLiteral("Detail"), detail);
    f->set(QStringLiteral("IsName"), isName);
    KeyedValuesPtr filter = KeyedValues::create();
    filter->set(QStringLiteral("Lookup"), filterLookup);
    f->set(QStringLiteral("Filter"), QVariant::fromValue(filter));
    return f;
}

KeyedValuesPtr commonValues(const QList<KeyedValuesPtr> &fields, const QString &screenId)
{
    QList<QVariant> items;
    for (const KeyedValuesPtr &f : fields)
        items.append(QVariant::fromValue(f));
    KeyedValuesPtr values = KeyedValues::create();
    values->set(QStringLiteral("Fields"), QVariant::fromValue(ValueList::create(items)));
    values->set(QStringLiteral("ScreenID"), screenId);
    return values;
}

KeyedValuesPtr standardCommonValues(const QString &screenId)
{
    return commonValues({commonField(QStringLiteral("数量"), 3, QStringLiteral("t1.FQty")),
                         commonField(QStringLiteral("名称"), 200, QStringLiteral("t1.FName")),
                         commonField(QStringLiteral("代码"), 129, QStringLiteral("t1.FCode")),
                         commonField(QStringLiteral("仓库"), 200, QStringLiteral("t1.FStock"), 5),
                         commonField(QStringLiteral("比率"), 5, QStringLiteral("t1.FRate"))},
                        screenId);
}

} // namespace NxSerialFilter::Testing
