// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxalert.h>

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

class QWidget;

namespace NxSerialFilter {
class frmFilter;
}

namespace NxSerialFilter::Demo {

class HostScreen;
class MainWindow;

/// Answers every alert at once and keeps it, so that a session without a user neither blocks
/// on a message box nor lets a message go unseen.
class WalkthroughAlerts : public AlertPresenter
{
public:
    struct Shown
    {
        QString message;
        int style;
    };
    int present(const QString &message, int style, const QString &title) override;
    QList<Shown> shown;
};

/// A scripted session on the real windows: filters the serial list and the items list through
/// the dialog with key and mouse events, saves and reloads a scheme, checks every outcome
/// against direct queries, and writes screenshots. The exit code is 0 only when all agreed.
class Walkthrough
{
public:
    Walkthrough(MainWindow &window, QString connectionName, QString screenshotFolder);
    int run();

private:
    bool check(bool ok, const QString &what);
    void note(const QString &line);
    void shoot(QWidget *widget, const QString &name);
    /// Opens the filter dialog with Ctrl+F and runs session on it while it is shown.
    bool withFilterDialog(const QString &what, const std::function<void(frmFilter &)> &session);
    qint64 directCount(const QString &sql, const QVariantList &values);
    /// Alerts shown since the last call, apart from the expected ones.
    QStringList unexpectedAlerts(const QList<int> &allowedStyles = {});

    // Steps on an open dialog.
    bool chooseItem(frmFilter &form, int row, int col, const QString &text);
    /// Types keys into a cell and checks that it then reads shown (keys when shown is empty).
    bool typeInto(frmFilter &form, int row, int col, const QString &keys, bool selectAll = true,
                  const QString &shown = QString());
    bool pickWithF7(frmFilter &form, int row, const QString &search, QString *picked);
    bool clickScheme(frmFilter &form, const QString &text);
    bool saveSchemeAs(frmFilter &form, const QString &name);
    QStringList gridRows(frmFilter &form, int rows);

    void serialSession(frmFilter &form);
    void cancelSession(frmFilter &form);
    void itemSession(frmFilter &form);
    void englishSession(frmFilter &form);
    bool chooseLanguage(const QString &objectName);
    /// The condition line fits the window however long the condition is.
    void checkConditionLine(HostScreen *screen);
    /// Every column header of both lists reads as the caption in the current language.
    void checkHeaders(bool english);

    MainWindow &m_window;
    QString m_connectionName;
    QString m_screenshots;
    std::shared_ptr<WalkthroughAlerts> m_alerts;
    qsizetype m_alertsSeen = 0;
    int m_failures = 0;
    int m_checks = 0;
    QElapsedTimer m_clock;
    bool m_lookupShot = false;

    // What the serial session chose, for the checks after the dialog closed.
    QString m_item;
    QString m_colour;
    QString m_serialWords; // the serial list's condition in words, in Chinese
    QString m_schemeName;
    QStringList m_savedRows;
    QString m_itemNumber;
    qint64 m_total = 0;     // records in the serial list
    qint64 m_liveCount = 0; // what the dialog counted for the loaded scheme
};

} // namespace NxSerialFilter::Demo
