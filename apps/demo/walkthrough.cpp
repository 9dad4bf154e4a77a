// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "walkthrough.h"

#include "demotexts.h"
#include "lookupwindow.h"
#include "mainwindow.h"
#include "uidriver.h"
#include <NxSerialFilter/language.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
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

#include <cstdlib>
#include <utility>

namespace NxSerialFilter::Demo {

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString localized(const QString &key)
{
    return Language::text(key);
}

/// A count as the count line writes it: "100,000".
QString grouped(qint64 count)
{
    return QLocale(QLocale::English).toString(count);
}

/// The dialog's grid columns, from 1, in the order the scheme text keeps its cells.
enum Col {
    ColLogic = 1,
    ColLeftParen = 2,
    ColField = 3,
    ColCompare = 4,
    ColValue = 5,
    ColRightParen = 7
};

/// The words the user picks in the Chinese dialog, as it shows them.
namespace Words {
const QString noField = QStringLiteral("(无)");
const QString newScheme = QStringLiteral("(新方案)");
const QString logicOr = QStringLiteral("或者");
const QString equal = QStringLiteral("等于");
const QString greater = QStringLiteral("大于");
const QString greaterOrEqual = QStringLiteral("大于或等于");
const QString notEqual = QStringLiteral("不等于");
const QString less = QStringLiteral("小于");
const QString currentUser = QStringLiteral("当前用户");
const QString contains = QStringLiteral("包含");
const QString inList = QStringLiteral("包括");
const QString thisMonth = QStringLiteral("本月");
const QString isNotEmpty = QStringLiteral("不为空");
const QString matching = QStringLiteral("符合条件的记录：");
const QString caption = QStringLiteral("过滤条件");
} // namespace Words

/// The most the dialog may wait after the last change before it counts: looser than its own
/// wait, so that tuning that does not fail the walkthrough.
constexpr qint64 countSettleMs = 1000;

QTableView *gridView(QDialog &form)
{
    return form.findChild<QTableView *>(QStringLiteral("vspFilter"));
}

/// The text of a grid cell (row and column from 1); empty outside the grid.
QString cellText(QDialog &form, int row, int col)
{
    const QTableView *view = gridView(form);
    return view ? view->model()->index(row - 1, col - 1).data().toString() : QString();
}

int gridRowCount(QDialog &form)
{
    const QTableView *view = gridView(form);
    return view ? view->model()->rowCount() : 0;
}

/// A cell the user cannot edit.
bool isLocked(QDialog &form, int row, int col)
{
    const QTableView *view = gridView(form);
    return view && !(view->model()->index(row - 1, col - 1).flags() & Qt::ItemIsEditable);
}

template <class T> T *part(QDialog &form, const char *name)
{
    return form.findChild<T *>(QString::fromLatin1(name));
}

/// The scheme list as it is shown: a list or a report of the same items.
QAbstractItemView *schemeView(QDialog &form)
{
    for (const char *name : {"lstFilterList", "lstFilterReport"}) {
        auto *view = part<QAbstractItemView>(form, name);
        if (view && view->isVisible())
            return view;
    }
    return nullptr;
}

/// The row of the scheme list's item with text, from 0; -1 when none.
int schemeRow(QAbstractItemView *view, const QString &text)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    for (int i = 0; model && i < model->rowCount(); ++i) {
        if (model->index(i, 0).data().toString() == text)
            return i;
    }
    return -1;
}

bool schemeSelected(QAbstractItemView *view, int row)
{
    return view && row >= 0 && view->selectionModel()->isSelected(view->model()->index(row, 0));
}

/// Condition words written in Chinese, in the current language: the grid's words and the
/// captions translated, the values (which have no translation) as they are.
QString inCurrentLanguage(const QString &chineseWords)
{
    // A quoted value keeps its text; its quotes are the language's.
    const QStringList quotes = localized(QStringLiteral("「%1」")).split(QStringLiteral("%1"));
    QStringList tokens = chineseWords.split(u' ');
    for (QString &token : tokens) {
        const bool open = token.startsWith(u'(');
        const bool close = token.endsWith(u')');
        QString word = token.mid(open ? 1 : 0, token.size() - int(open) - int(close));
        if (word.startsWith(u'「'))
            word = quotes.value(0) + word.mid(1);
        else if (word.endsWith(u'」'))
            word = word.chopped(1) + quotes.value(1);
        else
            word = localized(word);
        token = (open ? QStringLiteral("(") : QString()) + word +
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

/// Waits until the dialog's count line reads counted; whether it did.
bool showsCount(QDialog &form, const QString &counted)
{
    const QLabel *countLine = form.findChild<QLabel *>(QStringLiteral("LblCount"));
    return countLine && Ui::waitUntil([&] { return countLine->toolTip() == counted; }, 10000);
}

/// The first day of this month and of the next, as the dates are written.
std::pair<QString, QString> thisMonthDays()
{
    const QDate today = QDate::currentDate();
    const QDate first(today.year(), today.month(), 1);
    return {first.toString(Qt::ISODate), first.addMonths(1).toString(Qt::ISODate)};
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
                                   const std::function<void(QDialog &)> &session)
{
    bool handled = false;
    bool seen = false;
    Ui::whenModalShows(
        nullptr,
        [&](QWidget *modal) {
            auto *form = modal && modal->objectName() == QLatin1String("frmFilter")
                             ? qobject_cast<QDialog *>(modal)
                             : nullptr;
            if (check(form != nullptr,
                      what + QStringLiteral(": Ctrl+F opened the filter dialog"))) {
                seen = true;
                Ui::activate(form);
                session(*form);
                if (!check(!form->isVisible(), what + QStringLiteral(": the dialog closed")))
                    form->reject();
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

bool Walkthrough::chooseItem(QDialog &form, int row, int col, const QString &text)
{
    const bool clicked = Ui::clickCell(gridView(form), row - 1, col - 1);
    Ui::key(gridView(form), Qt::Key_F2);
    QComboBox *combo = Ui::focusedCombo();
    const bool picked = clicked && Ui::pickInCombo(combo, text);
    Ui::settle();
    const bool ok = picked && cellText(form, row, col) == text;
    QString what = QStringLiteral("row %1, column %2: picked %3")
                       .arg(QString::number(row), QString::number(col), text);
    if (!ok) {
        // Say where it went wrong: the click, the list editor, or the value it left.
        what += QStringLiteral(" (clicked %1, list editor %2, cell reads %3)")
                    .arg(QString::number(clicked), QString::number(combo != nullptr),
                         cellText(form, row, col));
    }
    return check(ok, what);
}

bool Walkthrough::typeInto(QDialog &form, int row, int col, const QString &keys, bool selectAll,
                           const QString &shown)
{
    const QString &text = shown.isEmpty() ? keys : shown;
    const bool clicked = Ui::clickCell(gridView(form), row - 1, col - 1);
    if (col == ColLeftParen || col == ColRightParen) {
        // Typing straight into the grid opens the cell's editor with the first character.
        Ui::type(keys);
    } else {
        Ui::key(gridView(form), Qt::Key_F2);
        if (selectAll)
            Ui::key(Qt::Key_A, Qt::ControlModifier);
        Ui::type(keys);
    }
    // Return on the grid itself would press the dialog's default button.
    if (QApplication::focusWidget() != gridView(form))
        Ui::key(Qt::Key_Return);
    return check(
        clicked && cellText(form, row, col) == text,
        QStringLiteral("row %1, column %2: typed %3 (cell reads %4)")
            .arg(QString::number(row), QString::number(col), text, cellText(form, row, col)));
}

bool Walkthrough::pickWithF7(QDialog &form, int row, const QString &search, QString *picked)
{
    Ui::clickCell(gridView(form), row - 1, ColValue - 1);
    const QLabel *hint = part<QLabel>(form, "LblMsg");
    check(hint && !hint->text().isEmpty(),
          QStringLiteral("row %1: the hint offers F7 (%2)")
              .arg(QString::number(row), hint ? hint->text() : QString()));
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
    Ui::key(gridView(form), Qt::Key_F7);
    Ui::waitUntil([&] { return handled; }, 6000);
    Ui::activate(&form);
    return handled;
}

bool Walkthrough::clickScheme(QDialog &form, const QString &text)
{
    QAbstractItemView *list = schemeView(form);
    const int row = schemeRow(list, text);
    if (row < 0)
        return check(false, QStringLiteral("scheme list: no item ") + text);
    Ui::clickAt(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    return check(schemeSelected(list, row), QStringLiteral("scheme list: picked ") + text);
}

bool Walkthrough::saveSchemeAs(QDialog &form, const QString &name)
{
    auto *toolbar = part<QToolBar>(form, "Toolbar");
    auto *save = toolbar ? toolbar->findChild<QAction *>(QStringLiteral("Save")) : nullptr;
    QWidget *button = save ? toolbar->widgetForAction(save) : nullptr;
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
    const QAbstractItemModel *schemes = schemeView(form) ? schemeView(form)->model() : nullptr;
    for (int i = 0; schemes && i < schemes->rowCount(); ++i)
        named += schemes->index(i, 0).data().toString() == name ? 1 : 0;
    return check(named == 1, QStringLiteral("scheme list: exactly one scheme named ") + name);
}

void Walkthrough::confirm(QDialog &form, const QString &shot)
{
    shoot(&form, shot);
    Ui::click(part<QAbstractButton>(form, "CmdOK"));
    check(unexpectedAlerts().isEmpty(), QStringLiteral("OK showed no alert"));
}

QStringList Walkthrough::gridRows(QDialog &form, int rows)
{
    QStringList lines;
    for (int r = 1; r <= rows && r <= gridRowCount(form); ++r) {
        QStringList cells;
        for (int c : {ColLogic, ColLeftParen, ColField, ColCompare, ColValue, ColRightParen})
            cells << cellText(form, r, c);
        lines << cells.join(u'|');
    }
    return lines;
}

QStringList Walkthrough::listedItems(QDialog &form, int row, int col)
{
    Ui::clickCell(gridView(form), row - 1, col - 1);
    Ui::key(gridView(form), Qt::Key_F2);
    QStringList items;
    if (QComboBox *combo = Ui::focusedCombo()) {
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        // Esc on the editor leaves the cell as it was; on the grid it would cancel the dialog.
        Ui::key(Qt::Key_Escape);
    }
    Ui::settle();
    return items;
}

QCalendarWidget *Walkthrough::openCalendar(QDialog &form, int row)
{
    QTableView *grid = gridView(form);
    Ui::clickCell(grid, row - 1, ColValue - 1);
    Ui::key(grid, Qt::Key_F7);
    QCalendarWidget *calendar = nullptr;
    Ui::waitUntil(
        [&] {
            calendar = grid->findChild<QCalendarWidget *>(QStringLiteral("datePicker"));
            return calendar && calendar->isVisible();
        },
        3000);
    const bool open = calendar && calendar->isVisible();
    check(open, QStringLiteral("row %1: F7 opened the calendar").arg(row));
    return open ? calendar : nullptr;
}

bool Walkthrough::pickInCalendar(QDialog &form, int row, const QString &shown, int days)
{
    QCalendarWidget *calendar = openCalendar(form, row);
    if (!calendar)
        return false;
    check(calendar->selectedDate().toString(Qt::ISODate) == shown,
          QStringLiteral("row %1: the calendar opened on the cell's date %2 (%3)")
              .arg(QString::number(row), shown, calendar->selectedDate().toString(Qt::ISODate)));
    // The days are a table inside the calendar; the keys go where a user's would.
    QWidget *dayTable = calendar->findChild<QTableView *>();
    QWidget *target = dayTable ? dayTable : calendar;
    const QString picked = calendar->selectedDate().addDays(days).toString(Qt::ISODate);
    for (int i = 0; i < std::abs(days); ++i)
        Ui::key(target, days < 0 ? Qt::Key_Left : Qt::Key_Right);
    if (!m_calendarShot) {
        m_calendarShot = true;
        shoot(calendar, QStringLiteral("date-picker"));
    }
    // Taking a date closes the calendar, which deletes itself.
    const QPointer<QCalendarWidget> open(calendar);
    Ui::key(target, Qt::Key_Return);
    const bool closed = Ui::waitUntil([&] { return !open || !open->isVisible(); }, 3000);
    return check(closed && cellText(form, row, ColValue) == picked,
                 QStringLiteral("row %1: Return in the calendar took %2 (cell reads %3)")
                     .arg(QString::number(row), picked, cellText(form, row, ColValue)));
}

qint64 Walkthrough::serialDirectCount()
{
    return directCount(
        QStringLiteral("SELECT COUNT(*) FROM ") + serialQuery().from +
            QStringLiteral(" WHERE (t_FITEMID.FName = ? OR t_FCOLOR.FName = ?) AND "
                           "tf.FQTY >= ? AND tf.FINDATE >= ? AND tf.FSERIALNUM LIKE ? AND "
                           "tf.FWARRANTY IS NOT NULL AND tf.FWARRANTY <> ''"),
        {m_item, m_colour, 50, QStringLiteral("2023-01-01"), QStringLiteral("%7%")});
}

void Walkthrough::serialSession(QDialog &form)
{
    const QStringList fields = listedItems(form, 1, ColField);
    const QStringList expectedFields{Words::noField,
                                     QStringLiteral("序列号"),
                                     QStringLiteral("物料"),
                                     QStringLiteral("仓库"),
                                     QStringLiteral("等级"),
                                     QStringLiteral("入库日期"),
                                     QStringLiteral("单据编号"),
                                     QStringLiteral("单据内码"),
                                     QStringLiteral("数量"),
                                     QStringLiteral("颜色"),
                                     QStringLiteral("保修截止"),
                                     QStringLiteral("备注"),
                                     QStringLiteral("批号")};
    check(fields == expectedFields,
          QStringLiteral("field list hides status, validity, keys and predefined fields: ") +
              fields.join(u','));

    const QString &equal = Words::equal;
    // Row 1: "(" 物料 等于 <item picked with F7>
    typeInto(form, 1, ColLeftParen, QStringLiteral("("));
    chooseItem(form, 1, ColField, QStringLiteral("物料"));
    check(cellText(form, 1, ColCompare) == equal,
          QStringLiteral("row 1: choosing a field set the comparison to ") + equal);
    QString item[2];
    pickWithF7(form, 1, QStringLiteral("轴承"), item);
    m_item = item[1];
    check(!m_item.isEmpty() && cellText(form, 1, ColValue) == m_item,
          QStringLiteral("row 1: F7 wrote the item name ") + m_item);
    // Row 2: 或者 颜色 等于 <colour picked with F7> ")"
    chooseItem(form, 2, ColField, QStringLiteral("颜色"));
    chooseItem(form, 2, ColLogic, Words::logicOr);
    QString colour[2];
    pickWithF7(form, 2, QStringLiteral("红"), colour);
    m_colour = colour[1];
    check(m_colour == QStringLiteral("红色") && cellText(form, 2, ColValue) == m_colour,
          QStringLiteral("row 2: F7 wrote the colour ") + m_colour);
    typeInto(form, 2, ColRightParen, QStringLiteral(")"));
    // Row 3: 并且 数量 大于或等于 50
    chooseItem(form, 3, ColField, QStringLiteral("数量"));
    check(cellText(form, 3, ColValue) == QStringLiteral("0"),
          QStringLiteral("row 3: a number field starts at 0"));
    chooseItem(form, 3, ColCompare, Words::greaterOrEqual);
    typeInto(form, 3, ColValue, QStringLiteral("50"));
    // Row 4: 并且 入库日期 大于或等于 2023-01-01
    chooseItem(form, 4, ColField, QStringLiteral("入库日期"));
    check(cellText(form, 4, ColValue) == QDate::currentDate().toString(Qt::ISODate),
          QStringLiteral("row 4: a date field starts at today's date"));
    chooseItem(form, 4, ColCompare, Words::greaterOrEqual);
    // The date editor takes the digits section by section, moving on when one is full; the
    // calendar then opens on the typed day, and the day before is picked.
    typeInto(form, 4, ColValue, QStringLiteral("20230102"), false, QStringLiteral("2023-01-02"));
    pickInCalendar(form, 4, QStringLiteral("2023-01-02"), -1);
    // Row 5: 并且 序列号 包含 7
    chooseItem(form, 5, ColField, QStringLiteral("序列号"));
    chooseItem(form, 5, ColCompare, Words::contains);
    typeInto(form, 5, ColValue, QStringLiteral("7"));
    // Row 6: 并且 保修截止 不为空
    chooseItem(form, 6, ColField, QStringLiteral("保修截止"));
    chooseItem(form, 6, ColCompare, Words::isNotEmpty);
    check(isLocked(form, 6, ColValue) && cellText(form, 6, ColValue).isEmpty(),
          QStringLiteral("row 6: an empty test empties and locks the value"));
    check(gridRowCount(form) >= 7 && cellText(form, 7, ColField).isEmpty(),
          QStringLiteral("an empty row follows the last condition"));

    m_savedRows = gridRows(form, 7);
    note(QStringLiteral("  grid: ") + m_savedRows.join(QStringLiteral(" / ")));
    check(unexpectedAlerts().isEmpty(), QStringLiteral("editing showed no alert"));

    // Save under a name, clear with the new-scheme item, then load the scheme again.
    m_schemeName = QStringLiteral("轴承或红色2023年起");
    saveSchemeAs(form, m_schemeName);
    clickScheme(form, Words::newScheme);
    bool empty = true;
    for (int r = 1; r <= gridRowCount(form); ++r)
        empty = empty && cellText(form, r, ColField).isEmpty();
    check(empty, QStringLiteral("the new-scheme item emptied the grid"));
    // The live count: the empty grid matches every record.
    const QString &matching = Words::matching;
    const QLabel *countLine = part<QLabel>(form, "LblCount");
    const bool everyRecord =
        Ui::waitUntil([&] { return countLine->toolTip() == matching + grouped(m_total); }, 10000);
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
            return line.startsWith(matching) && line != matching + grouped(m_total);
        },
        10000);
    const qint64 shownAfter = sinceChange.elapsed();
    QElapsedTimer queryTime;
    queryTime.start();
    m_liveCount = serialDirectCount();
    const qint64 queryMs = queryTime.elapsed();
    note(QStringLiteral("live count: %1 shown %2 ms after the scheme loaded; the direct query "
                        "alone takes %3 ms, the dialog may wait %4 ms")
             .arg(countLine->toolTip())
             .arg(shownAfter)
             .arg(queryMs)
             .arg(countSettleMs));
    check(counted && countLine->toolTip() == matching + grouped(m_liveCount),
          QStringLiteral("live count: the dialog shows the direct query's %1").arg(m_liveCount));

    confirm(form, QStringLiteral("filter-dialog"));
}

void Walkthrough::reopenSession(QDialog &form)
{
    // The dialog opens on the filter in force: the loaded scheme, unchanged, is still selected.
    check(gridRows(form, 7) == m_savedRows,
          QStringLiteral("reopened: the grid shows the filter in force: ") +
              gridRows(form, 7).join(QStringLiteral(" / ")));
    QAbstractItemView *list = schemeView(form);
    check(schemeSelected(list, schemeRow(list, m_schemeName)),
          QStringLiteral("reopened: the scheme in force is selected"));
    const QString counted = Words::matching + grouped(m_liveCount);
    check(showsCount(form, counted),
          QStringLiteral("reopened: the count line shows the filter's ") + counted);
    shoot(&form, QStringLiteral("filter-dialog-reopened"));
    undoRowDeletion(form);
    Ui::click(part<QAbstractButton>(form, "CmdCancel"));
}

void Walkthrough::undoRowDeletion(QDialog &form)
{
    QTableView *grid = gridView(form);
    // Row 3, the quantity, goes; the rows below it move up.
    Ui::clickCell(grid, 2, ColField - 1);
    Ui::key(grid, Qt::Key_Delete, Qt::ControlModifier);
    QStringList without = m_savedRows;
    without.removeAt(2);
    check(gridRows(form, 6) == without, QStringLiteral("Ctrl+Delete deleted row 3: ") +
                                            gridRows(form, 6).join(QStringLiteral(" / ")));
    // Without the quantity's bound the rows match more records.
    const QLabel *countLine = part<QLabel>(form, "LblCount");
    const auto counted = [countLine] {
        return countLine->toolTip().mid(Words::matching.size()).remove(u',').toLongLong();
    };
    const bool followed =
        countLine && Ui::waitUntil([&] { return counted() > m_liveCount; }, 10000);
    check(followed, QStringLiteral("the count line followed the deletion: ") +
                        (countLine ? countLine->toolTip() : QString()));
    shoot(&form, QStringLiteral("filter-dialog-row-deleted"));
    Ui::key(grid, Qt::Key_Z, Qt::ControlModifier);
    check(gridRows(form, 7) == m_savedRows, QStringLiteral("Ctrl+Z brought row 3 back: ") +
                                                gridRows(form, 7).join(QStringLiteral(" / ")));
}

void Walkthrough::pastedListSession(QDialog &form)
{
    clickScheme(form, Words::newScheme);
    chooseItem(form, 1, ColField, QStringLiteral("序列号"));
    chooseItem(form, 1, ColCompare, Words::inList);
    // Serial numbers of the database as a spreadsheet copies a column: one a line, one twice.
    m_pasted.clear();
    QSqlQuery query(QSqlDatabase::database(m_connectionName));
    if (query.exec(QStringLiteral("SELECT FSERIALNUM FROM t_SerialNumber WHERE FSERIALID IN "
                                  "(7, 1234, 45678, 99999) ORDER BY FSERIALID"))) {
        while (query.next())
            m_pasted << query.value(0).toString();
    }
    check(m_pasted.size() == 4,
          QStringLiteral("four serial numbers to paste: ") + m_pasted.join(u','));
    QGuiApplication::clipboard()->setText((m_pasted + QStringList{m_pasted.value(1)}).join(u'\n') +
                                          u'\n');
    Ui::clickCell(gridView(form), 0, ColValue - 1);
    Ui::key(gridView(form), Qt::Key_V, Qt::ControlModifier);
    const QLabel *hint = part<QLabel>(form, "LblMsg");
    const QString counted = QStringLiteral("%1 个值，去除重复 %2 个").arg(m_pasted.size()).arg(1);
    check(hint && hint->text() == counted,
          QStringLiteral("Ctrl+V: the hint line counts the values (%1)")
              .arg(hint ? hint->text() : QString()));
    const QString cell = cellText(form, 1, ColValue);
    check(!m_pasted.isEmpty() && cell.contains(m_pasted.first()),
          QStringLiteral("row 1: the cell shows the pasted list: ") + cell);
    check(showsCount(form, Words::matching + QString::number(m_pasted.size())),
          QStringLiteral("the count line counts the pasted serial numbers' records"));
    confirm(form, QStringLiteral("filter-dialog-pasted-list"));
}

void Walkthrough::relativeDateSession(QDialog &form)
{
    // The pasted list in force becomes a date row.
    chooseItem(form, 1, ColField, QStringLiteral("入库日期"));
    chooseItem(form, 1, ColCompare, Words::equal);
    QCalendarWidget *calendar = openCalendar(form, 1);
    auto *words =
        calendar ? calendar->findChild<QListWidget *>(QStringLiteral("relativeDates")) : nullptr;
    const QList<QListWidgetItem *> found =
        words ? words->findItems(Words::thisMonth, Qt::MatchExactly) : QList<QListWidgetItem *>();
    if (check(found.size() == 1,
              QStringLiteral("row 1: F7 offers %1 under the calendar").arg(Words::thisMonth))) {
        const QPointer<QCalendarWidget> open(calendar);
        Ui::clickAt(words->viewport(), words->visualItemRect(found.first()).center());
        Ui::waitUntil([&] { return !open || !open->isVisible(); }, 3000);
    } else if (calendar) {
        calendar->close();
    }
    check(cellText(form, 1, ColValue) == Words::thisMonth,
          QStringLiteral("row 1: a click took %1 (cell reads %2)")
              .arg(Words::thisMonth, cellText(form, 1, ColValue)));
    const auto [from, to] = thisMonthDays();
    m_monthCount = directCount(QStringLiteral("SELECT COUNT(*) FROM ") + serialQuery().from +
                                   QStringLiteral(" WHERE tf.FINDATE >= ? AND tf.FINDATE < ?"),
                               {from, to});
    check(showsCount(form, Words::matching + QString::number(m_monthCount)),
          QStringLiteral("the count line counts this month's %1 records").arg(m_monthCount));
    confirm(form, QStringLiteral("filter-dialog-relative-date"));
}

void Walkthrough::offAndAskedSession(QDialog &form)
{
    clickScheme(form, Words::newScheme);
    unexpectedAlerts({nxAlert::Question}); // the condition in force is no saved scheme
    QTableView *grid = gridView(form);
    chooseItem(form, 1, ColField, QStringLiteral("序列号"));
    chooseItem(form, 1, ColCompare, Words::equal);
    typeInto(form, 1, ColValue, m_pasted.value(0));
    Ui::clickCell(grid, 0, ColField - 1);
    Ui::key(grid, Qt::Key_Slash, Qt::ControlModifier);
    check(grid->model()->index(0, ColValue - 1).data(Qt::FontRole).value<QFont>().strikeOut(),
          QStringLiteral("Ctrl+/ switched row 1 off: its words are struck through"));
    chooseItem(form, 2, ColField, QStringLiteral("序列号"));
    chooseItem(form, 2, ColCompare, Words::equal); // the row held another comparison before
    Ui::clickCell(grid, 1, ColValue - 1);
    auto *ask = grid->findChild<QAction *>(QStringLiteral("AskWhenRun"));
    if (check(ask != nullptr, QStringLiteral("the grid's menu: Ask when run")))
        ask->trigger();
    check(cellText(form, 2, ColValue) == QStringLiteral("「序列号？」"),
          QStringLiteral("row 2 asks its field's caption when run: ") +
              cellText(form, 2, ColValue));
    bool asked = false;
    Ui::whenModalShows(&form, [&](QWidget *modal) {
        asked = modal && modal->objectName() == QLatin1String("frmQuestions");
        if (!check(asked, QStringLiteral("OK asked the value of row 2"))) {
            if (modal)
                modal->close();
            return;
        }
        Ui::activate(modal);
        Ui::type(m_pasted.value(1));
        shoot(modal, QStringLiteral("filter-dialog-asked-value"));
        Ui::key(Qt::Key_Return);
    });
    confirm(form, QStringLiteral("filter-dialog-row-off"));
    Ui::waitUntil([&] { return asked && !form.isVisible(); }, 6000);
}

void Walkthrough::fieldAndUserSession(QDialog &form)
{
    // The relative date in force becomes a field compared with a field.
    const QString inDate = QStringLiteral("入库日期");
    chooseItem(form, 1, ColField, QStringLiteral("保修截止"));
    chooseItem(form, 1, ColCompare, Words::less);
    QTableView *grid = gridView(form);
    Ui::clickCell(grid, 0, ColValue - 1);
    Ui::key(grid, Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    auto *compare = grid ? grid->findChild<QAction *>(QStringLiteral("CompareWithField")) : nullptr;
    if (check(menu && compare && compare->isEnabled(),
              QStringLiteral("row 1: the value cell's context menu offers 与字段比较"))) {
        Ui::clickAt(menu, menu->actionGeometry(compare).center());
    } else if (menu) {
        menu->close();
    }
    QListWidget *fields = nullptr;
    Ui::waitUntil(
        [&] {
            fields = qobject_cast<QListWidget *>(QApplication::activePopupWidget());
            return fields != nullptr;
        },
        3000);
    const QList<QListWidgetItem *> found =
        fields ? fields->findItems(inDate, Qt::MatchExactly) : QList<QListWidgetItem *>();
    if (check(found.size() == 1, QStringLiteral("row 1: the fields offered hold ") + inDate)) {
        Ui::clickAt(fields->viewport(), fields->visualItemRect(found.first()).center());
        Ui::waitUntil([] { return !QApplication::activePopupWidget(); }, 3000);
    } else if (fields) {
        fields->close();
    }
    check(cellText(form, 1, ColValue) == QStringLiteral("【") + inDate + QStringLiteral("】"),
          QStringLiteral("row 1: the cell shows the field in brackets: ") +
              cellText(form, 1, ColValue));
    // Row 2: the note is not whoever runs the filter, picked with F4 in the value cell.
    chooseItem(form, 2, ColField, QStringLiteral("备注"));
    chooseItem(form, 2, ColCompare, Words::notEqual);
    Ui::clickCell(grid, 1, ColValue - 1);
    Ui::key(grid, Qt::Key_F4);
    Ui::waitUntil([] { return QApplication::activePopupWidget() != nullptr; }, 3000);
    if (QWidget *words = QApplication::activePopupWidget())
        Ui::key(words, Qt::Key_Return);
    check(cellText(form, 2, ColValue) == Words::currentUser,
          QStringLiteral("row 2: F4 and Return took ") + Words::currentUser);
    m_fieldUserCount =
        directCount(QStringLiteral("SELECT COUNT(*) FROM ") + serialQuery().from +
                        QStringLiteral(" WHERE tf.FWARRANTY < tf.FINDATE AND tf.FNOTE <> ?"),
                    {m_window.filterFor(m_window.serialScreen()).CurrentUser()});
    check(showsCount(form, Words::matching + grouped(m_fieldUserCount)),
          QStringLiteral("the count line counts %1 records").arg(m_fieldUserCount));
    confirm(form, QStringLiteral("filter-dialog-field-and-user"));
}

void Walkthrough::itemSession(QDialog &form)
{
    chooseItem(form, 1, ColField, QStringLiteral("名称"));
    chooseItem(form, 1, ColCompare, Words::contains);
    typeInto(form, 1, ColValue, QStringLiteral("电机"));
    chooseItem(form, 2, ColField, QStringLiteral("单价"));
    chooseItem(form, 2, ColCompare, Words::greater);
    typeInto(form, 2, ColValue, QStringLiteral("100"));
    chooseItem(form, 3, ColField, QStringLiteral("代码"));
    chooseItem(form, 3, ColCompare, Words::notEqual);
    QString item[2];
    pickWithF7(form, 3, QStringLiteral("电机"), item);
    m_itemNumber = item[0];
    check(!m_itemNumber.isEmpty() && cellText(form, 3, ColValue) == m_itemNumber,
          QStringLiteral("row 3: F7 wrote the item number ") + m_itemNumber);
    confirm(form, QStringLiteral("filter-dialog-items"));
}

void Walkthrough::englishSession(QDialog &form)
{
    const QString caption = localized(Words::caption);
    check(form.windowTitle() == caption && caption != Words::caption,
          QStringLiteral("the dialog speaks English: ") + form.windowTitle());
    // Reopened on the filter in force, written in Chinese: the rows read in English too.
    QStringList english = m_savedRows;
    for (QString &row : english) {
        QStringList cells = row.split(u'|');
        for (QString &cell : cells)
            cell = localized(cell);
        row = cells.join(u'|');
    }
    check(english != m_savedRows && gridRows(form, 7) == english,
          QStringLiteral("reopened in English on the filter in force: ") +
              gridRows(form, 7).join(QStringLiteral(" / ")));
    const QString counted = localized(Words::matching) + grouped(m_liveCount);
    const QLabel *countLine = part<QLabel>(form, "LblCount");
    check(countLine && Ui::waitUntil([&] { return countLine->toolTip() == counted; }, 10000),
          QStringLiteral("live count in English: ") + counted);
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    int emptyRow = 1;
    while (emptyRow < gridRowCount(form) && !cellText(form, emptyRow, ColField).isEmpty())
        ++emptyRow;
    const QStringList fields = listedItems(form, emptyRow, ColField);
    check(!fields.isEmpty() && fields.filter(han).isEmpty(),
          QStringLiteral("the fields are listed in English: ") + fields.join(u','));
    shoot(&form, QStringLiteral("filter-dialog-en"));
    Ui::click(part<QAbstractButton>(form, "CmdCancel"));
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
                         [this](QDialog &form) { serialSession(form); })) {
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
                .arg(m_item.contains(u' ') ? u'「' + m_item + u'」' : m_item, m_colour);
        note(QStringLiteral("FilterText: [") + serialFilter.FilterText() + QLatin1Char(']'));
        m_serialWords = words;
        check(serialFilter.FilterText() == words && serial->conditionText() == words,
              QStringLiteral("FilterText is the condition in the grid's words, and the host "
                             "shows it"));
        const qint64 direct = serialDirectCount();
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
    note(QStringLiteral("-- serial list: reopened on the filter in force, then cancelled"));
    const QString sqlBefore = serialFilter.FilterSQL();
    const qint64 countBefore = serial->recordCount();
    withFilterDialog(QStringLiteral("reopened dialog"),
                     [this](QDialog &form) { reopenSession(form); });
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
                         [this](QDialog &form) { itemSession(form); })) {
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
                         [this](QDialog &form) { englishSession(form); });
    }
    chooseLanguage(QStringLiteral("actionChinese"));
    check(m_window.language() == QStringLiteral("chs") &&
              localized(Texts::windowTitle()) == Texts::windowTitle() &&
              m_window.windowTitle() == Texts::windowTitle(),
          QStringLiteral("back to Chinese"));
    checkHeaders(false);
    check(m_window.serialScreen()->conditionText() == m_serialWords,
          QStringLiteral("the condition line speaks Chinese again"));

    // 5. A pasted list of serial numbers.
    note(QStringLiteral("-- serial list: a pasted list of serial numbers"));
    if (withFilterDialog(QStringLiteral("pasted list"),
                         [this](QDialog &form) { pastedListSession(form); })) {
        QStringList values;
        for (const QString &value : std::as_const(m_pasted))
            values << quoted(value);
        const QString inList = QStringLiteral("tf.FSERIALNUM In (") + values.join(u',') + u')';
        note(QStringLiteral("pasted list, FilterSQL: [") + serialFilter.FilterSQL() +
             QLatin1Char(']'));
        check(serialFilter.FilterSQL().contains(inList),
              QStringLiteral("FilterSQL holds ") + inList);
        const int serialColumn = int(serial->query().captions.indexOf(QStringLiteral("序列号")));
        QStringList listed;
        const QAbstractItemModel *rows = serial->view()->model();
        for (int r = 0; r < rows->rowCount(); ++r)
            listed << rows->index(r, serialColumn).data().toString();
        listed.sort();
        QStringList pasted = m_pasted;
        pasted.sort();
        check(serial->recordCount() == pasted.size() && listed == pasted,
              QStringLiteral("the list shows the pasted serial numbers: ") + listed.join(u','));
        shoot(&m_window, QStringLiteral("host-pasted-list"));
    }

    // 6. A relative date: the word stays, the days are this month's.
    note(QStringLiteral("-- serial list: a relative date"));
    if (withFilterDialog(QStringLiteral("relative date"),
                         [this](QDialog &form) { relativeDateSession(form); })) {
        const auto [from, to] = thisMonthDays();
        const QString words = QStringLiteral("入库日期 等于 ") + Words::thisMonth;
        note(QStringLiteral("relative date, FilterText: [") + serialFilter.FilterText() +
             QStringLiteral("], FilterSQL: [") + serialFilter.FilterSQL() + QLatin1Char(']'));
        check(serialFilter.FilterText() == words && serial->conditionText() == words,
              QStringLiteral("FilterText keeps the word: ") + words);
        check(serialFilter.FilterSQL().contains(from) && serialFilter.FilterSQL().contains(to),
              QStringLiteral("FilterSQL holds this month's days, %1 up to %2").arg(from, to));
        check(m_monthCount > 0 && serial->recordCount() == m_monthCount,
              QStringLiteral("the list shows this month's %1 records (direct query: %2)")
                  .arg(serial->recordCount())
                  .arg(m_monthCount));
        shoot(&m_window, QStringLiteral("host-relative-date"));
    }

    // 6b. A field compared with a field, and the current user.
    note(QStringLiteral("-- serial list: a field compared with a field, the current user"));
    if (withFilterDialog(QStringLiteral("field and user"),
                         [this](QDialog &form) { fieldAndUserSession(form); })) {
        const QString user = serialFilter.CurrentUser();
        const QString sql = QStringLiteral("tf.FWARRANTY < tf.FINDATE");
        const QString words =
            QStringLiteral("保修截止 小于 【入库日期】 并且 备注 不等于 ") + Words::currentUser;
        note(QStringLiteral("field and user, FilterText: [") + serialFilter.FilterText() +
             QStringLiteral("], FilterSQL: [") + serialFilter.FilterSQL() + QLatin1Char(']'));
        check(serialFilter.FilterText() == words, QStringLiteral("FilterText: ") + words);
        check(serialFilter.FilterSQL().contains(sql) &&
                  serialFilter.FilterSQL().contains(QStringLiteral("tf.FNOTE <> ") + quoted(user)),
              QStringLiteral("FilterSQL compares the two columns and the note with ") + user);
        check(serial->recordCount() == m_fieldUserCount,
              QStringLiteral("the list shows the %1 records of a direct query (%2)")
                  .arg(serial->recordCount())
                  .arg(m_fieldUserCount));
        shoot(&m_window, QStringLiteral("host-field-and-user"));
    }

    // 6c. A row switched off and a value asked when the condition runs.
    note(QStringLiteral("-- serial list: a row switched off, a value asked when run"));
    if (m_pasted.size() >= 2 &&
        withFilterDialog(QStringLiteral("row off, value asked"),
                         [this](QDialog &form) { offAndAskedSession(form); })) {
        note(QStringLiteral("row off, value asked, FilterSQL: [") + serialFilter.FilterSQL() +
             QLatin1Char(']'));
        check(serialFilter.FilterSQL() == QStringLiteral(" ( (tf.FSERIALNUM = ") +
                                              quoted(m_pasted.value(1)) + QStringLiteral(") ) "),
              QStringLiteral("FilterSQL holds the answer and leaves the row switched off out"));
        check(serial->recordCount() == 1,
              QStringLiteral("the list shows the record of the serial number answered"));
        shoot(&m_window, QStringLiteral("host-asked-value"));
    }

    // 7. Clear filter drops the filter in force, in the list and in the next dialog.
    note(QStringLiteral("-- serial list: the filter cleared"));
    auto *clear = m_window.findChild<QAction *>(QStringLiteral("actionClear"));
    auto *tools = m_window.findChild<QToolBar *>(QStringLiteral("tools"));
    QWidget *clearButton = clear && tools ? tools->widgetForAction(clear) : nullptr;
    if (check(clearButton != nullptr, QStringLiteral("toolbar: the Clear filter button"))) {
        Ui::click(clearButton);
        check(serial->recordCount() == m_total && serial->condition().isEmpty() &&
                  serialFilter.FilterSQL().isEmpty(),
              QStringLiteral("Clear filter lists every record and the Filter forgets the "
                             "condition"));
        withFilterDialog(QStringLiteral("dialog after Clear filter"), [this](QDialog &form) {
            check(cellText(form, 1, ColField).isEmpty(),
                  QStringLiteral("after Clear filter the dialog opens empty"));
            Ui::click(part<QAbstractButton>(form, "CmdCancel"));
        });
    }
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
