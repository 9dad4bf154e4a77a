// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/conditioncomposer.h>

#include "conditions/conditiongrid.h"
#include "conditions/filterstate.h"
#include "conditions/sqlbuilder.h"
#include "conditions/valuecells.h"
#include "conditions/vocabulary.h"
#include "fields/fieldlist.h"
#include "schemes/schemetext.h"
#include "support/guard.h"

#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

struct ConditionComposer::Private
{
    FilterState state; // the dialog's state before it loads: mode, descriptions, screen
};

ConditionComposer::ConditionComposer()
    : d(std::make_unique<Private>())
{}

ConditionComposer::ConditionComposer(ConditionComposer &&other) noexcept = default;
ConditionComposer &ConditionComposer::operator=(ConditionComposer &&other) noexcept = default;
ConditionComposer::~ConditionComposer() = default;

ConditionComposer ConditionComposer::forSerialDescription(KeyedValuesPtr serialDescription)
{
    ConditionComposer c;
    c.d->state.SerialUse = true;
    c.d->state.SerialDesc = std::move(serialDescription);
    return c;
}

ConditionComposer ConditionComposer::forCommonFields(KeyedValuesPtr commonFields,
                                                     const QString &screenId)
{
    ConditionComposer c;
    c.d->state.SerialUse = false;
    c.d->state.ScreenID =
        !screenId.isNull() || !commonFields
            ? screenId
            : Values::toText(commonFields->GetWithDefault(QStringLiteral("ScreenID")));
    c.d->state.CommonField = std::move(commonFields);
    return c;
}

ConditionComposer ConditionComposer::forDescription(KeyedValuesPtr description,
                                                    const QString &screenId)
{
    if (description && DescriptionJson::serialUse(description))
        return forSerialDescription(description->DescriptionValues());
    return forCommonFields(std::move(description), screenId);
}

bool ConditionComposer::serialUse() const
{
    return d->state.SerialUse;
}

QString ConditionComposer::screenID() const
{
    if (!d->state.SerialUse || !d->state.SerialDesc)
        return d->state.ScreenID;
    return QStringLiteral("Serial_") +
           Values::toText(d->state.SerialDesc->GetWithDefault(QStringLiteral("SerialclassID")));
}

ComposedCondition ConditionComposer::compose(const QString &schemeText, SqlEngine engine,
                                             Placeholders placeholders) const
{
    // The dialog's own steps from load to OK; whatever it would show in an alert comes back
    // as the result instead.
    ComposedCondition result;
    const AlertCapture capture;
    FilterState state = d->state;
    state.LogicWords = Vocabulary::logicWords();
    state.CompareWords = Vocabulary::compareWords();
    ConditionGrid grid;
    ValueCells cells(state, grid);
    FieldList::SetFields(state, grid);
    if (!capture.messages().isEmpty()) {
        result.failure = ComposedCondition::Failure::Description;
        result.error = capture.messages().constFirst();
        return result;
    }
    try {
        SchemeText::applyText(state, grid, cells, schemeText);
        SchemeText::finishLoad(grid);
    } catch (...) {
        // The dialog shows its general load-failure alert here; the reason tells more.
        result.failure = ComposedCondition::Failure::Scheme;
        result.error = describeFailure(std::current_exception());
        return result;
    }
    try {
        result.sql = SqlBuilder::compose(state, grid);
        result.query = SqlBuilder::composeBound(state, grid, engine, placeholders);
        result.text = SqlBuilder::conditionText(grid);
    } catch (const FilterError &e) {
        result.failure = ComposedCondition::Failure::Condition;
        result.error = e.description();
        result.row = e.row();
    } catch (...) {
        result.failure = ComposedCondition::Failure::Condition;
        result.error = describeFailure(std::current_exception());
    }
    return result;
}

} // namespace NxSerialFilter
