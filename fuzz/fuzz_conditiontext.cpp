// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Any text the reader takes as a condition, written in words again (in Chinese and in English),
// reads back as the same condition and composes the same FilterSQL: what FilterText and
// `serialfilter sql --words` print is always a valid --where. A text it refuses is refused at a
// position within the text.

#include "fuzzsupport.h"
#include "testsupport/descriptions.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/conditiontext.h>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

namespace {

/// Two fields of each kind, one caption inside another (数量, 订购数量) and one with a blank.
const FieldCatalog &catalog()
{
    using Testing::serialField;
    static const FieldCatalog fields =
        FieldCatalog::fromSerialDescription(Testing::serialDescription(
            {serialField(1, QStringLiteral("FSERIALNUM"), QStringLiteral("序列号"), 1, 1),
             serialField(2, QStringLiteral("FITEM"), QStringLiteral("物料"), 0, 2, 0, 4),
             serialField(3, QStringLiteral("FQTY"), QStringLiteral("数量"), 0, 0),
             serialField(4, QStringLiteral("FDATE"), QStringLiteral("日期"), 0, 4),
             serialField(5, QStringLiteral("FNOTE"), QStringLiteral("备注"), 0, 1),
             serialField(6, QStringLiteral("FSHIP"), QStringLiteral("Ship Date"), 0, 4)},
            {serialField(7, QStringLiteral("FSUB"), QStringLiteral("等级"), 1, 3, 0, 7),
             serialField(8, QStringLiteral("FORDERQTY"), QStringLiteral("订购数量"), 0, 0)}));
    return fields;
}

/// FilterSQL on a fixed day, for a fixed user, with every question unanswered.
SqlForm fixedText()
{
    SqlForm form = SqlForm::text();
    form.asOf = QDate(2026, 12, 8);
    form.currentUser = QStringLiteral("u");
    return form;
}

QString describe(const std::optional<ComposeFailure> &failure)
{
    return failure ? QString::number(int(failure->reason)) + u'@' + QString::number(failure->row)
                   : QStringLiteral("none");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    alerts();
    const QString text = textFrom(data, size);
    const ConditionTextRead read = ConditionText::parse(catalog(), text);
    if (!read.ok()) {
        if (read.failure->position < 0 || read.failure->position > text.size())
            finding(QStringLiteral("refused at %1 of %2 characters:\n%3")
                        .arg(QString::number(read.failure->position), QString::number(text.size()),
                             text));
        return 0;
    }
    const Composed sql = compose(catalog(), read.condition, fixedText());
    for (const QString &language : {QString(), QStringLiteral("en")}) {
        const QString words = compose(catalog(), read.condition, SqlForm::words(language)).text;
        const ConditionTextRead again = ConditionText::parse(catalog(), words);
        if (!again.ok())
            finding(QStringLiteral("the words do not read (%1):\n%2\nread from:\n%3")
                        .arg(again.failure->message(), words, text));
        if (again.condition != read.condition)
            finding(QStringLiteral("the words read as another condition:\n%1\nread from:\n%2")
                        .arg(words, text));
        const Composed sqlAgain = compose(catalog(), again.condition, fixedText());
        if (sqlAgain.text != sql.text || sqlAgain.failure != sql.failure)
            finding(
                QStringLiteral("another FilterSQL:\n%1 (%2)\n%3 (%4)\nwords:\n%5\nread from:\n%6")
                    .arg(sql.text, describe(sql.failure), sqlAgain.text, describe(sqlAgain.failure),
                         words, text));
    }
    return 0;
}
