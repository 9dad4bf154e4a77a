// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A small host: opens the filter dialog on a built-in description and prints the outcome.

#include "conditions/conditiongrid.h"
#include "dialog/frmfilter.h"
#include "filter/descriptionjson.h"
#include "filter/filter.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

using namespace NxSerialFilter;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool walkthrough = app.arguments().contains(QStringLiteral("--walkthrough"));

    const QByteArray json = R"({"SerialUse": true, "SerialclassID": 12,
        "Header": [
          {"FPropID": 1, "FSQLColumnName": "FSERIALNUM", "FPropname": "序列号", "FPreDefine": 1, "FDataType": 1},
          {"FPropID": 2, "FSQLColumnName": "FITEM", "FPropname": "物料", "FPreDefine": 0, "FDataType": 2, "FLookUpClsID": 4},
          {"FPropID": 3, "FSQLColumnName": "FQTY", "FPropname": "数量", "FPreDefine": 0, "FDataType": 0},
          {"FPropID": 4, "FSQLColumnName": "FDATE", "FPropname": "日期", "FPreDefine": 0, "FDataType": 4}],
        "Entry": []})";

    Filter filter;
    filter.setSerialUse(true);
    filter.setSerialDesc(DescriptionJson::parse(json));

    if (walkthrough) {
        // Without a display nobody can answer the dialog: fill one row and confirm.
        QTimer::singleShot(200, &app, [&filter] {
            frmFilter *form = filter.dialog();
            if (!form)
                return;
            ConditionGrid &grid = form->grid();
            grid.setData(grid.index(0, ConditionGrid::ColField - 1), 1, ConditionGrid::ComboIndexRole);
            grid.setData(grid.index(0, ConditionGrid::ColCompare - 1), 6, ConditionGrid::ComboIndexRole);
            grid.setData(grid.index(0, ConditionGrid::ColValue - 1), QStringLiteral("A01"));
            form->CmdOK_Click();
            if (form->isVisible())
                form->CmdCancel_Click();
        });
    }
    filter.ShowFilterForm();

    QTextStream out(stdout);
    out << "Cancel: " << (filter.Cancel() ? "true" : "false") << '\n';
    out << "FilterSQL: [" << filter.FilterSQL() << "]\n";
    return 0;
}
