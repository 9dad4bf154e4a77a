// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "demoschema.h"

#include "filter/descriptionjson.h"

#include <QJsonArray>

namespace NxSerialFilter::Demo {

QList<SerialField> serialFields()
{
    const QString integer = QStringLiteral("INTEGER");
    const QString text = QStringLiteral("TEXT");
    const QString real = QStringLiteral("REAL");
    // Hidden on purpose: FCREATEDATE (predefined), FSTATUS and FVALID, FSERIALID at both levels.
    return {
        {1, QStringLiteral("FSERIALNUM"), QStringLiteral("序列号"), 1, 1, 0, 0, false, text},
        {2, QStringLiteral("FITEMID"), QStringLiteral("物料"), 0, 2, 0, materialClass, false,
         integer},
        {3, QStringLiteral("FSTOCKID"), QStringLiteral("仓库"), 0, 2, 0, warehouseClass, false,
         integer},
        {4, QStringLiteral("FGRADE"), QStringLiteral("等级"), 0, 3, 0, gradeType, false, integer},
        {5, QStringLiteral("FINDATE"), QStringLiteral("入库日期"), 0, 4, 0, 0, false, text},
        {6, QStringLiteral("FBILLNO"), QStringLiteral("单据编号"), 0, -10, 1, 0, false, text},
        {7, QStringLiteral("FBILLINTERID"), QStringLiteral("单据内码"), 0, -10, 0, 0, false,
         integer},
        {8, QStringLiteral("FCREATEDATE"), QStringLiteral("建档日期"), 1, 4, 0, 0, false, text},
        {9, QStringLiteral("FSTATUS"), QStringLiteral("状态"), 0, 0, 0, 0, false, integer},
        {10, QStringLiteral("FVALID"), QStringLiteral("有效"), 0, 0, 0, 0, false, integer},
        {11, QStringLiteral("FSERIALID"), QStringLiteral("序列号内码"), 1, 0, 0, 0, false, integer},
        {101, QStringLiteral("FSERIALID"), QStringLiteral("序列号内码"), 1, 0, 0, 0, true, integer},
        {102, QStringLiteral("FQTY"), QStringLiteral("数量"), 0, 0, 0, 0, true, real},
        {103, QStringLiteral("FCOLOR"), QStringLiteral("颜色"), 0, 3, 0, colourType, true, integer},
        {104, QStringLiteral("FWARRANTY"), QStringLiteral("保修截止"), 0, 4, 0, 0, true, text},
        {105, QStringLiteral("FNOTE"), QStringLiteral("备注"), 0, 1, 0, 0, true, text},
        {106, QStringLiteral("FBATCHNO"), QStringLiteral("批号"), 1, 1, 0, 0, true, text},
    };
}

QList<ItemField> itemFields()
{
    return {
        {QStringLiteral("代码"), 200, QStringLiteral("t1.FNumber"), materialClass, false},
        {QStringLiteral("名称"), 200, QStringLiteral("t1.FName"), materialClass, true},
        {QStringLiteral("全名"), 200, QStringLiteral("t1.FFullName"), 0, true},
        {QStringLiteral("规格型号"), 129, QStringLiteral("t1.FModel"), 0, true},
        {QStringLiteral("类别"), 3, QStringLiteral("t1.FItemClassID"), -1000, true},
        {QStringLiteral("单价"), 5, QStringLiteral("t1.FPrice"), 0, true},
        {QStringLiteral("安全库存"), 3, QStringLiteral("t1.FSafeQty"), 0, true},
    };
}

QString itemScreenId()
{
    return QStringLiteral("ItemList");
}

QJsonObject serialDescriptionJson()
{
    QJsonArray header;
    QJsonArray entry;
    for (const SerialField &f : serialFields()) {
        const QJsonObject d{{QStringLiteral("FPropID"), f.propId},
                            {QStringLiteral("FSQLColumnName"), f.column},
                            {QStringLiteral("FPropname"), f.caption},
                            {QStringLiteral("FPreDefine"), f.preDefine},
                            {QStringLiteral("FDataType"), f.dataType},
                            {QStringLiteral("FSysDataType"), f.sysDataType},
                            {QStringLiteral("FLookUpClsID"), f.lookupClass}};
        (f.entry ? entry : header).append(d);
    }
    return {{QStringLiteral("SerialUse"), true},
            {QStringLiteral("SerialclassID"), serialClassId},
            {QStringLiteral("Header"), header},
            {QStringLiteral("Entry"), entry}};
}

QJsonObject itemDescriptionJson()
{
    QJsonArray fields;
    for (const ItemField &f : itemFields()) {
        fields.append(QJsonObject{
            {QStringLiteral("Caption"), f.caption},
            {QStringLiteral("DataType"), f.dataType},
            {QStringLiteral("ColumnName"), f.columnName},
            {QStringLiteral("ItemClass"), f.itemClass},
            {QStringLiteral("Detail"), false},
            {QStringLiteral("IsName"), f.isName},
            {QStringLiteral("Filter"), QJsonObject{{QStringLiteral("Lookup"), false}}}});
    }
    return {{QStringLiteral("SerialUse"), false},
            {QStringLiteral("ScreenID"), itemScreenId()},
            {QStringLiteral("Fields"), fields}};
}

KeyedValuesPtr serialDescription()
{
    return DescriptionJson::read(serialDescriptionJson());
}

KeyedValuesPtr itemDescription()
{
    return DescriptionJson::read(itemDescriptionJson());
}

QString whereClause(const QString &filterSql)
{
    if (filterSql.trimmed().isEmpty())
        return {};
    return QStringLiteral(" WHERE ") + filterSql;
}

QString HostQuery::selectSql(const QString &filterSql) const
{
    QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM ") + from + whereClause(filterSql);
    if (!orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + orderBy;
    return sql;
}

QString HostQuery::countSql(const QString &filterSql) const
{
    return QStringLiteral("SELECT COUNT(*) FROM ") + from + whereClause(filterSql);
}

QJsonObject HostQuery::toJson() const
{
    return {{QStringLiteral("columns"), QJsonArray::fromStringList(columns)},
            {QStringLiteral("captions"), QJsonArray::fromStringList(captions)},
            {QStringLiteral("from"), from},
            {QStringLiteral("orderBy"), orderBy}};
}

HostQuery serialQuery()
{
    HostQuery q;
    q.from = QStringLiteral("v_SerialRecord tf");
    q.orderBy = QStringLiteral("tf.FSERIALID");
    for (const SerialField &f : serialFields()) {
        if (f.column == QLatin1String("FSERIALID") || f.column == QLatin1String("FVALID"))
            continue;
        const QString alias = QStringLiteral("t_") + f.column;
        if (f.dataType == 2 || f.dataType == 3) {
            // The component names a look-up field's table t_<column> and reads its FName.
            const bool item = f.dataType == 2;
            q.from +=
                QStringLiteral(" LEFT JOIN ") +
                (item ? QStringLiteral("t_Item ") : QStringLiteral("t_SubMessage ")) + alias +
                QStringLiteral(" ON ") + alias +
                (item ? QStringLiteral(".FItemID = tf.") : QStringLiteral(".FInterID = tf.")) +
                f.column;
            q.columns << alias + QStringLiteral(".FName");
        } else {
            q.columns << QStringLiteral("tf.") + f.column;
        }
        q.captions << f.caption;
    }
    return q;
}

HostQuery itemQuery()
{
    HostQuery q;
    q.from = QStringLiteral("t_Item t1");
    q.orderBy = QStringLiteral("t1.FItemClassID, t1.FNumber");
    for (const ItemField &f : itemFields()) {
        q.columns << f.columnName;
        q.captions << f.caption;
    }
    return q;
}

} // namespace NxSerialFilter::Demo
