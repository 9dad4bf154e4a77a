// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "fieldlist.h"

#include <cmath>

#include "conditions/conditiongrid.h"
#include "support/guard.h"
#include "support/leadingnumber.h"
#include "support/mparse.h"
#include "support/texts.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/nxalert.h>

namespace NxSerialFilter::FieldList {

namespace {

QString header()
{
    return QStringLiteral("Header");
}

QString entry()
{
    return QStringLiteral("Entry");
}

QString text(const KeyedValuesPtr &record, const QString &key)
{
    return Values::toText(record->get(key));
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

/// A host's caption as a list item: a TAB or line break in it would split the list and shift
/// every later field against its FieldIDs entry.
QString caption(const KeyedValuesPtr &record, const QString &key)
{
    return ConditionGrid::cellSafe(text(record, key));
}

void localizeColumn(ConditionGrid &grid, int col)
{
    grid.SelectBlock(-1, -1, col, col);
    QStringList items = grid.blockItems().split(u'\t');
    for (QString &item : items)
        item = MParse::LoadLangString2(item);
    grid.setBlockItems(items.join(u'\t'));
    grid.setBlockMode(false);
}

/// -0 and 0 are one number; NaN equals none.
double numberKey(double n)
{
    return n == 0 ? 0.0 : n;
}

/// Every descriptor of Header, then Entry, by its FPropID: the first of each text and of each
/// leading number, as a walk in that order would find them.
std::shared_ptr<const FieldIndex> indexFields(const FilterState &state)
{
    auto index = std::make_shared<FieldIndex>();
    for (const QString &name : {header(), entry()}) {
        const DescriptionGroupPtr fields = group(state, name);
        for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
            const KeyedValuesPtr d = fields->Item(i);
            const QString id = text(d, QStringLiteral("FPropID"));
            if (!index->byText.contains(id))
                index->byText.insert(id, d);
            const double n = Numbers::leadingNumber(id);
            if (!std::isnan(n) && !index->byNumber.contains(numberKey(n)))
                index->byNumber.insert(numberKey(n), d);
        }
    }
    return index;
}

template <class Listed>
void listGroup(FilterState &state, const DescriptionGroupPtr &fields, QString &list, Listed listed)
{
    for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
        const KeyedValuesPtr d = fields->Item(i);
        const QString column = requiredText(d, QStringLiteral("FSQLColumnName")).toUpper();
        if (!listed(column, d))
            continue;
        state.FieldIDs.append(requiredText(d, QStringLiteral("FPropID")));
        list += u'\t' + caption(d, QStringLiteral("FPropname"));
    }
}

} // namespace

DescriptionGroupPtr group(const FilterState &state, const QString &name)
{
    if (!state.SerialDesc)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("SerialDesc"),
                          Texts::objectNotSet() + QStringLiteral("SerialDesc"));
    return Values::toGroup(state.SerialDesc->get(name), name);
}

ValueListPtr commonFields(const FilterState &state)
{
    if (!state.CommonField)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("CommonField"),
                          Texts::objectNotSet() + QStringLiteral("CommonField"));
    return Values::toValueList(state.CommonField->get(QStringLiteral("Fields")),
                               QStringLiteral("Fields"));
}

KeyedValuesPtr commonField(const FilterState &state, int k)
{
    return Values::toKeyedValues(commonFields(state)->item(k), QStringLiteral("Fields"));
}

qint32 intValue(const KeyedValuesPtr &record, const QString &key)
{
    return Numbers::leadingInt(Values::toText(record->get(key)));
}

void SetFields(FilterState &state, ConditionGrid &grid)
{
    try {
        QString list = MParse::LoadLangString(Texts::noField());
        if (state.SerialUse) {
            if (!state.SerialDesc) {
                nxAlert::ShowAlert(MParse::LoadLangString(Texts::missingSerialDescription()),
                                   nxAlert::Information);
                return;
            }
            state.ScreenID =
                QStringLiteral("Serial_") +
                Values::toText(state.SerialDesc->GetWithDefault(QStringLiteral("SerialclassID")));
            state.FieldIDs = QStringList{QString()};
            state.SerialFields.reset();
            listGroup(state, group(state, header()), list,
                      [](const QString &column, const KeyedValuesPtr &d) {
                          const bool serialOrUser = column == QLatin1String("FSERIALNUM") ||
                                                    Numbers::leadingNumber(Values::toText(
                                                        d->get(QStringLiteral("FPreDefine")))) == 0;
                          return serialOrUser && column != QLatin1String("FSTATUS") &&
                                 column != QLatin1String("FVALID");
                      });
            listGroup(state, group(state, entry()), list,
                      [](const QString &column, const KeyedValuesPtr &) {
                          return column != QLatin1String("FSERIALID") &&
                                 column != QLatin1String("FSTATUS") &&
                                 column != QLatin1String("FVALID");
                      });
            state.SerialFields = indexFields(state);
        } else {
            const ValueListPtr fields = commonFields(state);
            for (qsizetype i = 1; i <= fields->count(); ++i) {
                // Only the caption is read: one field without a column must not cost the user
                // every other field; a condition on it is refused when the condition is built.
                const KeyedValuesPtr item =
                    Values::toKeyedValues(fields->item(i), QStringLiteral("Fields"));
                list += u'\t' + caption(item, QStringLiteral("Caption"));
            }
        }
        grid.SelectBlock(-1, -1, ConditionGrid::ColField, ConditionGrid::ColField);
        grid.setBlockItems(list);
        grid.setBlockMode(false);
        localizeColumn(grid, ConditionGrid::ColCompare);
        localizeColumn(grid, ConditionGrid::ColLogic);
    } catch (...) {
        alertCurrentFailure();
    }
}

KeyedValuesPtr FindFieldDescriptor(const FilterState &state, int k)
{
    if (k < 0 || k >= state.FieldIDs.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("FieldIDs"),
                          Texts::indexOutOfRange() + QStringLiteral("FieldIDs(") +
                              QString::number(k) + u')');
    // "(无)" stands for no field, whatever identifiers the host uses.
    if (k == 0)
        return nullptr;
    const QString &id = state.FieldIDs.at(k);
    if (const FieldIndex *index = state.SerialFields.get()) {
        if (const auto exact = index->byText.constFind(id); exact != index->byText.constEnd())
            return *exact;
        return index->byNumber.value(numberKey(Numbers::leadingNumber(id)));
    }
    const double target = Numbers::leadingNumber(id);
    KeyedValuesPtr first;
    for (const QString &name : {header(), entry()}) {
        const DescriptionGroupPtr fields = group(state, name);
        for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
            const KeyedValuesPtr d = fields->Item(i);
            const QString candidate = text(d, QStringLiteral("FPropID"));
            if (Numbers::leadingNumber(candidate) != target)
                continue;
            // Identifiers that are equal only as numbers ("abc" and "def" are both 0, long
            // ones round alike) must still lead to the field that was listed here.
            if (candidate == id)
                return d;
            if (!first)
                first = d;
        }
    }
    return first;
}

} // namespace NxSerialFilter::FieldList
