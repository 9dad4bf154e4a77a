// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A batch program on the core alone: a condition composed from JSON and a scheme text.

#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/descriptionjson.h>

#include <cstdio>

int main()
{
    using namespace NxSerialFilter;
    const ConditionComposer composer = ConditionComposer::forDescription(DescriptionJson::parse(
        R"({"SerialUse": false, "ScreenID": "Items",
            "Fields": [{"Caption": "名称", "DataType": 200, "ColumnName": "t1.FName"}]})"));
    const ComposedCondition c = composer.compose(QStringLiteral("\t\t名称\t等于\tO'Neil\t\t"));
    std::printf("%s\n", qPrintable(c.sql));
    return c.ok() && c.sql == QLatin1String(" ( (t1.FName = 'O''Neil') ) ") &&
                   c.text == QStringLiteral("名称 等于 O'Neil")
               ? 0
               : 1;
}
