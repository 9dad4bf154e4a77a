// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "lookupwindow.h"

#include "demotexts.h"
#include <NxSerialFilter/language.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace NxSerialFilter::Demo {

namespace {

QString localized(const QString &key)
{
    return Language::text(key);
}

/// A LIKE pattern that finds text anywhere, with the user's % and _ taken literally.
QString containsPattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

LookupCatalog::LookupCatalog(QString connectionName)
    : m_connectionName(std::move(connectionName))
{}

QList<LookupItem> LookupCatalog::find(Source source, int lookupClass, const QString &search,
                                      int limit) const
{
    const bool items = source == Source::Items;
    QSqlQuery query(QSqlDatabase::database(m_connectionName));
    query.prepare(items ? QStringLiteral("SELECT FNumber, FName, FFullName FROM t_Item WHERE "
                                         "FItemClassID = ? AND (FNumber LIKE ? ESCAPE '\\' OR "
                                         "FName LIKE ? ESCAPE '\\') ORDER BY FNumber LIMIT ?")
                        : QStringLiteral("SELECT FID, FName, FName FROM t_SubMessage WHERE "
                                         "FTypeID = ? AND (FID LIKE ? ESCAPE '\\' OR FName LIKE ? "
                                         "ESCAPE '\\') ORDER BY FID LIMIT ?"));
    const QString pattern = containsPattern(search.trimmed());
    query.addBindValue(lookupClass);
    query.addBindValue(pattern);
    query.addBindValue(pattern);
    query.addBindValue(limit);
    QList<LookupItem> rows;
    if (!query.exec())
        return rows;
    while (query.next())
        rows.append(
            {query.value(1).toString(), query.value(2).toString(), query.value(0).toString()});
    return rows;
}

QStringList LookupCatalog::missing(Source source, int lookupClass, bool byNumber,
                                   const QStringList &values) const
{
    const bool items = source == Source::Items;
    const QString column = items ? (byNumber ? QStringLiteral("FNumber") : QStringLiteral("FName"))
                                 : (byNumber ? QStringLiteral("FID") : QStringLiteral("FName"));
    // One JSON text binds the whole list, however long it is.
    QSqlQuery query(QSqlDatabase::database(m_connectionName));
    query.prepare(QStringLiteral("SELECT value FROM json_each(?) WHERE value NOT IN (SELECT ") +
                  column +
                  (items ? QStringLiteral(" FROM t_Item WHERE FItemClassID = ?)")
                         : QStringLiteral(" FROM t_SubMessage WHERE FTypeID = ?)")) +
                  QStringLiteral(" ORDER BY key"));
    query.addBindValue(QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact)));
    query.addBindValue(lookupClass);
    QStringList unknown;
    if (!query.exec())
        return unknown; // cannot tell: nothing is listed
    while (query.next())
        unknown.append(query.value(0).toString());
    return unknown;
}

LookupDialog::LookupDialog(const LookupCatalog &catalog, LookupCatalog::Source source,
                           int lookupClass, QWidget *parent)
    : QDialog(parent)
    , m_catalog(catalog)
    , m_source(source)
    , m_class(lookupClass)
{
    setObjectName(QStringLiteral("GLView"));
    setWindowTitle(localized(Texts::lookupTitle()));
    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(localized(Texts::lookupSearch()), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setClearButtonEnabled(true);
    searchRow->addWidget(m_search);
    layout->addLayout(searchRow);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstItems"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({localized(Texts::lookupNumber()), localized(Texts::lookupName()),
                             localized(Texts::lookupFullName())});
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(localized(Texts::ok()), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    buttons->addButton(localized(Texts::cancel()), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    resize(520, 380);

    connect(m_search, &QLineEdit::textChanged, this, &LookupDialog::refill);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &LookupDialog::choose);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { m_ok->setEnabled(current != nullptr); });
    connect(buttons, &QDialogButtonBox::accepted, this, &LookupDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Up and Down in the search line move through the list, so typing and choosing need no
    // change of focus.
    m_search->installEventFilter(this);
    refill(QString());
}

void LookupDialog::refill(const QString &search)
{
    m_rows = m_catalog.find(m_source, m_class, search);
    m_list->clear();
    for (const LookupItem &row : std::as_const(m_rows))
        new QTreeWidgetItem(m_list, {row.Number, row.Name, row.FullName});
    m_list->setCurrentItem(m_list->topLevelItem(0));
    m_ok->setEnabled(!m_rows.isEmpty());
}

void LookupDialog::choose()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_rows.size())
        return;
    m_result.ReturnOK = true;
    m_result.ReturnObject = m_rows.at(row);
    accept();
}

bool LookupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            QApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

LookupWindow::LookupWindow(QString connectionName)
    : m_catalog(std::move(connectionName))
{}

LookupResult LookupWindow::itemlookup(qint32 &lookupClass, const QVariant &filter,
                                      KeyedValuesPtr &options)
{
    Q_UNUSED(filter)
    Q_UNUSED(options)
    return run(LookupCatalog::Source::Items, lookupClass);
}

LookupResult LookupWindow::SubMesLookup(qint32 &lookupClass)
{
    return run(LookupCatalog::Source::SubMessages, lookupClass);
}

QStringList LookupWindow::unknownValues(const LookupCheck &check, const QStringList &values)
{
    return m_catalog.missing(check.subMessages ? LookupCatalog::Source::SubMessages
                                               : LookupCatalog::Source::Items,
                             check.lookupClass, check.byNumber, values);
}

LookupResult LookupWindow::run(LookupCatalog::Source source, int lookupClass)
{
    LookupDialog dialog(m_catalog, source, lookupClass, QApplication::activeModalWidget());
    dialog.exec();
    return dialog.result();
}

void registerLookupWindow(const QString &connectionName)
{
    ComponentRegistry::instance().registerFactory(ComponentId::lookupWindow(), [connectionName] {
        return std::make_shared<LookupWindow>(connectionName);
    });
}

} // namespace NxSerialFilter::Demo
