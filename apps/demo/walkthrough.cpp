// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "walkthrough.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/sqlbuilder.h"
#include "core/support/mparse.h"
#include "core/support/texts.h"
#include "lookupwindow.h"
#include "mainwindow.h"
#include "uidriver.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/matchcount.h"
#include "widgets/schemes/schemelistview.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>
#include <QToolBar>
#include <QTreeWidget>

namespace NxSerialFilter::Demo {

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString localized(const QString &key)
{
    return MParse::LoadLangString(key);
}

/// Condition words written in Chinese, in the current language: the grid's words and the
/// captions translated, the values (which have no translation) as they are.
QString inCurrentLanguage(const QString &chineseWords)
{
    QStringList tokens = chineseWords.split(u' ');
    for (QString &token : tokens) {
        const bool open = token.startsWith(u'(');
        const bool close = token.endsWith(u')');
        const QString word = token.mid(open ? 1 : 0, token.size() - int(open) - int(close));
        token = (open ? QStringLiteral("(") : QString()) + localized(word) +
                (close ? QStringLiteral(")") : QString());
    }
    return tokens.join(u' ');
}

/// A text literal as the condition writes it: quotes doubled, in single quotes.
QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

/// The condition text for rows given as the pieces each row appends: trimmed, then wrapped
/// twice.
QString wrapped(const QStringList &pieces)
{
    const QString body = pieces.join(QString()).trimmed();
    return body.isEmpty() ? QString() : QStringLiteral(" ( (") + body + QStringLiteral(") ) ");
}

} // namespace

int WalkthroughAlerts::present(const QString &message, int style, const QString &title)
{
    Q_UNUSED(title)
    shown.append({message, style});
    out() << "  alert (style " << style << "): " << message << '\n';
    out().flush();
    return style == nxAlert::Question ? nxAlert::AnswerYes : nxAlert::AnswerOk;
}

Walkthrough::Walkthrough(MainWindow &window, QString connectionName, QString screenshotFolder)
    : m_window(window)
    , m_connectionName(std::move(connectionName))
    , m_screenshots(std::move(screenshotFolder))
{}

bool Walkthrough::check(bool ok, const QString &what)
{
    ++m_checks;
    if (!ok)
        ++m_failures;
    out() << (ok ? "  ok    " : "  FAIL  ") << what << '\n';
    out().flush();
    return ok;
}

void Walkthrough::note(const QString &line)
{
    out() << line << '\n';
    out().flush();
}

void Walkthrough::shoot(QWidget *widget, const QString &name)
{
    const QString file = QDir(m_screenshots).filePath(name + QStringLiteral(".png"));
    check(widget && widget->grab().save(file), QStringLiteral("screenshot ") + file);
}

qint64 Walkthrough::directCount(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName));
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

QStringList Walkthrough::unexpectedAlerts(const QList<int> &allowedStyles)
{
    QStringList unexpected;
    for (qsizetype i = m_alertsSeen; i < m_alerts->shown.size(); ++i) {
        const auto &alert = m_alerts->shown.at(i);
        if (!allowedStyles.contains(alert.style))
            unexpected << alert.message;
    }
    m_alertsSeen = m_alerts->shown.size();
    return unexpected;
}

bool Walkthrough::withFilterDialog(const QString &what,
                                   const std::function<void(frmFilter &)> &session)
{
    bool handled = false;
    bool seen = false;
    Ui::whenModalShows(
        nullptr,
        [&](QWidget *modal) {
            auto *form = qobject_cast<frmFilter *>(modal);
            if (check(form != nullptr,
                      what + QStringLiteral(": Ctrl+F opened the filter dialog"))) {
                seen = true;
                Ui::activate(form);
                session(*form);
                if (!check(!form->isVisible(), what + QStringLiteral(": the dialog closed")))
                    Ui::click(form->CmdCancel());
            } else if (modal) {
                modal->close();
            }
            handled = true;
        },
        10000);
    Ui::activate(&m_window);
    Ui::key(&m_window, Qt::Key_F, Qt::ControlModifier);
    Ui::waitUntil([&] { return handled; }, 12000);
    return seen;
}

bool Walkthrough::chooseItem(frmFilter &form, int row, int col, const QString &text)
{
    const bool clicked = Ui::clickCell(form.vspFilter(), row - 1, col - 1);
    Ui::key(form.vspFilter(), Qt::Key_F2);
    QComboBox *combo = Ui::focusedCombo();
    const bool picked = clicked && Ui::pickInCombo(combo, text);
    Ui::settle();
    const bool ok = picked && form.grid().GetCellText(row, col) == text;
    QString what = QStringLiteral("row %1, column %2: picked %3")
                       .arg(QString::number(row), QString::number(col), text);
    if (!ok) {
        // Say where it went wrong: the click, the list editor, or the value it left.
        what += QStringLiteral(" (clicked %1, list editor %2, cell reads %3)")
                    .arg(QString::number(clicked), QString::number(combo != nullptr),
                         form.grid().GetCellText(row, col));
    }
    return check(ok, what);
}

bool Walkthrough::typeInto(frmFilter &form, int row, int col, const QString &keys, bool selectAll,
                           const QString &shown)
{
    const QString &text = shown.isEmpty() ? keys : shown;
    const bool clicked = Ui::clickCell(form.vspFilter(), row - 1, col - 1);
    if (col == ConditionGrid::ColLeftParen || col == ConditionGrid::ColRightParen) {
        // Typing straight into the grid opens the cell's editor with the first character.
        Ui::type(keys);
    } else {
        Ui::key(form.vspFilter(), Qt::Key_F2);
        if (selectAll)
            Ui::key(Qt::Key_A, Qt::ControlModifier);
        Ui::type(keys);
    }
    // Return on the grid itself would press the dialog's default button.
    if (QApplication::focusWidget() != form.vspFilter())
        Ui::key(Qt::Key_Return);
    return check(clicked && form.grid().GetCellText(row, col) == text,
                 QStringLiteral("row %1, column %2: typed %3 (cell reads %4)")
                     .arg(QString::number(row), QString::number(col), text,
                          form.grid().GetCellText(row, col)));
}

bool Walkthrough::pickWithF7(frmFilter &form, int row, const QString &search, QString *picked)
{
    Ui::clickCell(form.vspFilter(), row - 1, ConditionGrid::ColValue - 1);
    check(!form.LblMsg()->text().isEmpty(), QStringLiteral("row %1: the hint offers F7 (%2)")
                                                .arg(QString::number(row), form.LblMsg()->text()));
    bool handled = false;
    Ui::whenModalShows(&form, [&](QWidget *modal) {
        handled = true;
        auto *window = qobject_cast<LookupDialog *>(modal);
        if (!check(window != nullptr,
                   QStringLiteral("row %1: F7 opened the look-up window").arg(row))) {
            if (modal)
                modal->close();
            return;
        }
        auto *searchLine = window->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
        auto *list = window->findChild<QTreeWidget *>(QStringLiteral("lstItems"));
        Ui::activate(window);
        searchLine->setFocus();
        Ui::type(search, searchLine);
        QTreeWidgetItem *current = list->currentItem();
        if (check(current != nullptr && searchLine->text() == search,
                  QStringLiteral("look-up: searching %1 found %2 rows")
                      .arg(search)
                      .arg(list->topLevelItemCount()))) {
            picked[0] = current->text(0); // number
            picked[1] = current->text(1); // name
        }
        if (!m_lookupShot) {
            m_lookupShot = true;
            shoot(window, QStringLiteral("lookup-window"));
        }
        Ui::key(searchLine, Qt::Key_Return);
        if (!check(!window->isVisible(), QStringLiteral("look-up: Return chose the row")))
            window->reject();
    });
    Ui::key(form.vspFilter(), Qt::Key_F7);
    Ui::waitUntil([&] { return handled; }, 6000);
    Ui::activate(&form);
    return handled;
}

bool Walkthrough::clickScheme(frmFilter &form, const QString &text)
{
    SchemeListView *list = form.lstFilter();
    for (int i = 1; i <= list->count(); ++i) {
        if (list->text(i) != text)
            continue;
        auto *area = qobject_cast<QAbstractScrollArea *>(list->currentView());
        QWidget *target = area ? area->viewport() : list->currentView();
        Ui::clickAt(target, list->itemRect(i).center());
        return check(list->selectedIndex() == i, QStringLiteral("scheme list: picked ") + text);
    }
    return check(false, QStringLiteral("scheme list: no item ") + text);
}

bool Walkthrough::saveSchemeAs(frmFilter &form, const QString &name)
{
    auto *save = form.toolbar()->findChild<QAction *>(QStringLiteral("Save"));
    QWidget *button = save ? form.toolbar()->widgetForAction(save) : nullptr;
    if (!check(button != nullptr, QStringLiteral("toolbar: the Save button")))
        return false;
    bool handled = false;
    Ui::whenModalShows(&form, [&](QWidget *modal) {
        handled = true;
        if (!check(modal != nullptr, QStringLiteral("Save opened the scheme name dialog")))
            return;
        auto *edit = modal->findChild<QLineEdit *>();
        if (!check(edit != nullptr, QStringLiteral("scheme name dialog: a text box"))) {
            modal->close();
            return;
        }
        Ui::activate(modal);
        edit->setFocus();
        Ui::key(edit, Qt::Key_A, Qt::ControlModifier);
        Ui::type(name, edit);
        shoot(modal, QStringLiteral("scheme-name"));
        Ui::key(edit, Qt::Key_Return);
        if (modal->isVisible()) {
            // No default button took Return: press the first button, which confirms.
            if (auto *ok = modal->findChild<QPushButton *>())
                Ui::click(ok);
        }
        if (!check(!modal->isVisible(), QStringLiteral("scheme name dialog: confirmed ") + name))
            modal->close();
    });
    Ui::click(button);
    Ui::waitUntil([&] { return handled; }, 6000);
    Ui::activate(&form);
    const QStringList alerts = unexpectedAlerts({nxAlert::Question});
    check(alerts.isEmpty(), QStringLiteral("saving showed no failure ") + alerts.join(u'/'));
    int named = 0;
    for (int i = 1; i <= form.lstFilter()->count(); ++i)
        named += form.lstFilter()->text(i) == name ? 1 : 0;
    return check(named == 1, QStringLiteral("scheme list: exactly one scheme named ") + name);
}

QStringList Walkthrough::gridRows(frmFilter &form, int rows)
{
    QStringList lines;
    const ConditionGrid &grid = form.grid();
    for (int r = 1; r <= rows && r <= grid.MaxRows(); ++r) {
        QStringList cells;
        for (int c : {1, 2, 3, 4, 5, 7})
            cells << grid.GetCellText(r, c);
        lines << cells.join(u'|');
    }
    return lines;
}

void Walkthrough::serialSession(frmFilter &form)
{
    ConditionGrid &grid = form.grid();
    const QStringList fields = grid.columnItems(ConditionGrid::ColField);
    const QStringList expectedFields{
        localized(Texts::noField()), QStringLiteral("序列号"),   QStringLiteral("物料"),
        QStringLiteral("仓库"),      QStringLiteral("等级"),     QStringLiteral("入库日期"),
        QStringLiteral("单据编号"),  QStringLiteral("单据内码"), QStringLiteral("数量"),
        QStringLiteral("颜色"),      QStringLiteral("保修截止"), QStringLiteral("备注"),
        QStringLiteral("批号")};
    check(fields == expectedFields,
          QStringLiteral("field list hides status, validity, keys and predefined fields: ") +
              fields.join(u','));

    const QString equal = localized(Texts::compareEqual());
    // Row 1: "(" 物料 等于 <item picked with F7>
    typeInto(form, 1, ConditionGrid::ColLeftParen, QStringLiteral("("));
    chooseItem(form, 1, ConditionGrid::ColField, QStringLiteral("物料"));
    check(grid.GetCellText(1, ConditionGrid::ColCompare) == equal,
          QStringLiteral("row 1: choosing a field set the comparison to ") + equal);
    QString item[2];
    pickWithF7(form, 1, QStringLiteral("轴承"), item);
    m_item = item[1];
    check(!m_item.isEmpty() && grid.GetCellText(1, ConditionGrid::ColValue) == m_item,
          QStringLiteral("row 1: F7 wrote the item name ") + m_item);
    // Row 2: 或者 颜色 等于 <colour picked with F7> ")"
    chooseItem(form, 2, ConditionGrid::ColField, QStringLiteral("颜色"));
    chooseItem(form, 2, ConditionGrid::ColLogic, localized(Texts::logicOr()));
    QString colour[2];
    pickWithF7(form, 2, QStringLiteral("红"), colour);
    m_colour = colour[1];
    check(m_colour == QStringLiteral("红色") &&
              grid.GetCellText(2, ConditionGrid::ColValue) == m_colour,
          QStringLiteral("row 2: F7 wrote the colour ") + m_colour);
    typeInto(form, 2, ConditionGrid::ColRightParen, QStringLiteral(")"));
    // Row 3: 并且 数量 大于或等于 50
    chooseItem(form, 3, ConditionGrid::ColField, QStringLiteral("数量"));
    check(grid.GetCellText(3, ConditionGrid::ColValue) == QStringLiteral("0"),
          QStringLiteral("row 3: a number field starts at 0"));
    chooseItem(form, 3, ConditionGrid::ColCompare, localized(Texts::compareGreaterOrEqual()));
    typeInto(form, 3, ConditionGrid::ColValue, QStringLiteral("50"));
    // Row 4: 并且 入库日期 大于或等于 2023-01-01
    chooseItem(form, 4, ConditionGrid::ColField, QStringLiteral("入库日期"));
    check(grid.GetCellText(4, ConditionGrid::ColValue) ==
              QDate::currentDate().toString(Qt::ISODate),
          QStringLiteral("row 4: a date field starts at today's date"));
    chooseItem(form, 4, ConditionGrid::ColCompare, localized(Texts::compareGreaterOrEqual()));
    // The date editor takes the digits section by section, moving on when one is full.
    typeInto(form, 4, ConditionGrid::ColValue, QStringLiteral("20230101"), false,
             QStringLiteral("2023-01-01"));
    // Row 5: 并且 序列号 包含 7
    chooseItem(form, 5, ConditionGrid::ColField, QStringLiteral("序列号"));
    chooseItem(form, 5, ConditionGrid::ColCompare, localized(Texts::compareContains()));
    typeInto(form, 5, ConditionGrid::ColValue, QStringLiteral("7"));
    // Row 6: 并且 保修截止 不为空
    chooseItem(form, 6, ConditionGrid::ColField, QStringLiteral("保修截止"));
    chooseItem(form, 6, ConditionGrid::ColCompare, localized(Texts::compareIsNotEmpty()));
    check(grid.isLocked(6, ConditionGrid::ColValue) &&
              grid.GetCellText(6, ConditionGrid::ColValue).isEmpty(),
          QStringLiteral("row 6: an empty test empties and locks the value"));
    check(grid.MaxRows() >= 7 && grid.GetCellText(7, ConditionGrid::ColField).isEmpty(),
          QStringLiteral("an empty row follows the last condition"));

    m_savedRows = gridRows(form, 7);
    note(QStringLiteral("  grid: ") + m_savedRows.join(QStringLiteral(" / ")));
    check(unexpectedAlerts().isEmpty(), QStringLiteral("editing showed no alert"));

    // Save under a name, clear with the new-scheme item, then load the scheme again.
    m_schemeName = QStringLiteral("轴承或红色2023年起");
    saveSchemeAs(form, m_schemeName);
    clickScheme(form, localized(Texts::newScheme()));
    bool empty = true;
    for (int r = 1; r <= grid.MaxRows(); ++r)
        empty = empty && grid.GetCellText(r, ConditionGrid::ColField).isEmpty();
    check(empty, QStringLiteral("the new-scheme item emptied the grid"));
    // The live count: the empty grid matches every record.
    const QString matching = localized(Texts::matchingRecords());
    const QLabel *countLine = form.LblCount();
    const bool everyRecord = Ui::waitUntil(
        [&] { return countLine->toolTip() == matching + QString::number(m_total); }, 10000);
    check(everyRecord, QStringLiteral("live count: the empty grid matches every record (%1)")
                           .arg(countLine->toolTip()));
    clickScheme(form, m_schemeName);
    QElapsedTimer sinceChange;
    sinceChange.start();
    check(gridRows(form, 7) == m_savedRows,
          QStringLiteral("the saved scheme brought every row back: ") +
              gridRows(form, 7).join(QStringLiteral(" / ")));
    check(unexpectedAlerts().isEmpty(), QStringLiteral("the scheme list showed no alert"));

    // A moment after the scheme loaded, the line shows what the host's own query of the grid's
    // condition finds.
    const bool counted = Ui::waitUntil(
        [&] {
            const QString line = countLine->toolTip();
            return line.startsWith(matching) && line != matching + QString::number(m_total);
        },
        10000);
    const qint64 shownAfter = sinceChange.elapsed();
    const BoundCondition bound = SqlBuilder::composeBound(form.grid());
    QElapsedTimer queryTime;
    queryTime.start();
    m_liveCount = directCount(serialQuery().countSql(bound.sql), bound.values);
    const qint64 queryMs = queryTime.elapsed();
    note(QStringLiteral("live count: %1 shown %2 ms after the scheme loaded; the direct query "
                        "alone takes %3 ms, the grid settles for %4 ms")
             .arg(countLine->toolTip())
             .arg(shownAfter)
             .arg(queryMs)
             .arg(MatchCount::settleMs));
    check(counted && countLine->toolTip() == matching + QString::number(m_liveCount),
          QStringLiteral("live count: the dialog shows the direct query's %1").arg(m_liveCount));
    // Generous: a loaded machine may take longer, but not seconds.
    check(shownAfter < MatchCount::settleMs + queryMs + 1000,
          QStringLiteral("live count: shown soon after the last change"));

    shoot(&form, QStringLiteral("filter-dialog"));
    Ui::click(form.CmdOK());
    check(unexpectedAlerts().isEmpty(), QStringLiteral("OK showed no alert"));
}

void Walkthrough::cancelSession(frmFilter &form)
{
    clickScheme(form, m_schemeName);
    check(form.grid().GetCellText(1, ConditionGrid::ColField) == QStringLiteral("物料"),
          QStringLiteral("a new dialog offers the saved scheme"));
    Ui::click(form.CmdCancel());
}

void Walkthrough::itemSession(frmFilter &form)
{
    ConditionGrid &grid = form.grid();
    chooseItem(form, 1, ConditionGrid::ColField, QStringLiteral("名称"));
    chooseItem(form, 1, ConditionGrid::ColCompare, localized(Texts::compareContains()));
    typeInto(form, 1, ConditionGrid::ColValue, QStringLiteral("电机"));
    chooseItem(form, 2, ConditionGrid::ColField, QStringLiteral("单价"));
    chooseItem(form, 2, ConditionGrid::ColCompare, localized(Texts::compareGreater()));
    typeInto(form, 2, ConditionGrid::ColValue, QStringLiteral("100"));
    chooseItem(form, 3, ConditionGrid::ColField, QStringLiteral("代码"));
    chooseItem(form, 3, ConditionGrid::ColCompare, localized(Texts::compareNotEqual()));
    QString item[2];
    pickWithF7(form, 3, QStringLiteral("电机"), item);
    m_itemNumber = item[0];
    check(!m_itemNumber.isEmpty() && grid.GetCellText(3, ConditionGrid::ColValue) == m_itemNumber,
          QStringLiteral("row 3: F7 wrote the item number ") + m_itemNumber);
    shoot(&form, QStringLiteral("filter-dialog-items"));
    Ui::click(form.CmdOK());
    check(unexpectedAlerts().isEmpty(), QStringLiteral("OK showed no alert"));
}

void Walkthrough::englishSession(frmFilter &form)
{
    const QString caption = localized(Texts::filterCaption());
    check(form.windowTitle() == caption && caption != Texts::filterCaption(),
          QStringLiteral("the dialog speaks English: ") + form.windowTitle());
    const QString everyRecord = localized(Texts::matchingRecords()) + QString::number(m_total);
    check(Ui::waitUntil([&] { return form.LblCount()->toolTip() == everyRecord; }, 10000),
          QStringLiteral("live count in English: ") + everyRecord);
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    const QStringList fields = form.grid().columnItems(ConditionGrid::ColField);
    check(!fields.isEmpty() && fields.filter(han).isEmpty(),
          QStringLiteral("the fields are listed in English: ") + fields.join(u','));
    shoot(&form, QStringLiteral("filter-dialog-en"));
    Ui::click(form.CmdCancel());
}

bool Walkthrough::chooseLanguage(const QString &objectName)
{
    QMenuBar *bar = m_window.menuBar();
    auto *menu = m_window.findChild<QMenu *>(QStringLiteral("menuLanguage"));
    auto *action = m_window.findChild<QAction *>(objectName);
    if (!menu || !action)
        return check(false, QStringLiteral("language menu: ") + objectName);
    Ui::clickAt(bar, bar->actionGeometry(menu->menuAction()).center());
    Ui::waitUntil([menu] { return menu->isVisible(); }, 2000);
    Ui::clickAt(menu, menu->actionGeometry(action).center());
    return check(action->isChecked() && !menu->isVisible(),
                 QStringLiteral("language menu: chose ") + action->text());
}

void Walkthrough::checkConditionLine(HostScreen *screen)
{
    auto *line = screen->findChild<ElidedLabel *>(QStringLiteral("lblCondition"));
    if (!check(line != nullptr, QStringLiteral("condition line: the label")))
        return;
    const QRect area = m_window.screen()->availableGeometry();
    check(m_window.width() <= area.width() && line->width() <= m_window.width() &&
              line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width(),
          QStringLiteral("condition line: fits the window (%1 px), the window fits the screen "
                         "(%2 of %3 px)")
              .arg(line->width())
              .arg(m_window.width())
              .arg(area.width()));
    const bool fits =
        line->fontMetrics().horizontalAdvance(line->fullText()) <= line->contentsRect().width();
    check((fits ? line->text() == line->fullText() : line->text().endsWith(QChar(0x2026))) &&
              line->fullText().endsWith(screen->conditionText()) &&
              line->toolTip().contains(screen->condition().trimmed().toHtmlEscaped()),
          QStringLiteral("condition line: the condition in words, elided when too long; the "
                         "SQL in the tool tip"));
}

void Walkthrough::checkHeaders(bool english)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    for (HostScreen *screen : {m_window.serialScreen(), m_window.itemScreen()}) {
        const QAbstractItemModel *model = screen->view()->model();
        const QStringList &captions = screen->query().captions;
        QStringList wrong;
        for (int i = 0; i < captions.size(); ++i) {
            const QString header = model->headerData(i, Qt::Horizontal).toString();
            if (header != localized(captions.at(i)) || header.contains(han) == english)
                wrong << header;
        }
        check(model->columnCount() == captions.size() && wrong.isEmpty(),
              screen->objectName() +
                  QStringLiteral(": the column headers are in the chosen language ") +
                  wrong.join(u','));
    }
}

int Walkthrough::run()
{
    m_clock.start();
    m_alerts = std::make_shared<WalkthroughAlerts>();
    nxAlert::setPresenter(m_alerts);
    QDir().mkpath(m_screenshots);

    m_window.show();
    m_window.activateWindow();
    Ui::waitUntil([this] { return m_window.isActiveWindow(); }, 3000);

    HostScreen *serial = m_window.serialScreen();
    const qint64 total = directCount(QStringLiteral("SELECT COUNT(*) FROM t_SerialNumber"), {});
    m_total = total;
    note(QStringLiteral("serial list: %1 records").arg(total));
    check(total >= 100000 && serial->recordCount() == total,
          QStringLiteral("the host lists every record before filtering"));
    check(serial->view()->model()->rowCount() < total &&
              serial->view()->model()->canFetchMore(QModelIndex()),
          QStringLiteral("the list fetches rows as the user scrolls (%1 fetched)")
              .arg(serial->view()->model()->rowCount()));
    shoot(&m_window, QStringLiteral("host-window"));

    // 1. Filter the serial list.
    note(QStringLiteral("-- serial list: filter dialog, look-ups, scheme saved and loaded"));
    Filter &serialFilter = m_window.filterFor(serial);
    if (withFilterDialog(QStringLiteral("serial list"),
                         [this](frmFilter &form) { serialSession(form); })) {
        const QString expected = wrapped({QStringLiteral(" ("),
                                          QStringLiteral(" t_FITEMID.FName"),
                                          QStringLiteral(" ="),
                                          QLatin1Char(' ') + quoted(m_item) + QLatin1Char(' '),
                                          QStringLiteral(" "),
                                          QStringLiteral(" Or"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" t_FCOLOR.FName"),
                                          QStringLiteral(" ="),
                                          QLatin1Char(' ') + quoted(m_colour) + QLatin1Char(' '),
                                          QStringLiteral(" )"),
                                          QStringLiteral(" And"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" tf.FQTY"),
                                          QStringLiteral(" >="),
                                          QStringLiteral(" 50"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" And"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" tf.FINDATE"),
                                          QStringLiteral(" >="),
                                          QStringLiteral(" '2023-01-01' "),
                                          QStringLiteral(" "),
                                          QStringLiteral(" And"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" tf.FSERIALNUM"),
                                          QStringLiteral(" Like"),
                                          QStringLiteral(" '%7%' "),
                                          QStringLiteral(" "),
                                          QStringLiteral(" And"),
                                          QStringLiteral(" "),
                                          QStringLiteral(" (tf.FWARRANTY"),
                                          QStringLiteral(" Is not null"),
                                          QStringLiteral(" and tf.FWARRANTY<>'' )"),
                                          QStringLiteral(" ")});
        note(QStringLiteral("FilterSQL: [") + serialFilter.FilterSQL() + QLatin1Char(']'));
        check(!serialFilter.Cancel(), QStringLiteral("Cancel is false after OK"));
        check(serialFilter.FilterSQL() == expected,
              QStringLiteral("FilterSQL is the condition of the rows: [") + expected +
                  QLatin1Char(']'));
        check(serial->condition() == serialFilter.FilterSQL(),
              QStringLiteral("the host ran its query with FilterSQL"));
        const QString words =
            QStringLiteral("(物料 等于 %1 或者 颜色 等于 %2) 并且 数量 大于或等于 50 并且 入库日期 "
                           "大于或等于 2023-01-01 并且 序列号 包含 7 并且 保修截止 不为空")
                .arg(m_item, m_colour);
        note(QStringLiteral("FilterText: [") + serialFilter.FilterText() + QLatin1Char(']'));
        m_serialWords = words;
        check(serialFilter.FilterText() == words && serial->conditionText() == words,
              QStringLiteral("FilterText is the condition in the grid's words, and the host "
                             "shows it"));
        const qint64 direct = directCount(
            QStringLiteral("SELECT COUNT(*) FROM ") + serialQuery().from +
                QStringLiteral(" WHERE (t_FITEMID.FName = ? OR t_FCOLOR.FName = ?) AND "
                               "tf.FQTY >= ? AND tf.FINDATE >= ? AND tf.FSERIALNUM LIKE ? AND "
                               "tf.FWARRANTY IS NOT NULL AND tf.FWARRANTY <> ''"),
            {m_item, m_colour, 50, QStringLiteral("2023-01-01"), QStringLiteral("%7%")});
        note(QStringLiteral("matching records, host query with FilterSQL: %1 (%2 ms)")
                 .arg(serial->recordCount())
                 .arg(serial->queryMs()));
        note(
            QStringLiteral("matching records, direct query with bound parameters: %1").arg(direct));
        check(direct == serial->recordCount(), QStringLiteral("both counts agree"));
        check(m_liveCount == direct,
              QStringLiteral("the dialog's live count was the count of the confirmed condition"));
        check(direct > 0 && direct < total, QStringLiteral("the filter kept some records"));
        checkConditionLine(serial);
        shoot(&m_window, QStringLiteral("host-serial"));
    }

    // 2. Cancel changes nothing.
    note(QStringLiteral("-- serial list: a cancelled dialog"));
    const QString sqlBefore = serialFilter.FilterSQL();
    const qint64 countBefore = serial->recordCount();
    withFilterDialog(QStringLiteral("cancelled dialog"),
                     [this](frmFilter &form) { cancelSession(form); });
    check(serialFilter.Cancel() && serialFilter.FilterSQL() == sqlBefore &&
              serial->condition() == sqlBefore && serial->recordCount() == countBefore,
          QStringLiteral("Cancel left FilterSQL and the list as they were"));

    // 3. The items list in common mode.
    note(QStringLiteral("-- items list: common fields"));
    QTabBar *tabs = m_window.tabs()->tabBar();
    Ui::clickAt(tabs, tabs->tabRect(1).center());
    HostScreen *items = m_window.itemScreen();
    if (check(m_window.currentScreen() == items, QStringLiteral("the items tab is shown")) &&
        withFilterDialog(QStringLiteral("items list"),
                         [this](frmFilter &form) { itemSession(form); })) {
        Filter &itemFilter = m_window.filterFor(items);
        const QString expected = wrapped(
            {QStringLiteral(" "), QStringLiteral(" t1.FName"), QStringLiteral(" Like"),
             QStringLiteral(" '%电机%'"), QStringLiteral(" "), QStringLiteral(" And"),
             QStringLiteral(" "), QStringLiteral(" t1.FPrice"), QStringLiteral(" >"),
             QStringLiteral(" 100"), QStringLiteral(" "), QStringLiteral(" And"),
             QStringLiteral(" "), QStringLiteral(" t1.FNumber"), QStringLiteral(" <>"),
             QLatin1Char(' ') + quoted(m_itemNumber) + QLatin1Char(' '), QStringLiteral(" ")});
        note(QStringLiteral("FilterSQL: [") + itemFilter.FilterSQL() + QLatin1Char(']'));
        check(itemFilter.FilterSQL() == expected,
              QStringLiteral("FilterSQL is the condition of the rows: [") + expected +
                  QLatin1Char(']'));
        const qint64 direct = directCount(
            QStringLiteral("SELECT COUNT(*) FROM t_Item t1 WHERE t1.FName LIKE ? AND t1.FPrice > "
                           "? AND t1.FNumber <> ?"),
            {QStringLiteral("%电机%"), 100, m_itemNumber});
        note(QStringLiteral("matching items, host query with FilterSQL: %1; direct query: %2")
                 .arg(items->recordCount())
                 .arg(direct));
        check(direct == items->recordCount() && direct > 0, QStringLiteral("both counts agree"));
        shoot(&m_window, QStringLiteral("host-items"));
    }
    Ui::clickAt(tabs, tabs->tabRect(0).center());

    // 4. The language menu.
    note(QStringLiteral("-- language: English and back"));
    if (chooseLanguage(QStringLiteral("actionEnglish"))) {
        checkHeaders(true);
        const QString english = inCurrentLanguage(m_serialWords);
        check(english != m_serialWords && m_window.serialScreen()->conditionText() == english,
              QStringLiteral("the condition line speaks English: ") + english);
        shoot(&m_window, QStringLiteral("host-window-en"));
        withFilterDialog(QStringLiteral("English dialog"),
                         [this](frmFilter &form) { englishSession(form); });
    }
    chooseLanguage(QStringLiteral("actionChinese"));
    check(m_window.language() == QStringLiteral("chs") &&
              localized(Texts::filterCaption()) == Texts::filterCaption(),
          QStringLiteral("back to Chinese"));
    checkHeaders(false);
    check(m_window.serialScreen()->conditionText() == m_serialWords,
          QStringLiteral("the condition line speaks Chinese again"));
    check(unexpectedAlerts().isEmpty(), QStringLiteral("no alert was left unexplained"));

    nxAlert::setPresenter(nullptr);
    note(QStringLiteral("walkthrough: %1 checks, %2 failed, %3 ms; screenshots in %4")
             .arg(m_checks)
             .arg(m_failures)
             .arg(m_clock.elapsed())
             .arg(QDir(m_screenshots).absolutePath()));
    note(m_failures == 0 ? QStringLiteral("walkthrough: PASSED")
                         : QStringLiteral("walkthrough: FAILED"));
    return m_failures == 0 ? 0 : 1;
}

} // namespace NxSerialFilter::Demo
