// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/fieldlist.h"

#include <cmath>

#include "core/conditions/conditiongrid.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/text/leadingnumber.h"
#include <NxSerialFilter/failure.h>

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

void localizeColumn(ConditionGrid &grid, int col)
{
    grid.SelectBlock(-1, -1, col, col);
    QStringList items = grid.blockItems().split(u'\t');
    for (QString &item : items)
        item = Language::designText(item);
    grid.setBlockItems(items.join(u'\t'));
    grid.setBlockMode(false);
}

} // namespace

DescriptionGroupPtr group(const HostFields &state, const QString &name)
{
    if (!state.SerialDesc)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("SerialDesc"),
                          Texts::objectNotSet() + QStringLiteral("SerialDesc"));
    return Values::toGroup(state.SerialDesc->get(name), name);
}

ValueListPtr commonFields(const HostFields &state)
{
    if (!state.CommonField)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("CommonField"),
                          Texts::objectNotSet() + QStringLiteral("CommonField"));
    return Values::toValueList(state.CommonField->get(QStringLiteral("Fields")),
                               QStringLiteral("Fields"));
}

KeyedValuesPtr commonField(const HostFields &state, int k)
{
    return Values::toKeyedValues(commonFields(state)->item(k), QStringLiteral("Fields"));
}

qint32 intValue(const KeyedValuesPtr &record, const QString &key)
{
    return Numbers::leadingInt(Values::toText(record->get(key)));
}

QString SetFields(HostFields &state, ConditionGrid &grid)
{
    try {
        FieldCatalog catalog;
        if (state.SerialUse) {
            if (!state.SerialDesc)
                return Language::text(Texts::missingSerialDescription());
            state.ScreenID =
                QStringLiteral("Serial_") +
                Values::toText(state.SerialDesc->GetWithDefault(QStringLiteral("SerialclassID")));
            state.FieldIDs.clear();
            // A list that fails half-way offers no fields the SQL could not name.
            grid.setCatalog(FieldCatalog());
            catalog = FieldCatalogBuild::serial(state.SerialDesc, state.FieldIDs);
        } else {
            // The dialog's screen is the host's, whatever the fields name.
            catalog = FieldCatalog::fromCommonFields(
                state.CommonField, state.ScreenID.isNull() ? QStringLiteral("") : state.ScreenID);
        }
        QStringList list{Language::text(Texts::noField())};
        for (int k = 1; k < catalog.count(); ++k)
            list.append(catalog.caption(k));
        grid.SelectBlock(-1, -1, ConditionGrid::ColField, ConditionGrid::ColField);
        grid.setBlockItems(list.join(u'\t'));
        grid.setBlockMode(false);
        grid.setCatalog(catalog);
        localizeColumn(grid, ConditionGrid::ColCompare);
        localizeColumn(grid, ConditionGrid::ColLogic);
    } catch (const std::exception &) {
        return describeFailure(std::current_exception());
    }
    return {};
}

KeyedValuesPtr FindFieldDescriptor(const HostFields &state, const FieldCatalog &catalog, int k)
{
    if (k < 0 || k >= state.FieldIDs.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("FieldIDs"),
                          Texts::indexOutOfRange() + QStringLiteral("FieldIDs(") +
                              QString::number(k) + u')');
    // "(无)" stands for no field, whatever identifiers the host uses.
    if (k == 0)
        return nullptr;
    const QString &id = state.FieldIDs.at(k);
    if (catalog.serialUse())
        return catalog.findIdentifier(id);
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

bool captionFound(QStringView caption, QStringView typed)
{
    return caption.contains(typed, Qt::CaseInsensitive);
}

} // namespace NxSerialFilter::FieldList
