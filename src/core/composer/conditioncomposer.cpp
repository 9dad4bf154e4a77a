// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/conditioncomposer.h>

#include "core/composer/questions.h"
#include "core/fields/hostfields.h"
#include "core/language/languagestate.h"
#include "core/language/texts.h"

#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemetext.h>

namespace NxSerialFilter {

struct ConditionComposer::Private
{
    HostFields state; // as the dialog is given them: mode, descriptions, screen
    QDate asOf;
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;
    QString currentUser;
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

void ConditionComposer::setAsOf(QDate asOf)
{
    d->asOf = asOf;
}

void ConditionComposer::setFirstDayOfWeek(Qt::DayOfWeek day)
{
    d->firstDayOfWeek = day;
}

void ConditionComposer::setCurrentUser(const QString &name)
{
    d->currentUser = name;
}

QStringList ConditionComposer::questions(const QString &schemeText) const
{
    QStringList texts;
    try {
        const FieldCatalog catalog = this->catalog();
        for (const Question &question :
             Questions::of(catalog, SchemeText::parse(schemeText, catalog).condition))
            texts.append(question.text);
    } catch (const std::exception &) {
        // A description that gives no field list asks nothing: compose says why.
    }
    return texts;
}

FieldCatalog ConditionComposer::catalog() const
{
    const HostFields &state = d->state;
    if (state.SerialUse && !state.SerialDesc)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("SerialDesc"),
                          Language::text(Texts::missingSerialDescription()));
    return state.SerialUse
               ? FieldCatalog::fromSerialDescription(state.SerialDesc)
               : FieldCatalog::fromCommonFields(state.CommonField, state.ScreenID.isNull()
                                                                       ? QStringLiteral("")
                                                                       : state.ScreenID);
}

ComposedCondition ConditionComposer::compose(const QString &schemeText, const Answers &answers,
                                             SqlEngine engine, Placeholders placeholders) const
{
    // The dialog's steps from load to OK, as values: what it would show in an alert comes
    // back as the result instead.
    ComposedCondition result;
    FieldCatalog catalog;
    try {
        catalog = this->catalog();
    } catch (const std::exception &) {
        result.failure = ComposedCondition::Failure::Description;
        result.error = describeFailure(std::current_exception());
        return result;
    }
    const SchemeText::Parsed parsed = SchemeText::parse(schemeText, catalog);
    if (!parsed.ok()) {
        // The dialog shows its general load-failure alert here; the reason tells more.
        result.failure = ComposedCondition::Failure::Scheme;
        result.error = parsed.refusal;
        return result;
    }
    // One day for every form, even across midnight.
    const auto dated = [this, &answers,
                        today = d->asOf.isValid() ? d->asOf : QDate::currentDate()](SqlForm form) {
        form.asOf = today;
        form.firstDayOfWeek = d->firstDayOfWeek;
        form.answers = answers;
        form.currentUser = d->currentUser;
        return form;
    };
    const Composed sql = NxSerialFilter::compose(catalog, parsed.condition, dated(SqlForm::text()));
    if (!sql.ok()) {
        result.failure = ComposedCondition::Failure::Condition;
        result.error = sql.failure->message();
        result.row = sql.failure->row;
        return result;
    }
    result.sql = sql.text;
    result.query = NxSerialFilter::compose(catalog, parsed.condition,
                                           dated(SqlForm::bound(engine, placeholders)))
                       .bound();
    result.text = NxSerialFilter::compose(catalog, parsed.condition, dated(SqlForm::words())).text;
    return result;
}

} // namespace NxSerialFilter
