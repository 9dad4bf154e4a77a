// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A host that holds its Filter outside the life of its application object: showing fails
// cleanly before the application exists, and the object ends without crashing after it.

#include "filter/filtertestaccess.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/dialog/frmfilter.h"
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/filter.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <thread>

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
    filter.setCommonFields(Testing::standardCommonValues());
    // No window can be shown before the application exists, nor outside its thread: the call
    // fails and the host goes on.
    const auto refused = [&filter] {
        try {
            filter.ShowFilterForm();
        } catch (const FilterError &) {
            return !FilterTestAccess::dialog(filter);
        }
        return false;
    };
    if (!refused())
        return failed("showing without an application was not refused");
    {
        QApplication app(argc, argv);
        bool refusedInThread = false;
        std::thread([&] { refusedInThread = refused(); }).join();
        if (!refusedInThread)
            return failed("showing outside the application's thread was not refused");
        QTimer::singleShot(0, &app,
                           [&filter] { FilterTestAccess::dialog(filter)->CmdCancel_Click(); });
        filter.ShowFilterForm();
        if (!filter.Cancel())
            return failed("the dialog was not cancelled");
    }
    QFile::remove(store);
    if (!alerts->shown.isEmpty())
        return failed("unexpected alert");
    return 0; // the Filter and its hidden dialog end here
}
