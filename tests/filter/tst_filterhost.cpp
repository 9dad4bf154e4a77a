// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A host that holds its Filter outside the life of its application object: the object must
// end without crashing once the application has gone.

#include "dialog/frmfilter.h"
#include "filter/filter.h"
#include "support/contextstore.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>

using namespace NxSerialFilter;

namespace {

int failed(const char *what)
{
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    auto alerts = Testing::ScriptedAlerts::install();
    const QString store = QDir::tempPath() + QStringLiteral("/tst_filterhost_") +
                          QString::number(QCoreApplication::applicationPid()) +
                          QStringLiteral(".sqlite");
    ContextStore::setPropsString(QStringLiteral("SCHEMEDB=") + store + u';');
    Filter filter; // declared before the application, so it ends after it
    {
        QApplication app(argc, argv);
        filter.setCommonFields(Testing::standardCommonValues());
        QTimer::singleShot(0, &app, [&filter] { filter.dialog()->CmdCancel_Click(); });
        filter.ShowFilterForm();
        if (!filter.Cancel())
            return failed("the dialog was not cancelled");
    }
    QFile::remove(store);
    if (!alerts->shown.isEmpty())
        return failed("unexpected alert");
    return 0; // the Filter and its hidden dialog end here
}
