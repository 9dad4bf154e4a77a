// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "scriptedalerts.h"

namespace NxSerialFilter::Testing {

int ScriptedAlerts::present(const QString &message, int style, const QString &title)
{
    shown.append({message, style, title});
    if (style == nxAlert::Question)
        return answers.isEmpty() ? int(nxAlert::AnswerYes) : answers.takeFirst();
    return nxAlert::AnswerOk;
}

std::shared_ptr<ScriptedAlerts> ScriptedAlerts::install()
{
    auto alerts = std::make_shared<ScriptedAlerts>();
    nxAlert::setPresenter(alerts);
    return alerts;
}

} // namespace NxSerialFilter::Testing
