// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/fields/fieldcatalogdata.h"

#include "core/fields/columnexpression.h"
#include "core/text/texts.h"
#include "core/text/leadingnumber.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>

#include <cmath>

namespace NxSerialFilter {

namespace {

using Reason = ComposeFailure::Reason;

QString text(const KeyedValuesPtr &record, const QString &key)
{
    return Values::toText(record->get(key));
}

qint32 intValue(const KeyedValuesPtr &record, const QString &key)
{
    return Numbers::leadingInt(text(record, key));
}

/// A value the field cannot do without: a listed field with no identifier or no column
/// would lead to another field's descriptor or to a condition on no column.
QString requiredText(const KeyedValuesPtr &record, const QString &key)
{
    const QVariant value = record->get(key);
    if (value.isNull())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, key, Texts::indexOutOfRange() + key);
    return Values::toText(value);
}

/// -0 and 0 are one number; NaN equals none.
double numberKey(double n)
{
    return n == 0 ? 0.0 : n;
}

ComposeFailure problem(Reason reason, QStringList arguments = {})
{
    return {0, reason, std::move(arguments)};
}

/// A failure of the host's objects while a field is read: reported when a row uses the field,
/// as it was when the field was read then.
ComposeFailure readFailure()
{
    try {
        throw;
    } catch (const FilterError &e) {
        return problem(Reason::BadDescription,
                       {QString::number(e.number()), e.description(), e.source()});
    } catch (const std::exception &) {
        return problem(Reason::BadDescription,
                       {QString::number(ErrorNumber::Unexpected),
                        describeFailure(std::current_exception()), QString()});
    }
}

DescriptionGroupPtr group(const KeyedValuesPtr &description, const QString &name)
{
    if (!description)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("SerialDesc"),
                          Texts::objectNotSet() + QStringLiteral("SerialDesc"));
    return Values::toGroup(description->get(name), name);
}

const QString groups[] = {QStringLiteral("Header"), QStringLiteral("Entry")};

/// Reads the record a serial position leads to.
void readSerial(CatalogEntry &e, const KeyedValuesPtr &d, const QHash<double, bool> &lookUps)
{
    e.descriptor = d;
    // A blank column would give "tf." alone: a condition that fails only in the host's query.
    const QString name = d ? trimSpaces(text(d, QStringLiteral("FSQLColumnName"))) : QString();
    e.columnName = name;
    if (name.isEmpty()) {
        e.problem = problem(Reason::UnknownField, {e.identifier});
        return;
    }
    e.hasLookUp = lookUps.value(numberKey(Numbers::leadingNumber(e.identifier)));
    e.dataType = intValue(d, QStringLiteral("FDataType"));
    const qint32 sysType = intValue(d, QStringLiteral("FSysDatatype"));
    // The name follows "tf.": one column, qualified at most once. A look-up field's name is
    // also part of the alias "t_<name>", where only a plain name makes one.
    const ColumnExpression expr = ColumnExpression::read(name);
    const bool lookUp = e.dataType == 2 || e.dataType == 3;
    if (!expr.safe || expr.parts < 1 || expr.parts > 2 ||
        (lookUp && (expr.parts != 1 || !expr.plain))) {
        e.problem = problem(Reason::ColumnRefused, {name});
        return;
    }
    e.nesting = expr.nesting;
    e.column = QStringLiteral("tf.") + name;
    e.postgresColumn =
        expr.brackets ? QStringLiteral("tf.") + ColumnExpression::doubleQuoted(name) : e.column;
    switch (e.dataType) {
    case 0:
        e.kind = ValueKind::Number;
        break;
    case 1:
        e.kind = ValueKind::Text;
        e.textColumn = true;
        break;
    case 4: // dates are written as texts
        e.kind = ValueKind::Date;
        break;
    case 2:
    case 3:
        e.kind = ValueKind::LookUp;
        e.textColumn = true;
        e.column = QStringLiteral("t_") + name + QStringLiteral(".FName");
        e.postgresColumn = e.column; // a plain name
        break;
    case -10:
        e.kind = sysType == 0 ? ValueKind::Number : ValueKind::Text;
        e.textColumn = sysType != 0;
        break;
    default:
        e.problem = problem(Reason::BadDataType, {QString::number(e.dataType)});
    }
    try {
        e.lookUpClass = intValue(d, QStringLiteral("FLookUpClsID"));
    } catch (const std::exception &) {
        // The class only matters to the look-up window, which reads the record itself.
    }
}

void readCommon(CatalogEntry &e, const KeyedValuesPtr &item)
{
    e.descriptor = item;
    e.caption = wellFormedCell(text(item, QStringLiteral("Caption")));
    try {
        e.dataType = intValue(item, QStringLiteral("DataType"));
        e.columnName = text(item, QStringLiteral("ColumnName"));
        e.identifier = trimSpaces(e.columnName);
        e.column = e.columnName;
        const qint32 cls = intValue(item, QStringLiteral("ItemClass"));
        e.lookUpClass = cls;
        e.hasLookUp = cls != 0 && cls != -1000;
        const bool characters = e.dataType == 200 || e.dataType == 129;
        e.kind = characters ? ValueKind::Text : ValueKind::Number;
        e.textColumn = characters;
        const ColumnExpression expr = ColumnExpression::read(e.identifier);
        e.nesting = expr.nesting;
        e.postgresColumn = expr.brackets ? ColumnExpression::doubleQuoted(e.column) : e.column;
        if (e.identifier.isEmpty()) // the condition would compare nothing with the value
            e.problem = problem(Reason::NoCommonField);
        else if (!expr.safe)
            e.problem = problem(Reason::ColumnRefused, {e.identifier});
    } catch (const std::exception &) {
        e.problem = readFailure();
    }
}

CatalogEntry noField(bool serialUse)
{
    CatalogEntry e;
    e.caption = Texts::noField();
    e.problem = problem(serialUse ? Reason::UnknownField : Reason::NoCommonField);
    return e;
}

KeyedValuesPtr findIn(const FieldCatalog::Data &d, const QString &identifier)
{
    if (const auto exact = d.byText.constFind(identifier); exact != d.byText.constEnd())
        return *exact;
    return d.byNumber.value(numberKey(Numbers::leadingNumber(identifier)));
}

QString serialScreen(const KeyedValuesPtr &description)
{
    return QStringLiteral("Serial_") +
           Values::toText(description->GetWithDefault(QStringLiteral("SerialclassID")));
}

} // namespace

FieldCatalog FieldCatalogBuild::serial(const KeyedValuesPtr &description, QStringList &ids)
{
    auto data = std::make_shared<FieldCatalog::Data>();
    data->serialUse = true;
    if (!description)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("SerialDesc"),
                          Texts::objectNotSet() + QStringLiteral("SerialDesc"));
    data->screenId = serialScreen(description);
    data->entries.append(noField(true));
    ids.append(QString());
    for (const QString &name : groups) {
        const bool header = name == groups[0];
        const DescriptionGroupPtr fields = group(description, name);
        for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
            const KeyedValuesPtr d = fields->Item(i);
            const QString column = requiredText(d, QStringLiteral("FSQLColumnName")).toUpper();
            const bool system = column == QLatin1String("FSTATUS") ||
                                column == QLatin1String("FVALID") ||
                                (!header && column == QLatin1String("FSERIALID"));
            const bool listed =
                !system && (!header || column == QLatin1String("FSERIALNUM") ||
                            Numbers::leadingNumber(text(d, QStringLiteral("FPreDefine"))) == 0);
            if (!listed)
                continue;
            CatalogEntry e;
            e.identifier = requiredText(d, QStringLiteral("FPropID"));
            ids.append(e.identifier);
            e.caption = wellFormedCell(text(d, QStringLiteral("FPropname")));
            data->entries.append(e);
        }
    }
    // Every record by its FPropID, the first of each text and leading number winning, and
    // which leading numbers have a look-up record among them.
    QHash<double, bool> lookUps;
    for (const QString &name : groups) {
        const DescriptionGroupPtr fields = group(description, name);
        for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
            const KeyedValuesPtr d = fields->Item(i);
            const QString id = text(d, QStringLiteral("FPropID"));
            if (!data->byText.contains(id))
                data->byText.insert(id, d);
            const double n = Numbers::leadingNumber(id);
            if (std::isnan(n))
                continue;
            if (!data->byNumber.contains(numberKey(n)))
                data->byNumber.insert(numberKey(n), d);
            try {
                const qint32 t = intValue(d, QStringLiteral("FDataType"));
                if (t == 2 || t == 3)
                    lookUps.insert(numberKey(n), true);
            } catch (const std::exception &) {
                // A record that cannot be typed offers no look-up.
            }
        }
    }
    for (qsizetype k = 1; k < data->entries.size(); ++k) {
        CatalogEntry &e = data->entries[k];
        try {
            readSerial(e, findIn(*data, e.identifier), lookUps);
        } catch (const std::exception &) {
            e.problem = readFailure();
        }
    }
    return FieldCatalog(std::move(data));
}

FieldCatalog::FieldCatalog()
    : d(std::make_shared<Data>())
{
    const_cast<Data *>(d.get())->entries.append(noField(false));
}

FieldCatalog FieldCatalog::fromSerialDescription(const KeyedValuesPtr &serialDescription)
{
    QStringList ids;
    return FieldCatalogBuild::serial(serialDescription, ids);
}

FieldCatalog FieldCatalog::fromCommonFields(const KeyedValuesPtr &commonFields,
                                            const QString &screenId)
{
    auto data = std::make_shared<Data>();
    if (!commonFields)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("CommonField"),
                          Texts::objectNotSet() + QStringLiteral("CommonField"));
    data->screenId = !screenId.isNull()
                         ? screenId
                         : Values::toText(commonFields->GetWithDefault(QStringLiteral("ScreenID")));
    data->entries.append(noField(false));
    const ValueListPtr fields =
        Values::toValueList(commonFields->get(QStringLiteral("Fields")), QStringLiteral("Fields"));
    for (qsizetype i = 1; i <= fields->count(); ++i) {
        // Only the caption must be read: one field without a column must not cost the user
        // every other field; a condition on it is refused when the condition is composed.
        CatalogEntry e;
        readCommon(e, Values::toKeyedValues(fields->item(i), QStringLiteral("Fields")));
        data->entries.append(e);
    }
    return FieldCatalog(std::move(data));
}

bool FieldCatalog::serialUse() const
{
    return d->serialUse;
}

QString FieldCatalog::screenId() const
{
    return d->screenId;
}

int FieldCatalog::count() const
{
    return int(d->entries.size());
}

static const CatalogEntry *entryAt(const FieldCatalog::Data &d, int k)
{
    return k >= 0 && k < d.entries.size() ? &d.entries.at(k) : nullptr;
}

QString FieldCatalog::caption(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->caption : QString();
}

QString FieldCatalog::identifier(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->identifier : QString();
}

QString FieldCatalog::column(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e && !e->problem ? e->column : QString();
}

ValueKind FieldCatalog::valueKind(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->kind : ValueKind::Text;
}

int FieldCatalog::dataType(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->dataType : 0;
}

int FieldCatalog::lookUpClass(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->lookUpClass : 0;
}

bool FieldCatalog::hasLookUp(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e && k > 0 && e->hasLookUp;
}

KeyedValuesPtr FieldCatalog::descriptor(int k) const
{
    const CatalogEntry *e = entryAt(*d, k);
    return e ? e->descriptor : nullptr;
}

int FieldCatalog::indexOfCaption(const QString &caption) const
{
    if (caption.isEmpty()) // an empty text is no choice, even for a field without a caption
        return -1;
    for (qsizetype k = 1; k < d->entries.size(); ++k) {
        if (d->entries.at(k).caption == caption)
            return int(k);
    }
    return -1;
}

int FieldCatalog::indexOfColumn(QStringView name) const
{
    for (qsizetype k = 1; k < d->entries.size(); ++k) {
        QStringView column = QStringView(d->entries.at(k).columnName).trimmed();
        if (!d->serialUse) {
            if (const qsizetype dot = column.lastIndexOf(u'.'); dot >= 0)
                column = column.sliced(dot + 1);
        }
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return int(k);
    }
    return -1;
}

KeyedValuesPtr FieldCatalog::findIdentifier(const QString &identifier) const
{
    return findIn(*d, identifier);
}

bool operator==(const FieldCatalog &a, const FieldCatalog &b)
{
    if (a.d == b.d)
        return true;
    if (a.d->serialUse != b.d->serialUse || a.d->screenId != b.d->screenId ||
        a.d->entries.size() != b.d->entries.size())
        return false;
    for (qsizetype k = 0; k < a.d->entries.size(); ++k) {
        const CatalogEntry &x = a.d->entries.at(k);
        const CatalogEntry &y = b.d->entries.at(k);
        if (x.caption != y.caption || x.identifier != y.identifier || x.column != y.column ||
            x.kind != y.kind || x.dataType != y.dataType || x.lookUpClass != y.lookUpClass ||
            x.problem != y.problem)
            return false;
    }
    return true;
}

} // namespace NxSerialFilter
