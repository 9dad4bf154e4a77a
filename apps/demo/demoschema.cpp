// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "demoschema.h"

#include "demotexts.h"
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/language.h>

#include <QJsonArray>

namespace NxSerialFilter::Demo {

QList<SerialField> serialFields()
{
    const QString integer = QStringLiteral("INTEGER");
    const QString text = QStringLiteral("TEXT");
    const QString real = QStringLiteral("REAL");
    // Hidden on purpose: FCREATEDATE (predefined), FSTATUS and FVALID, FSERIALID at both levels.
    return {
        {1, QStringLiteral("FSERIALNUM"), Texts::fieldSerialNumber(), 1, 1, 0, 0, false, text},
        {2, QStringLiteral("FITEMID"), Texts::fieldItem(), 0, 2, 0, materialClass, false, integer},
        {3, QStringLiteral("FSTOCKID"), Texts::fieldWarehouse(), 0, 2, 0, warehouseClass, false,
         integer},
        {4, QStringLiteral("FGRADE"), Texts::fieldGrade(), 0, 3, 0, gradeType, false, integer},
        {5, QStringLiteral("FINDATE"), Texts::fieldInDate(), 0, 4, 0, 0, false, text},
        {6, QStringLiteral("FBILLNO"), Texts::fieldBillNumber(), 0, -10, 1, 0, false, text},
        {7, QStringLiteral("FBILLINTERID"), Texts::fieldBillId(), 0, -10, 0, 0, false, integer},
        {8, QStringLiteral("FCREATEDATE"), Texts::fieldCreateDate(), 1, 4, 0, 0, false, text},
        {9, QStringLiteral("FSTATUS"), Texts::fieldStatus(), 0, 0, 0, 0, false, integer},
        {10, QStringLiteral("FVALID"), Texts::fieldValid(), 0, 0, 0, 0, false, integer},
        {11, QStringLiteral("FSERIALID"), Texts::fieldSerialId(), 1, 0, 0, 0, false, integer},
        {101, QStringLiteral("FSERIALID"), Texts::fieldSerialId(), 1, 0, 0, 0, true, integer},
        {102, QStringLiteral("FQTY"), Texts::fieldQuantity(), 0, 0, 0, 0, true, real},
        {103, QStringLiteral("FCOLOR"), Texts::fieldColour(), 0, 3, 0, colourType, true, integer},
        {104, QStringLiteral("FWARRANTY"), Texts::fieldWarranty(), 0, 4, 0, 0, true, text},
        {105, QStringLiteral("FNOTE"), Texts::fieldNote(), 0, 1, 0, 0, true, text},
        {106, QStringLiteral("FBATCHNO"), Texts::fieldBatch(), 1, 1, 0, 0, true, text},
    };
}

QList<ItemField> itemFields()
{
    return {
        {Texts::lookupNumber(), 200, QStringLiteral("t1.FNumber"), materialClass, false},
        {Texts::lookupName(), 200, QStringLiteral("t1.FName"), materialClass, true},
        {Texts::lookupFullName(), 200, QStringLiteral("t1.FFullName"), 0, true},
        {Texts::fieldModel(), 129, QStringLiteral("t1.FModel"), 0, true},
        {Texts::fieldClass(), 3, QStringLiteral("t1.FItemClassID"), -1000, true},
        {Texts::fieldPrice(), 5, QStringLiteral("t1.FPrice"), 0, true},
        {Texts::fieldSafetyStock(), 3, QStringLiteral("t1.FSafeQty"), 0, true},
    };
}

QString itemScreenId()
{
    return QStringLiteral("ItemList");
}

namespace {

QString caption(const QString &key, bool localized)
{
    return localized ? Language::text(key) : key;
}

} // namespace

QJsonObject serialDescriptionJson(bool localized)
{
    QJsonArray header;
    QJsonArray entry;
    for (const SerialField &f : serialFields()) {
        const QJsonObject d{{QStringLiteral("FPropID"), f.propId},
                            {QStringLiteral("FSQLColumnName"), f.column},
                            {QStringLiteral("FPropname"), caption(f.caption, localized)},
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

QJsonObject itemDescriptionJson(bool localized)
{
    QJsonArray fields;
    for (const ItemField &f : itemFields()) {
        fields.append(QJsonObject{
            {QStringLiteral("Caption"), caption(f.caption, localized)},
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
    return DescriptionJson::read(serialDescriptionJson(true));
}

KeyedValuesPtr itemDescription()
{
    return DescriptionJson::read(itemDescriptionJson(true));
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
