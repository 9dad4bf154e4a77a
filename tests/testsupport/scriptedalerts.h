// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxalert.h>

#include <QList>
#include <QString>

#include <memory>

namespace NxSerialFilter {
struct HostFields;
class ConfirmedCondition;
class ConditionGrid;
class ValueCells;
} // namespace NxSerialFilter

namespace NxSerialFilter::Testing {

/// Records every alert and answers as told (OK for notices, the queued answers for questions).
class ScriptedAlerts : public AlertPresenter
{
public:
    struct Shown
    {
        QString message;
        int style;
        QString title;
    };

    int present(const QString &message, int style, const QString &title) override;

    QList<Shown> shown;
    QList<int> answers; // taken in order for questions; Yes when empty

    /// Installs a fresh presenter for the life of the returned pointer's test.
    static std::shared_ptr<ScriptedAlerts> install();
};

/// The dialog's steps below the widgets return their failures; these show them as the dialog
/// does, one alert each, for tests that drive the steps without a dialog.
bool createSql(ConfirmedCondition &confirmed, const ConditionGrid &grid);
void setFields(HostFields &state, ConditionGrid &grid);
void alertFailures(ValueCells &cells);

} // namespace NxSerialFilter::Testing
