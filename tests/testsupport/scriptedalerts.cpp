// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "scriptedalerts.h"

#include "core/conditions/fieldlist.h"
#include "core/composer/sqlbuilder.h"
#include "core/conditions/valuecells.h"

namespace NxSerialFilter::Testing {

int ScriptedAlerts::present(const QString &message, int style, const QString &title)
{
    shown.append({message, style, title});
    if (style == nxAlert::Question)
        return answers.isEmpty() ? int(nxAlert::AnswerYes) : answers.takeFirst();
    if (style == nxAlert::SaveDiscardStay) // unasked, a pick goes on as it always did
        return answers.isEmpty() ? int(nxAlert::AnswerNo) : answers.takeFirst();
    return nxAlert::AnswerOk;
}

std::shared_ptr<ScriptedAlerts> ScriptedAlerts::install()
{
    auto alerts = std::make_shared<ScriptedAlerts>();
    nxAlert::setPresenter(alerts);
    return alerts;
}

bool createSql(ConfirmedCondition &confirmed, const ConditionGrid &grid)
{
    if (const auto failure = SqlBuilder::confirm(confirmed, grid)) {
        nxAlert::ShowAlert(failure->message(), SqlBuilder::alertStyle(*failure));
        return false;
    }
    return true;
}

void setFields(HostFields &state, ConditionGrid &grid)
{
    const QString failure = FieldList::SetFields(state, grid);
    if (!failure.isEmpty())
        nxAlert::ShowAlert(failure, nxAlert::Information);
}

void alertFailures(ValueCells &cells)
{
    QObject::connect(&cells, &ValueCells::failed, [](const QString &message) {
        nxAlert::ShowAlert(message, nxAlert::Information);
    });
}

} // namespace NxSerialFilter::Testing
