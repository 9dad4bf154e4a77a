// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/conditioncomposer.h>

#include "core/composer/questions.h"
#include "core/fields/hostfields.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemetext.h>

#include <optional>

namespace NxSerialFilter {

struct ConditionComposer::Private
{
    HostFields state; // as the dialog is given them: mode, descriptions, screen
    QDate asOf;
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;
    QString currentUser;
};

namespace {

/// What every form of one composing shares.
struct Settings
{
    QDate asOf; // null: today
    Qt::DayOfWeek firstDayOfWeek;
    QString currentUser;
    Answers answers;
};

/// The bound form asked for.
struct BoundAs
{
    SqlEngine engine;
    Placeholders placeholders;
};

/// The dialog's OK over condition: FilterSQL, the bound form and the words, or the refusal.
ComposedCondition composeForms(const FieldCatalog &catalog, const Condition &condition,
                               const Settings &settings, BoundAs bound)
{
    // One day for every form, even across midnight.
    const auto dated = [&settings, today = settings.asOf.isValid()
                                               ? settings.asOf
                                               : QDate::currentDate()](SqlForm form) {
        form.asOf = today;
        form.firstDayOfWeek = settings.firstDayOfWeek;
        form.answers = settings.answers;
        form.currentUser = settings.currentUser;
        return form;
    };
    ComposedCondition result;
    const Composed sql = compose(catalog, condition, dated(SqlForm::text()));
    if (!sql.ok()) {
        result.failure = ComposedCondition::Failure::Condition;
        result.error = sql.failure->message();
        result.row = sql.failure->row;
        return result;
    }
    result.sql = sql.text;
    result.query =
        compose(catalog, condition, dated(SqlForm::bound(bound.engine, bound.placeholders)))
            .bound();
    result.text = compose(catalog, condition, dated(SqlForm::words())).text;
    return result;
}

/// The composer's fields; none when its description gives none, and failure says why.
std::optional<FieldCatalog> fieldsOf(const ConditionComposer &composer, ComposedCondition &failure)
{
    try {
        return composer.catalog();
    } catch (const std::exception &) {
        failure.failure = ComposedCondition::Failure::Description;
        failure.error = describeFailure(std::current_exception());
        return std::nullopt;
    }
}

} // namespace

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
    const std::optional<FieldCatalog> catalog = fieldsOf(*this, result);
    if (!catalog)
        return result;
    const SchemeText::Parsed parsed = SchemeText::parse(schemeText, *catalog);
    if (!parsed.ok()) {
        // The dialog shows its general load-failure alert here; the reason tells more.
        result.failure = ComposedCondition::Failure::Scheme;
        result.error = parsed.refusal;
        return result;
    }
    return composeForms(*catalog, parsed.condition,
                        {d->asOf, d->firstDayOfWeek, d->currentUser, answers},
                        {engine, placeholders});
}

ComposedCondition ConditionComposer::compose(const Condition &condition, const Answers &answers,
                                             SqlEngine engine, Placeholders placeholders) const
{
    ComposedCondition result;
    const std::optional<FieldCatalog> catalog = fieldsOf(*this, result);
    if (!catalog)
        return result;
    return composeForms(*catalog, condition, {d->asOf, d->firstDayOfWeek, d->currentUser, answers},
                        {engine, placeholders});
}

} // namespace NxSerialFilter
