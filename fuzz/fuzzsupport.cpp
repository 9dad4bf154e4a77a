// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "fuzzsupport.h"

#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace NxSerialFilter::Fuzzing {

Testing::ScriptedAlerts &alerts()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static const std::shared_ptr<Testing::ScriptedAlerts> recorder =
        Testing::ScriptedAlerts::install();
    recorder->shown.clear();
    recorder->answers.clear();
    return *recorder;
}

void finding(const QString &what)
{
    std::fprintf(stderr, "\n==== property broken ====\n%s\n", what.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QString textFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const bool utf16 = (data[0] & 1) != 0;
    ++data;
    --size;
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(data[2 * i] | (data[2 * i + 1] << 8)));
    return text;
}

Session::Session(Mode m)
    : mode(m)
{
    state.SerialUse = mode == Mode::Serial;
    state.ScreenID =
        mode == Mode::StorageCheck ? QStringLiteral("StorageCheck") : QStringLiteral("Items");
    if (state.SerialUse)
        state.SerialDesc = Testing::standardSerialDescription();
    else
        state.CommonField = Testing::standardCommonValues(state.ScreenID);
    Testing::setFields(state, grid);
    valueCells = std::make_unique<ValueCells>(state, grid);
    Testing::alertFailures(*valueCells);
}

QString snapshot(const ConditionGrid &grid)
{
    QString text;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        for (int c = 1; c <= grid.MaxCols(); ++c) {
            if (c > 1)
                text += u'\t';
            const int index = grid.GetComboIndex(r, c);
            text += index >= 0 ? u'#' + QString::number(index) : grid.GetCellText(r, c);
        }
        text += u'\n';
    }
    return text;
}

} // namespace NxSerialFilter::Fuzzing
