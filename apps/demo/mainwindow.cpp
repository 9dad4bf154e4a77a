// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "mainwindow.h"

#include "demotexts.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/language.h>
#include <NxSerialFilter/nxalert.h>
#include <NxSerialFilter/schemetext.h>
#include <NxSerialFilter/sqlmatchcounter.h>

#include <QActionGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace NxSerialFilter::Demo {

namespace {

QString localized(const QString &key)
{
    return Language::text(key);
}

void alertFailure()
{
    nxAlert::ShowAlert(describeFailure(std::current_exception()), nxAlert::Information);
}

/// The values are bound, never pasted into the statement.
bool execBound(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

} // namespace

std::optional<qint64> countRecords(const QSqlDatabase &db, const HostQuery &query,
                                   const BoundCondition &condition, QString *error)
{
    QSqlQuery count(db);
    if (!execBound(count, query.countSql(condition.sql), condition.values) || !count.next()) {
        if (error)
            *error = count.lastError().text();
        return std::nullopt;
    }
    return count.value(0).toLongLong();
}

MatchCounter recordCounter(const QString &connectionName, const HostQuery &query)
{
    // Connections of its own, copied from the host's, which it never touches: the host's
    // connection serves the user-interface thread alone.
    return SqlMatchCounter(QSqlDatabase::database(connectionName),
                           QStringLiteral("FROM ") + query.from);
}

SqlEngine engineOf(const QString &connectionName)
{
    return QSqlDatabase::database(connectionName, false).driverName() == QLatin1String("QPSQL")
               ? SqlEngine::PostgreSQL
               : SqlEngine::SQLite;
}

QString propsString(const QString &language, const QString &dataFolder)
{
    return QStringLiteral("LANGUAGE=") + language + QStringLiteral(";SCHEMEDB=") +
           QDir(dataFolder).filePath(QStringLiteral("schemes.sqlite")) + QLatin1Char(';');
}

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    // A condition like "a <> 'x'" must not be taken for markup.
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString &text, const QString &toolTip)
{
    m_fullText = text;
    const QString tip = toolTip.isNull() ? text : toolTip;
    // Rich text lets the tool tip wrap; plain text would make it one line as wide as the text.
    setToolTip(tip.isEmpty()
                   ? QString()
                   : QStringLiteral("<p>") + tip.toHtmlEscaped() + QStringLiteral("</p>"));
    elide();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    QString line = m_fullText;
    line.replace(u'\n', u' ');
    setText(fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width()));
}

HostScreen::HostScreen(HostQuery query, QString connectionName, QWidget *parent)
    : QWidget(parent)
    , m_query(std::move(query))
    , m_connectionName(std::move(connectionName))
    , m_model(new QSqlQueryModel(this))
    , m_view(new QTableView(this))
    , m_lblCondition(new ElidedLabel(this))
    , m_lblSummary(new QLabel(this))
{
    m_view->setObjectName(QStringLiteral("lstRecords"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    // Fixed widths: sizing to contents would read every row and defeat the lazy fetching.
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setDefaultSectionSize(110);
    m_lblCondition->setObjectName(QStringLiteral("lblCondition"));
    m_lblSummary->setObjectName(QStringLiteral("lblSummary"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_lblCondition);
    layout->addWidget(m_lblSummary);
}

bool HostScreen::apply(const QString &filterText, const QString &filterSql,
                       const BoundCondition &query, const QString &scheme)
{
    const QSqlDatabase db = QSqlDatabase::database(m_connectionName);
    QElapsedTimer timer;
    timer.start();
    QString error;
    const std::optional<qint64> records = countRecords(db, m_query, query, &error);
    if (!records) {
        nxAlert::ShowAlert(localized(Texts::queryFailed()) + error, nxAlert::Information);
        return false;
    }
    // The model fetches the first rows now and the rest only as the user scrolls.
    QSqlQuery rows(db);
    if (!execBound(rows, m_query.selectSql(query.sql), query.values)) {
        nxAlert::ShowAlert(localized(Texts::queryFailed()) + rows.lastError().text(),
                           nxAlert::Information);
        return false;
    }
    m_model->setQuery(std::move(rows));
    m_ms = timer.elapsed();
    m_count = *records;
    m_condition = filterSql;
    m_conditionText = filterText;
    // The rows by field position, so that the words can be written again in another language,
    // whose captions differ.
    m_rows = SchemeText::parse(scheme, m_fields).condition;
    showHeaders();
    showSummary();
    return true;
}

void HostScreen::setFields(const KeyedValuesPtr &description)
{
    try {
        m_fields = FieldCatalog::fromDescription(description);
    } catch (...) {
        m_fields = FieldCatalog();
    }
}

void HostScreen::retranslate(const KeyedValuesPtr &description)
{
    setFields(description);
    // The words were written in the language of the dialog's OK: write them again.
    if (!m_condition.trimmed().isEmpty()) {
        const Composed words = compose(m_fields, m_rows, SqlForm::words());
        if (words.ok())
            m_conditionText = words.text;
    }
    showHeaders();
    showSummary();
}

void HostScreen::showHeaders()
{
    for (int i = 0; i < m_query.captions.size(); ++i)
        m_model->setHeaderData(i, Qt::Horizontal, localized(m_query.captions.at(i)));
}

void HostScreen::showSummary()
{
    // The condition in the user's words; the SQL the host ran stays at hand in the tool tip.
    const QString condition = m_condition.trimmed();
    m_lblCondition->setFullText(
        localized(Texts::condition()) +
            (condition.isEmpty() ? localized(Texts::allRecords()) : m_conditionText),
        condition);
    m_lblSummary->setText(localized(Texts::recordCount()) + QString::number(m_count) +
                          QStringLiteral("    ") + localized(Texts::queryTime()) +
                          QString::number(m_ms));
}

MainWindow::MainWindow(QString connectionName, QString dataFolder, const QString &language,
                       QWidget *parent)
    : QMainWindow(parent)
    , m_dataFolder(std::move(dataFolder))
    , m_serialDescription(serialDescription())
    , m_itemDescription(itemDescription())
    , m_tabs(new QTabWidget(this))
    , m_serial(new HostScreen(serialQuery(), connectionName, m_tabs))
    , m_items(new HostScreen(itemQuery(), connectionName, m_tabs))
{
    setObjectName(QStringLiteral("MainWindow"));
    m_tabs->setObjectName(QStringLiteral("screens"));
    m_serial->setObjectName(QStringLiteral("serialScreen"));
    m_items->setObjectName(QStringLiteral("itemScreen"));
    m_tabs->addTab(m_serial, QString());
    m_tabs->addTab(m_items, QString());
    setCentralWidget(m_tabs);

    m_filterMenu = menuBar()->addMenu(QString());
    m_filterMenu->setObjectName(QStringLiteral("menuFilter"));
    m_filterAction = m_filterMenu->addAction(QString(), this, &MainWindow::openFilter);
    m_filterAction->setObjectName(QStringLiteral("actionFilter"));
    m_filterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_clearAction = m_filterMenu->addAction(QString(), this, &MainWindow::clearFilter);
    m_clearAction->setObjectName(QStringLiteral("actionClear"));
    m_filterMenu->addSeparator();
    m_quitAction = m_filterMenu->addAction(QString(), this, &QWidget::close);
    m_quitAction->setShortcut(QKeySequence::Quit);

    m_languageMenu = menuBar()->addMenu(QString());
    m_languageMenu->setObjectName(QStringLiteral("menuLanguage"));
    auto *languages = new QActionGroup(this);
    const auto choose = [this](const QString &code) {
        setLanguage(code);
        Q_EMIT languageChosen(code);
    };
    m_chineseAction =
        m_languageMenu->addAction(QString(), this, [choose] { choose(QStringLiteral("chs")); });
    m_chineseAction->setObjectName(QStringLiteral("actionChinese"));
    m_englishAction =
        m_languageMenu->addAction(QString(), this, [choose] { choose(QStringLiteral("en")); });
    m_englishAction->setObjectName(QStringLiteral("actionEnglish"));
    for (QAction *action : {m_chineseAction, m_englishAction}) {
        action->setCheckable(true);
        languages->addAction(action);
    }

    m_helpMenu = menuBar()->addMenu(QString());
    m_helpMenu->setObjectName(QStringLiteral("menuHelp"));
    m_helpAction = m_helpMenu->addAction(QString(), this, &MainWindow::showHelp);
    m_helpAction->setObjectName(QStringLiteral("actionHelp"));
    m_helpAction->setShortcut(QKeySequence(Qt::Key_F1));

    QToolBar *tools = addToolBar(QStringLiteral("tools"));
    tools->setObjectName(QStringLiteral("tools"));
    tools->setMovable(false);
    tools->addAction(m_filterAction);
    tools->addAction(m_clearAction);

    m_serialFilter.setSerialUse(true);
    m_serialFilter.setSerialDesc(m_serialDescription);
    m_serialFilter.setScreenID(QStringLiteral("SerialList"));
    m_itemFilter.setSerialUse(false);
    m_itemFilter.setCommonFields(m_itemDescription);
    // The dialogs count the matching records while the user writes the condition.
    m_engine = engineOf(connectionName);
    m_serialFilter.setMatchCounter(recordCounter(connectionName, m_serial->query()), m_engine);
    m_itemFilter.setMatchCounter(recordCounter(connectionName, m_items->query()), m_engine);

    resize(QSize(1100, 640).boundedTo(screen()->availableGeometry().size()));
    setLanguage(language);
    m_serial->apply(QString(), QString());
    m_items->apply(QString(), QString());
}

HostScreen *MainWindow::currentScreen() const
{
    return m_tabs->currentWidget() == m_items ? m_items : m_serial;
}

Filter &MainWindow::filterFor(const HostScreen *screen)
{
    return screen == m_items ? m_itemFilter : m_serialFilter;
}

void MainWindow::openFilter()
{
    HostScreen *screen = currentScreen();
    Filter &filter = filterFor(screen);
    try {
        filter.ShowFilterForm();
    } catch (...) {
        alertFailure();
        return;
    }
    if (filter.Cancel())
        return; // a cancelled dialog leaves the list as it was
    screen->apply(filter.FilterText(), filter.FilterSQL(), filter.FilterQuery(m_engine),
                  filter.FilterScheme());
}

void MainWindow::clearFilter()
{
    // A dialog reopened later must not bring back the filter the user has just dropped.
    HostScreen *screen = currentScreen();
    filterFor(screen).clearLastCondition();
    screen->apply(QString(), QString());
}

void MainWindow::showHelp()
{
    try {
        // One help component for the window, as the dialog keeps one for F1.
        if (!m_help)
            m_help = createComponent<HelpComponent>(ComponentId::help());
        qint32 first = 0;
        QString topic = QStringLiteral("ICSerialFilter");
        qint32 serialFlag = currentScreen() == m_serial ? 1 : 0;
        QString subSystem;
        qint32 last = 0;
        m_help->ShowHELP(first, 0, topic, serialFlag, subSystem, last);
    } catch (...) {
        alertFailure();
    }
}

void MainWindow::setLanguage(const QString &language)
{
    m_language = language;
    ContextStore::setPropsString(propsString(language, m_dataFolder));
    // The component caches its language and loaders; forget them so the new code is read.
    Language::reload();
    // The dialog lists the fields by the descriptions' captions, which follow the language.
    m_serialDescription = serialDescription();
    m_itemDescription = itemDescription();
    m_serialFilter.setSerialDesc(m_serialDescription);
    m_itemFilter.setCommonFields(m_itemDescription);
    (language == QLatin1String("en") ? m_englishAction : m_chineseAction)->setChecked(true);
    retranslate();
}

void MainWindow::retranslate()
{
    setWindowTitle(localized(Texts::windowTitle()));
    m_tabs->setTabText(0, localized(Texts::serialTab()));
    m_tabs->setTabText(1, localized(Texts::itemsTab()));
    m_filterMenu->setTitle(localized(Texts::menuFilter()));
    m_filterAction->setText(localized(Texts::actionFilter()));
    m_clearAction->setText(localized(Texts::actionClear()));
    m_quitAction->setText(localized(Texts::actionQuit()));
    m_languageMenu->setTitle(localized(Texts::menuLanguage()));
    m_chineseAction->setText(localized(Texts::chinese()));
    m_englishAction->setText(localized(Texts::english()));
    m_helpMenu->setTitle(localized(Texts::menuHelp()));
    m_helpAction->setText(localized(Texts::actionHelp()));
    m_serial->retranslate(m_serialDescription);
    m_items->retranslate(m_itemDescription);
}

} // namespace NxSerialFilter::Demo
