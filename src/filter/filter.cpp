// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/filter.h>

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuewords.h"
#include "core/host/defaultcomponents.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "filter/filtertestaccess.h"
#include "widgets/dialog/frmfilter.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemetext.h>

#include <QApplication>
#include <QThread>

#include <optional>
#include <utility>

namespace NxSerialFilter {

class FilterPrivate
{
public:
    bool serialUse = false;
    QString screenId;
    KeyedValuesPtr serialDesc;
    KeyedValuesPtr commonFields;
    QString filterSql;
    ConfirmedCondition confirmed; // FilterQuery and FilterText, composed when asked for
    QString filterScheme;
    bool cancel = false;
    MatchCounter counter;
    SqlEngine countEngine = SqlEngine::SQLite;
    Placeholders countPlaceholders = Placeholders::QMark;
    std::chrono::milliseconds countBudget{1000};
    bool rememberSize = false;
    bool reopen = false;
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;
    QString currentUser;
    QString confirmedScreen; // the screen of the last OK, and the scheme it showed
    qint32 confirmedSchemeId = 0;
    std::optional<FieldCatalog> confirmedFields; // the fields as listed at the last OK
    // setCondition's rows for the next dialog, and the fields they were read over.
    std::optional<std::pair<Condition, FieldCatalog>> nextCondition;
    std::shared_ptr<frmFilter> dialog;
    // ShowFilterForm watches a weak copy: a host may delete its Filter while the dialog runs.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    ~FilterPrivate()
    {
        // The dialog of a deleted Filter has no one to answer to: it closes as cancelled.
        if (dialog && dialog->isVisible())
            dialog->CmdCancel_Click();
    }
};

namespace {

/// The fields the dialog lists for the Filter's description now; none when it cannot give them.
std::optional<FieldCatalog> listedFields(const FilterPrivate &d)
{
    try {
        if (!d.serialUse)
            return FieldCatalog::fromCommonFields(d.commonFields, d.screenId);
        if (d.serialDesc)
            return FieldCatalog::fromSerialDescription(d.serialDesc->DescriptionValues());
    } catch (const std::exception &) {
    }
    return std::nullopt;
}

/// The same fields at every position, whatever their captions.
bool sameFields(const FieldCatalog &a, const FieldCatalog &b)
{
    if (a.count() != b.count())
        return false;
    for (int k = 1; k < a.count(); ++k) {
        if (a.identifier(k) != b.identifier(k) || a.column(k) != b.column(k))
            return false;
    }
    return true;
}

/// Opens the form with rows read over fields: the rows themselves while the host lists the
/// same fields, whatever their captions now; else their scheme text, so that rows on fields
/// still listed under the same captions come back.
void openWith(frmFilter &form, const FilterPrivate &d, const Condition &rows,
              const std::optional<FieldCatalog> &fields, const QString &schemeText, qint32 schemeId)
{
    const std::optional<FieldCatalog> now = listedFields(d);
    if (fields && now && sameFields(*now, *fields))
        form.setReopenCondition(rows, schemeId);
    else
        form.setReopenCondition(schemeText, schemeId);
}

} // namespace

Filter::Filter()
    : d(std::make_unique<FilterPrivate>())
{}

Filter::~Filter() = default;

void Filter::setSerialUse(bool serialUse)
{
    d->serialUse = serialUse;
}

bool Filter::SerialUse() const
{
    return d->serialUse;
}

void Filter::setCommonFields(KeyedValuesPtr commonFields)
{
    d->commonFields = std::move(commonFields);
    if (!d->commonFields)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("Filter"),
                          Texts::objectNotSet() + QStringLiteral("CommonFields"));
    d->screenId = Values::toText(d->commonFields->get(QStringLiteral("ScreenID")));
}

void Filter::setScreenID(const QString &screenId)
{
    d->screenId = screenId;
}

QString Filter::ScreenID() const
{
    return d->screenId;
}

void Filter::setSerialDesc(KeyedValuesPtr serialDesc)
{
    d->serialDesc = std::move(serialDesc);
}

bool Filter::Cancel() const
{
    return d->cancel;
}

QString Filter::FilterSQL() const
{
    return d->filterSql;
}

BoundCondition Filter::FilterQuery(SqlEngine engine, Placeholders placeholders) const
{
    // The text form composed at OK; a bound form that did not would lose the filter.
    const Composed query = d->confirmed.query(engine, placeholders);
    if (query.failure)
        throw SqlBuilder::failureError(*query.failure);
    return query.bound();
}

QString Filter::FilterText() const
{
    return d->confirmed.text();
}

QString Filter::FilterScheme() const
{
    return d->filterScheme;
}

Answers Filter::FilterAnswers() const
{
    return d->confirmed.answers();
}

void Filter::setMatchCounter(MatchCounter counter, SqlEngine engine, Placeholders placeholders)
{
    d->counter = std::move(counter);
    d->countEngine = engine;
    d->countPlaceholders = placeholders;
}

void Filter::setCountBudget(std::chrono::milliseconds budget)
{
    d->countBudget = budget;
}

void Filter::setRememberDialogSize(bool remember)
{
    d->rememberSize = remember;
}

bool Filter::RememberDialogSize() const
{
    return d->rememberSize;
}

void Filter::setReopenWithLastCondition(bool reopen)
{
    d->reopen = reopen;
}

bool Filter::ReopenWithLastCondition() const
{
    return d->reopen;
}

void Filter::clearLastCondition()
{
    d->filterSql.clear();
    d->confirmed = {};
    d->filterScheme.clear();
    d->confirmedScreen.clear();
    d->confirmedSchemeId = 0;
    d->confirmedFields.reset();
}

void Filter::setFirstDayOfWeek(Qt::DayOfWeek day)
{
    d->firstDayOfWeek = weekStart(day);
}

Qt::DayOfWeek Filter::FirstDayOfWeek() const
{
    return d->firstDayOfWeek;
}

void Filter::setCurrentUser(const QString &name)
{
    d->currentUser = name;
}

QString Filter::CurrentUser() const
{
    return d->currentUser;
}

std::optional<ConditionTextFailure> Filter::setCondition(const QString &text)
{
    // Without fields no caption reads: the failure names the first one.
    const FieldCatalog fields = listedFields(*d).value_or(FieldCatalog());
    ConditionTextRead read = ConditionText::parse(fields, text);
    if (!read.ok())
        return read.failure;
    d->nextCondition.emplace(std::move(read.condition), fields);
    return std::nullopt;
}

QString Filter::ShowFilterForm(const QString &strScreenID, bool blnOverLoad)
{
    Q_UNUSED(strScreenID)
    Q_UNUSED(blnOverLoad)
    // Windows need the host's application object and its thread; without them the call
    // fails instead of aborting the host.
    const QCoreApplication *app = QCoreApplication::instance();
    if (!qobject_cast<const QApplication *>(app) || QThread::currentThread() != app->thread())
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("Filter"),
                          Texts::objectNotSet() + QStringLiteral("QApplication"));
    d->dialog.reset();
    d->dialog = std::make_shared<frmFilter>();
    // A call made while this dialog runs (from a host's timer, say) replaces the held dialog;
    // this one must live until its own showing has ended.
    const std::shared_ptr<frmFilter> running = d->dialog;
    frmFilter &form = *running;
    if (d->serialUse) {
        form.setSerialUse(true);
        if (!d->serialDesc)
            throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("Filter"),
                              Texts::objectNotSet() + QStringLiteral("SerialDesc"));
        form.setSerialDesc(d->serialDesc->DescriptionValues());
    } else {
        form.setCommonField(d->commonFields);
    }
    form.setScreenID(d->screenId);
    form.setMatchCounter(d->counter, d->countEngine, d->countPlaceholders);
    form.setCountBudget(d->countBudget);
    form.setRememberSize(d->rememberSize);
    form.setFirstDayOfWeek(d->firstDayOfWeek);
    form.setCurrentUser(d->currentUser);
    if (d->nextCondition) {
        const auto [rows, fields] = *std::exchange(d->nextCondition, std::nullopt);
        openWith(form, *d, rows, fields, SchemeText::write(rows, fields), 0);
    } else if (d->reopen && d->confirmedScreen == d->screenId && !d->filterScheme.isEmpty()) {
        // Another screen's condition names fields this one may not have.
        openWith(form, *d, d->confirmed.condition(), d->confirmedFields, d->filterScheme,
                 d->confirmedSchemeId);
    }
    const std::weak_ptr<bool> alive = d->alive;
    form.showModal();
    if (alive.expired())
        return {}; // this Filter was deleted while the dialog ran: nothing of it may be touched
    if (!form.Cancel()) {
        d->filterSql = form.FilterSQL();
        d->confirmed = form.confirmed();
        d->filterScheme = SchemeText::gridText(form.grid());
        d->confirmedScreen = d->screenId;
        d->confirmedSchemeId = form.currentSchemeId();
        d->confirmedFields = form.grid().catalog();
    }
    d->cancel = form.Cancel();
    return d->filterSql;
}

frmFilter *FilterTestAccess::dialog(const Filter &filter)
{
    return filter.d->dialog.get();
}

namespace {

const DefaultComponent registration(ComponentId::filter(),
                                    [] { return std::make_shared<FilterComponent>(); });

} // namespace
} // namespace NxSerialFilter
