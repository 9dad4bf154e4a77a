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

class QCalendarWidget;
class QDialog;
class QWidget;

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
/// the dialog with key and mouse events, saves and reloads a scheme, picks a date in the
/// calendar, reopens the dialog on the filter in force and undoes a row deletion, pastes a list
/// of serial numbers, picks a relative date, checks every outcome against direct queries, and
/// writes screenshots. The exit code is 0 only when all agreed.
///
/// It knows the dialog as a user and any host do: by its installed API, and by the object
/// names and words of its windows, never by its internals.
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
    bool withFilterDialog(const QString &what, const std::function<void(QDialog &)> &session);
    qint64 directCount(const QString &sql, const QVariantList &values);
    /// Alerts shown since the last call, apart from the expected ones.
    QStringList unexpectedAlerts(const QList<int> &allowedStyles = {});

    // Steps on an open dialog.
    bool chooseItem(QDialog &form, int row, int col, const QString &text);
    /// Types keys into a cell and checks that it then reads shown (keys when shown is empty).
    bool typeInto(QDialog &form, int row, int col, const QString &keys, bool selectAll = true,
                  const QString &shown = QString());
    bool pickWithF7(QDialog &form, int row, const QString &search, QString *picked);
    bool clickScheme(QDialog &form, const QString &text);
    bool saveSchemeAs(QDialog &form, const QString &name);
    /// Opens the calendar on a row's date cell with F7; null when it did not open.
    QCalendarWidget *openCalendar(QDialog &form, int row);
    /// Opens the calendar on a date cell with F7, moves days by the arrow keys (negative:
    /// back) and takes the date with Return; checks it opened on shown.
    bool pickInCalendar(QDialog &form, int row, const QString &shown, int days);
    /// Takes the screenshot shot of the dialog, then presses OK, which must show no alert.
    void confirm(QDialog &form, const QString &shot);
    QStringList gridRows(QDialog &form, int rows);
    /// The items the cell's drop-down list offers, read by opening it with F2 (Esc closes it).
    QStringList listedItems(QDialog &form, int row, int col);
    /// The records the serial session's condition matches, by a direct query with bound values.
    qint64 serialDirectCount();

    void serialSession(QDialog &form);
    /// Reopened on the filter in force: its rows, its scheme and its count; then Cancel.
    void reopenSession(QDialog &form);
    /// Ctrl+Delete on a row of the filter in force, then Ctrl+Z brings it back.
    void undoRowDeletion(QDialog &form);
    /// A column of serial numbers pasted with Ctrl+V into a "包括" row, then OK.
    void pastedListSession(QDialog &form);
    /// "本月" picked under the calendar of the in-date, then OK.
    void relativeDateSession(QDialog &form);
    /// Row 1 switched off with Ctrl+/, row 2's value asked when run; OK asks it, then closes.
    void offAndAskedSession(QDialog &form);
    /// The warranty end compared with the in-date through the value cell's context menu, and
    /// the note compared with the current user picked with F4, then OK.
    void fieldAndUserSession(QDialog &form);
    void itemSession(QDialog &form);
    void englishSession(QDialog &form);
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
    bool m_calendarShot = false;

    // What the serial session chose, for the checks after the dialog closed.
    QString m_item;
    QString m_colour;
    QString m_serialWords; // the serial list's condition in words, in Chinese
    QString m_schemeName;
    QStringList m_savedRows;
    QString m_itemNumber;
    QStringList m_pasted;        // the serial numbers pasted, each once
    qint64 m_monthCount = 0;     // records of this month, by a direct query
    qint64 m_fieldUserCount = 0; // records of the field and user session, by a direct query
    qint64 m_total = 0;          // records in the serial list
    qint64 m_liveCount = 0;      // what the dialog counted for the loaded scheme
};

} // namespace NxSerialFilter::Demo
