// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "demoschema.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/filter.h>

#include <QLabel>
#include <QMainWindow>
#include <QSqlDatabase>

#include <optional>

class QActionGroup;
class QSqlQueryModel;
class QTabWidget;
class QTableView;

namespace NxSerialFilter::Demo {

/// The context property string the demo files for the component: language and scheme store.
QString propsString(const QString &language, const QString &dataFolder);

/// One line of text that never asks for more width than it gets: what does not fit is elided
/// and the tool tip holds the whole text.
class ElidedLabel : public QLabel
{
public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    /// Shows text; the tool tip holds toolTip, or the whole text when toolTip is null.
    void setFullText(const QString &text, const QString &toolTip = QString());
    QString fullText() const { return m_fullText; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString m_fullText;
};

/// The records of a host query that a bound condition matches; nothing when the query fails
/// (its error in *error).
std::optional<qint64> countRecords(const QSqlDatabase &db, const HostQuery &query,
                                   const BoundCondition &condition, QString *error = nullptr);

/// The count the filter dialog shows while the user writes: the component's ready counter on
/// copies of the host's connection, each count on a connection of its own.
MatchCounter recordCounter(const QString &connectionName, const HostQuery &query);
/// The engine of the host's connection, for the bound form the counter gets.
SqlEngine engineOf(const QString &connectionName);

/// One list of the host: its query, the rows fetched as the user scrolls, and the condition,
/// record count and query time of the last run.
class HostScreen : public QWidget
{
    Q_OBJECT
public:
    HostScreen(HostQuery query, QString connectionName, QWidget *parent = nullptr);

    /// Runs the host's query with the bound condition and shows filterText, the condition in
    /// words, with filterSql, its text form, in the tool tip; reports a failing query in one
    /// alert. scheme holds the rows, from which the words are written again in another
    /// language; it is read with the fields of the last setFields or retranslate.
    bool apply(const QString &filterText, const QString &filterSql,
               const BoundCondition &query = {}, const QString &scheme = {});
    /// The fields the screen's Filter lists: description is the one the Filter now has.
    void setFields(const KeyedValuesPtr &description);
    /// Shows the headers and the condition in the current language; description is the one
    /// the screen's Filter now has.
    void retranslate(const KeyedValuesPtr &description);

    QString condition() const { return m_condition; }
    QString conditionText() const { return m_conditionText; }
    qint64 recordCount() const { return m_count; }
    qint64 queryMs() const { return m_ms; }
    QTableView *view() const { return m_view; }
    const HostQuery &query() const { return m_query; }

private:
    void showSummary();
    void showHeaders();

    HostQuery m_query;
    QString m_connectionName;
    QString m_condition;
    QString m_conditionText;
    FieldCatalog m_fields;
    Condition m_rows;
    qint64 m_count = 0;
    qint64 m_ms = 0;
    QSqlQueryModel *m_model;
    QTableView *m_view;
    ElidedLabel *m_lblCondition;
    QLabel *m_lblSummary;
};

/// The demo host: a serial-number list and an items list, each filtered through the component.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// language is the code to start with, "chs" or "en".
    MainWindow(QString connectionName, QString dataFolder, const QString &language,
               QWidget *parent = nullptr);

    HostScreen *serialScreen() const { return m_serial; }
    HostScreen *itemScreen() const { return m_items; }
    HostScreen *currentScreen() const;
    QTabWidget *tabs() const { return m_tabs; }
    /// The Filter object of a screen; it lives as long as the window.
    Filter &filterFor(const HostScreen *screen);

    /// Files the property string for the language ("chs" or "en") and reloads the texts.
    void setLanguage(const QString &language);
    QString language() const { return m_language; }

Q_SIGNALS:
    /// The user chose a language in the menu.
    void languageChosen(const QString &language);

public Q_SLOTS:
    /// Opens the filter dialog for the current screen; on OK lists the matching records.
    void openFilter();
    void clearFilter();
    void showHelp();

private:
    void retranslate();

    QString m_dataFolder;
    SqlEngine m_engine = SqlEngine::SQLite; // of the host's connection
    QString m_language;
    Filter m_serialFilter;
    Filter m_itemFilter;
    KeyedValuesPtr m_serialDescription;
    KeyedValuesPtr m_itemDescription;
    QTabWidget *m_tabs;
    HostScreen *m_serial;
    HostScreen *m_items;
    QMenu *m_filterMenu;
    QMenu *m_languageMenu;
    QMenu *m_helpMenu;
    QAction *m_filterAction;
    QAction *m_clearAction;
    QAction *m_quitAction;
    QAction *m_chineseAction;
    QAction *m_englishAction;
    QAction *m_helpAction;
    std::shared_ptr<HelpComponent> m_help;
};

} // namespace NxSerialFilter::Demo
