// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The filter dialog as the user sees it: where every control sits, the captions it shows in
// Chinese and in English, the order in which the captions are written, and the list-box extent.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "testsupport/cjk.h"
#include "testsupport/descriptions.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/conditiontextline.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/schemes/schemelistview.h"
#include "widgets/support/images.h"
#include "widgets/support/twips.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <cmath>
#include <functional>
#include <stdexcept>

using namespace NxSerialFilter;
using namespace Qt::StringLiterals;

using NxSerialFilter::Testing::hasCjk;

namespace {

struct Placement
{
    const char *name;
    const char *parent;
    int left, top, width, height;
};

// The layout in twips, relative to the parent's client area; the condition text line's row
// above the grid makes the dialog taller by its height.
constexpr int textRow = 390;
const Placement placements[] = {
    {"Picture1", "frmFilter", 60, 30, 2370, 4290 + textRow},
    {"Label1", "Picture1", 30, 0, 660, 300},
    {"Toolbar", "Picture1", 0, 225, 1785, 420},
    {"lstFilter", "Picture1", -15, 630, 2385, 3420 + textRow},
    {"TabS", "frmFilter", 2460, 195, 5835, 3885 + textRow},
    {"LblConditionText", "TabS", 120, 480, 900, 270}, // wider when its caption needs
    {"ConditionText", "TabS", 1080, 450, 4530, 345},
    {"Picture2", "TabS", 135, 450 + textRow, 5550, 3240},
    {"vspFilter", "Picture2", -15, 0, 5490, 3180},
    {"LblMsg", "TabS", 2580, 60, 3285, 210},
    {"CmdOK", "frmFilter", 6090, 4140 + textRow, 1050, 330},
    {"CmdCancel", "frmFilter", 7260, 4140 + textRow, 1050, 330},
    {"LblCount", "frmFilter", 2520, 4140 + textRow, 3450, 330}, // shown when the host counts
};

/// A host's counter that finds every record of the demo.
std::optional<qint64> everyRecord(const BoundCondition &)
{
    return 100000;
}

int pixels(int twips, const QWidget *widget)
{
    return int(std::lround(twips * widget->logicalDpiX() / 1440.0));
}

bool near(const QRect &got, const QRect &want)
{
    return std::abs(got.left() - want.left()) <= 1 && std::abs(got.top() - want.top()) <= 1 &&
           std::abs(got.width() - want.width()) <= 1 && std::abs(got.height() - want.height()) <= 1;
}

QString describe(const QRect &r)
{
    return QString::number(r.x()) + u',' + QString::number(r.y()) + u' ' +
           QString::number(r.width()) + u'x' + QString::number(r.height());
}

QString screenshotPath(const QString &file)
{
    QString dir = qEnvironmentVariable("NXSF_BUILD_DIR");
    if (dir.isEmpty())
        dir = QDir::currentPath();
    QDir(dir).mkpath(QStringLiteral("screenshots"));
    return dir + QStringLiteral("/screenshots/") + file;
}

QAction *toolAction(frmFilter &form, const char *key)
{
    for (QAction *a : form.toolbar()->actions()) {
        if (a->objectName() == QLatin1String(key))
            return a;
    }
    return nullptr;
}

QString menuText(frmFilter &form, int index)
{
    const QList<QAction *> actions = form.viewMenu()->actions();
    return index < actions.size() ? actions.at(index)->text() : QString();
}

QLabel *label1(frmFilter &form)
{
    return form.findChild<QLabel *>(QStringLiteral("Label1"));
}

/// One caption of the dialog: its Chinese source text and how to read what is shown.
struct Caption
{
    QString chinese;
    std::function<QString(frmFilter &)> shown;
};

// The captions in the order in which they must be written.
QList<Caption> captionsInOrder()
{
    const auto tip = [](const char *key) {
        return [key](frmFilter &f) { return toolAction(f, key)->toolTip(); };
    };
    const auto menu = [](int i) { return [i](frmFilter &f) { return menuText(f, i); }; };
    const auto header = [](int col) {
        return [col](frmFilter &f) { return f.grid().GetCellText(0, col); };
    };
    return {
        {QStringLiteral("过滤条件"), [](frmFilter &f) { return f.windowTitle(); }},
        {QStringLiteral("保存方案"), tip("Save")},
        {QStringLiteral("删除方案"), tip("Delete")},
        {QStringLiteral("另存方案"), tip("SaveAs")},
        {QStringLiteral("查看"), tip("View")},
        {QStringLiteral("大图标"), menu(0)},
        {QStringLiteral("小图标"), menu(1)},
        {QStringLiteral("列表"), menu(2)},
        {QStringLiteral("详细资料"), menu(3)},
        {QStringLiteral("方案："), [](frmFilter &f) { return label1(f)->text(); }},
        {QStringLiteral("过滤"), [](frmFilter &f) { return f.tabBar()->tabText(0); }},
        {QStringLiteral("条件文本"),
         [](frmFilter &f) {
             return f.findChild<QLabel *>(QStringLiteral("LblConditionText"))->text();
         }},
        {QStringLiteral("逻辑"), header(1)},
        {QStringLiteral("字段"), header(3)},
        {QStringLiteral("比较"), header(4)},
        {QStringLiteral("数值"), header(5)},
        {QStringLiteral("比较值代码"), header(6)},
        {QStringLiteral("确定(&O)"), [](frmFilter &f) { return f.CmdOK()->text(); }},
        {QStringLiteral("取消(&C)"), [](frmFilter &f) { return f.CmdCancel()->text(); }},
    };
}

/// Records the keys that the dialog asks the language loader for.
class RecordingLoader : public ResourceLoaderComponent
{
public:
    explicit RecordingLoader(QStringList *asked)
        : m_asked(asked)
    {}
    void setResFileBaseName(const QString &) override {}
    void setLanguageID(const QString &) override {}
    QString LoadString(const QString &key) override
    {
        m_asked->append(key);
        return key;
    }
    QString LoadString2(const QString &key) override { return key; }

private:
    QStringList *m_asked;
};

/// The serial dialog as a host with a match counter shows it.
bool showWithCount(frmFilter &form, const QString &dateCaption = u"日期"_s)
{
    form.setSerialUse(true);
    form.setSerialDesc(Testing::standardSerialDescription(dateCaption));
    form.setMatchCounter(everyRecord);
    form.Form_Load();
    form.show();
    return QTest::qWaitForWindowExposed(&form);
}

} // namespace

class tst_FrmFilterLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void geometry_data();
    void geometry();
    void designTexts_data();
    void designTexts();
    void englishThroughout();
    void captionsFit_data();
    void captionsFit();
    void countLineWhole_data();
    void countLineWhole();
    void screenReader_data();
    void screenReader();
    void captionOrder();
    void skippedCaption_data();
    void skippedCaption();
    void missingControlsDoNotStopCaptions();
    void controlsAndImages();
    void extent_data();
    void extent();
    void extentOnList();
    void extentWithoutList();

private:
    void useLanguage(const QString &language);
    QTemporaryDir m_dir;
    std::shared_ptr<Testing::ScriptedAlerts> m_alerts;
};

void tst_FrmFilterLayout::init()
{
    Testing::freshProcessState();
    m_alerts = Testing::ScriptedAlerts::install();
    useLanguage(QString());
}

void tst_FrmFilterLayout::cleanup()
{
    nxAlert::setPresenter(nullptr);
    m_alerts.reset();
}

void tst_FrmFilterLayout::useLanguage(const QString &language)
{
    Language::reload(); // the language is read once per load of the component
    QString props = QStringLiteral("SCHEMEDB=") + m_dir.filePath(QStringLiteral("s.sqlite")) + u';';
    if (!language.isNull())
        props += QStringLiteral("LANGUAGE=") + language + u';';
    ContextStore::setPropsString(props);
}

void tst_FrmFilterLayout::geometry_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("wider"); // the language's words need a wider dialog
    QTest::newRow("chinese") << QString() << QStringLiteral("filter-dialog.png") << false;
    QTest::newRow("english") << QStringLiteral("en") << QStringLiteral("filter-dialog-en.png")
                             << true;
}

void tst_FrmFilterLayout::geometry()
{
    QFETCH(QString, language);
    QFETCH(QString, file);
    QFETCH(bool, wider);
    useLanguage(language);
    frmFilter form;
    QVERIFY(showWithCount(form));
    form.lstFilter()->addItem(QStringLiteral("K1"), QStringLiteral("本月入库"), Images::image(5));
    form.LblMsg()->setText(QStringLiteral("序列号") +
                           Language::text(QStringLiteral("按F7键可查看---")));
    QTRY_VERIFY(form.LblCount()->text().endsWith(QStringLiteral("100,000")));
    QVERIFY(form.grab().toImage().save(screenshotPath(file)));

    // A window whose client area is 8400 x 4575 twips and the text line's row; English words
    // widen it, and the condition page and the buttons move with its right edge.
    const QSize client(pixels(8400, &form), pixels(4575 + textRow, &form));
    const int dx = form.width() - client.width();
    QVERIFY2((wider ? dx > 1 : std::abs(dx) <= 1) && std::abs(form.height() - client.height()) <= 1,
             qPrintable(describe(form.rect())));
    QCOMPARE(form.minimumSize(), form.size()); // opens at its smallest size
    const QStringList widened{u"TabS"_s,      u"ConditionText"_s, u"Picture2"_s,
                              u"vspFilter"_s, u"LblMsg"_s,        u"LblCount"_s};
    const QStringList moved{u"CmdOK"_s, u"CmdCancel"_s};
    // The text line's caption is as wide as its words; the line gives up what it takes.
    const int captionExtra =
        form.findChild<QLabel *>(u"LblConditionText"_s)->width() - pixels(900, &form);
    QVERIFY(wider ? captionExtra > 0 : captionExtra == 0);

    for (const Placement &p : placements) {
        const auto *widget = form.findChild<QWidget *>(QString::fromLatin1(p.name));
        QVERIFY2(widget, p.name);
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(p.parent));
        QRect want(pixels(p.left, &form), pixels(p.top, &form), pixels(p.width, &form),
                   pixels(p.height, &form));
        if (widened.contains(QLatin1String(p.name)))
            want.setWidth(want.width() + dx);
        if (moved.contains(QLatin1String(p.name)))
            want.translate(dx, 0);
        if (QLatin1String(p.name) == "LblConditionText"_L1)
            want.setWidth(want.width() + captionExtra);
        if (QLatin1String(p.name) == "ConditionText"_L1)
            want.setLeft(want.left() + captionExtra);
        QVERIFY2(near(widget->geometry(), want),
                 qPrintable(QString::fromLatin1(p.name) + QStringLiteral(" at ") +
                            describe(widget->geometry()) + QStringLiteral(", want ") +
                            describe(want)));
        QVERIFY2(widget->isVisible(), p.name);
    }
    // The tab row ends above the grid's frame, so the grid is not covered by it.
    QVERIFY(form.tabBar()->geometry().bottom() <
            form.findChild<QWidget *>(QStringLiteral("Picture2"))->y());

    // A text cut by its cell shows whole in a tool tip.
    QString longValue;
    while (form.vspFilter()->fontMetrics().horizontalAdvance(longValue) <=
           form.vspFilter()->columnWidth(ConditionGrid::ColValue - 1))
        longValue += u'8';
    form.grid().SetCellText(1, ConditionGrid::ColValue, longValue);
    auto showTip = [&form] {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("a tip that would not hide");
        ConditionGridView *view = form.vspFilter();
        const QRect cell = view->visualRect(form.grid().index(0, ConditionGrid::ColValue - 1));
        QHelpEvent help(QEvent::ToolTip, cell.center(),
                        view->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(view->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(showTip(), longValue);

    // A condition text that wraps shows whole on up to three lines, the grid below giving the
    // room; shorter again, the line gives it back.
    ConditionTextLine *line = form.conditionText();
    auto *gridFrame = form.findChild<QWidget *>(u"Picture2"_s);
    const QRect lineBefore = line->geometry(), gridBefore = gridFrame->geometry();
    QString words = u"数量 大于 50"_s;
    while (line->fontMetrics().horizontalAdvance(words) < 2 * line->width())
        words += u" 或者 数量 大于 50"_s;
    line->setFocus();
    QApplication::clipboard()->setText(words);
    QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
    QTRY_COMPARE(line->height(), line->heightFor(3));
    QCOMPARE(line->verticalScrollBar()->value(), 0); // from its first line
    QCOMPARE(gridFrame->y() - line->geometry().bottom(), gridBefore.y() - lineBefore.bottom());
    QCOMPARE(gridFrame->geometry().bottom(), gridBefore.bottom());
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(line, Qt::Key_Delete);
    QTRY_COMPARE(line->geometry(), lineBefore);
    QCOMPARE(gridFrame->geometry(), gridBefore);

    // Enlarged, the grid and the scheme list take the room, the extra width going to the
    // field and value columns, and the buttons keep to the corner.
    const auto before = [&form](const char *name) {
        return form.findChild<QWidget *>(QString::fromLatin1(name))->geometry();
    };
    const QRect grid = before("vspFilter"), list = before("lstFilter"), ok = before("CmdOK"),
                count = before("LblCount");
    const int fieldWidth = form.vspFilter()->columnWidth(ConditionGrid::ColField - 1);
    const int valueWidth = form.vspFilter()->columnWidth(ConditionGrid::ColValue - 1);
    const QSize more(300, 200);
    form.resize(form.size() + more);
    QTRY_COMPARE(before("vspFilter").size(), grid.size() + more);
    QCOMPARE(before("lstFilter").height(), list.height() + more.height());
    QCOMPARE(before("CmdOK").topLeft(), ok.topLeft() + QPoint(more.width(), more.height()));
    QCOMPARE(before("LblCount"), QRect(count.topLeft() + QPoint(0, more.height()),
                                       count.size() + QSize(more.width(), 0)));
    QCOMPARE(form.vspFilter()->columnWidth(ConditionGrid::ColField - 1) +
                 form.vspFilter()->columnWidth(ConditionGrid::ColValue - 1),
             fieldWidth + valueWidth + more.width());
    QVERIFY(form.vspFilter()->columnWidth(ConditionGrid::ColField - 1) > fieldWidth);
    QCOMPARE(showTip(), QString()); // now it fits
    // The taller grid is filled with empty rows down to its bottom, the text kept; a smaller
    // dialog again drops none of them.
    const int rowHeight = form.vspFilter()->verticalHeader()->defaultSectionSize();
    QTRY_VERIFY(form.grid().MaxRows() >= form.vspFilter()->viewport()->height() / rowHeight);
    QVERIFY(form.grid().MaxRows() > ConditionGrid::DesignRowCount);
    QCOMPARE(form.grid().GetCellText(1, ConditionGrid::ColValue), longValue);
    const int filled = form.grid().MaxRows();
    form.resize(form.size() - more);
    QTRY_COMPARE(before("vspFilter").size(), grid.size());
    QCOMPARE(form.grid().MaxRows(), filled);
}

void tst_FrmFilterLayout::designTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("loaderAvailable");
    QTest::newRow("no LANGUAGE entry") << QString() << true;
    QTest::newRow("chs") << QStringLiteral("chs") << true;
    QTest::newRow("CHS in capitals") << QStringLiteral("CHS") << true;
    QTest::newRow("english without a loader") << QStringLiteral("en") << false;
    QTest::newRow("a language without translations") << QStringLiteral("xx") << true;
}

void tst_FrmFilterLayout::designTexts()
{
    QFETCH(QString, language);
    QFETCH(bool, loaderAvailable);
    useLanguage(language);
    if (!loaderAvailable)
        ComponentRegistry::instance().unregisterFactory(ComponentId::resourceLoader());
    frmFilter form;
    form.setSerialUse(true);
    form.setSerialDesc(Testing::standardSerialDescription());
    form.Form_Load();

    for (const Caption &caption : captionsInOrder())
        QCOMPARE(caption.shown(form), caption.chinese);
    QCOMPARE(form.grid().GetCellText(0, 2), QStringLiteral("("));
    QCOMPARE(form.grid().GetCellText(0, 7), QStringLiteral(")"));
    QCOMPARE(form.grid().columnItems(1),
             (QStringList{QStringLiteral("并且"), QStringLiteral("或者")}));
    QCOMPARE(form.grid().columnItems(4).value(9), QStringLiteral("不为空"));
}

void tst_FrmFilterLayout::englishThroughout()
{
    useLanguage(QStringLiteral("en"));
    frmFilter form;
    form.setSerialUse(true);
    form.setSerialDesc(Testing::standardSerialDescription());
    form.Form_Load();

    QStringList shown;
    for (const Caption &caption : captionsInOrder())
        shown << caption.shown(form);
    for (QAction *a : form.toolbar()->actions())
        shown << a->text() << a->toolTip();
    for (QAction *a : form.viewMenu()->actions())
        shown << a->text();
    shown << form.grid().columnItems(1) << form.grid().columnItems(4)
          << form.grid().columnItems(3).value(0);
    shown << form.lstFilter()->headerText();
    for (int i = 1; i <= form.lstFilter()->count(); ++i)
        shown << form.lstFilter()->text(i);
    for (const QString &text : std::as_const(shown))
        QVERIFY2(!text.isEmpty() && !hasCjk(text), qPrintable(text));
    // The parenthesis headers are the same in every language.
    QCOMPARE(form.grid().GetCellText(0, 2), QStringLiteral("("));
    QCOMPARE(form.grid().GetCellText(0, 7), QStringLiteral(")"));
    // The buttons keep their accelerators.
    QVERIFY(form.CmdOK()->text().contains(u'&'));
    QVERIFY(form.CmdCancel()->text().contains(u'&'));

    // A screen reader hears every control named and described in the dialog's language.
    QList<QWidget *> controls{form.vspFilter(), form.lstFilter()->currentView(),
                              form.toolbar(),   form.LblMsg(),
                              form.CmdOK(),     form.CmdCancel()};
    for (QAction *a : form.toolbar()->actions())
        controls << form.toolbar()->widgetForAction(a);
    for (QWidget *control : std::as_const(controls)) {
        QAccessibleInterface *said = QAccessible::queryAccessibleInterface(control);
        QVERIFY(said);
        for (const QString &text :
             {said->text(QAccessible::Name), said->text(QAccessible::Description)})
            QVERIFY2(!text.isEmpty() && !hasCjk(text),
                     qPrintable(control->objectName() + u'=' + text));
    }
    // A cell tells its row and column with what it holds.
    ConditionGrid &grid = form.grid();
    grid.setData(grid.index(0, ConditionGrid::ColField - 1), 1, ConditionGrid::ComboIndexRole);
    const int atLeast =
        int(grid.columnItems(ConditionGrid::ColCompare).indexOf(u"Greater than or equal to"_s));
    QVERIFY(atLeast >= 0);
    grid.setData(grid.index(0, ConditionGrid::ColCompare - 1), atLeast,
                 ConditionGrid::ComboIndexRole);
    QAccessibleTableInterface *table =
        QAccessible::queryAccessibleInterface(form.vspFilter())->tableInterface();
    QVERIFY(table);
    QAccessibleInterface *cell = table->cellAt(0, ConditionGrid::ColCompare - 1);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), u"Row 1 Compare: Greater than or equal to"_s);
}

void tst_FrmFilterLayout::captionsFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("dateCaption"); // the host's, in the language
    QTest::newRow("chinese") << QString() << u"符合条件的记录：100,000"_s << u"入库日期"_s;
    QTest::newRow("english") << u"en"_s << u"Matching records: 100,000"_s << u"Date received"_s;
}

void tst_FrmFilterLayout::captionsFit()
{
    // English words are longer than the Chinese ones the layout was drawn for, and the longest
    // Chinese comparison is as wide as its column: a caption or a word wider than its control
    // is cut off, and a cut "大于或…" or "Greater…" no longer tells which comparison it is.
    QFETCH(QString, language);
    QFETCH(QString, count);
    QFETCH(QString, dateCaption);
    useLanguage(language);
    frmFilter form;
    QVERIFY(showWithCount(form, dateCaption));

    // The count line is shortened only when it would not fit.
    QTRY_COMPARE(form.LblCount()->toolTip(), count);
    QCOMPARE(form.LblCount()->text(), form.LblCount()->toolTip());
    const ConditionGridView *view = form.vspFilter();
    // Every logic and comparison word and every field caption shows whole, as the cell's
    // delegate measures it beside the grid line: a pixel short and the style cuts it.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.font = view->font();
    for (int col : {1, 3, 4}) {
        const QStringList words = form.grid().columnItems(col);
        QVERIFY(!words.isEmpty());
        const QModelIndex cell = form.grid().index(1, col - 1);
        // The field list's first item is no field, an empty cell.
        for (int i = col == ConditionGrid::ColField ? 1 : 0; i < words.size(); ++i) {
            QVERIFY(form.grid().setData(cell, i, ConditionGrid::ComboIndexRole));
            QCOMPARE(cell.data().toString(), words.at(i));
            QVERIFY2(view->itemDelegateForIndex(cell)->sizeHint(option, cell).width() + 1 <=
                         view->columnWidth(col - 1),
                     qPrintable(words.at(i)));
        }
    }
    for (QLabel *label : {label1(form), form.findChild<QLabel *>(u"LblConditionText"_s)}) {
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(label->text()));
    }

    const QHeaderView *header = form.vspFilter()->horizontalHeader();
    for (int col : {1, 3, 4, 5}) {
        const QString text = form.grid().GetCellText(0, col);
        QVERIFY2(header->fontMetrics().horizontalAdvance(text) + 4 <= header->sectionSize(col - 1),
                 qPrintable(text));
    }
    for (QPushButton *button : {form.CmdOK(), form.CmdCancel()}) {
        QString text = button->text();
        text.remove(u'&');
        QVERIFY2(button->fontMetrics().horizontalAdvance(text) + 8 <= button->width(),
                 qPrintable(text));
    }
}

void tst_FrmFilterLayout::countLineWhole_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("file");
    QTest::newRow("chinese") << QString()
                             << u"第1行：没有选择字段，但下面还有条件；请选择字段或删除这一行"_s
                             << u"count-line.png"_s;
    QTest::newRow("english") << u"en"_s
                             << u"Row 1: no field is chosen, but conditions follow below; choose "
                                u"a field or delete this row"_s
                             << u"count-line-en.png"_s;
}

// A count line with a reason and its remedy shows whole, on the lines it needs between the
// condition page and the buttons' bottom edge; the keyboard reaches it, and a screen reader
// reads it whole as the label's name.
void tst_FrmFilterLayout::countLineWhole()
{
    QFETCH(QString, language);
    QFETCH(QString, line);
    QFETCH(QString, file);
    useLanguage(language);
    frmFilter form;
    QVERIFY(showWithCount(form));
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QLabel *count = form.LblCount();
    QTRY_VERIFY(count->text().endsWith(u"100,000"_s));
    const QWidget *page = form.findChild<QWidget *>(u"TabS"_s);
    const QRect pageBefore = page->geometry(), countBefore = count->geometry();

    // Row 2 takes a field under an empty row 1, with the mouse and the keys.
    ConditionGridView *view = form.vspFilter();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(form.grid().index(1, ConditionGrid::ColField - 1)).center());
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, u"序"_s, Qt::NoModifier);
    QVERIFY(Testing::enterTypedField(&form));
    QTRY_COMPARE(count->text(), line);
    QVERIFY(count->wordWrap());
    QVERIFY(form.grab().toImage().save(screenshotPath(file)));
    // Every line shows, more than one was needed, and the page above gave the room.
    QVERIFY2(count->height() >= count->heightForWidth(count->width()),
             qPrintable(describe(count->geometry())));
    QVERIFY(count->height() > countBefore.height());
    QCOMPARE(count->geometry().bottom(), countBefore.bottom());
    QCOMPARE(count->x(), countBefore.x());
    QVERIFY(count->geometry().right() < form.CmdOK()->x());
    QVERIFY2(page->geometry().bottom() < count->y(), qPrintable(describe(page->geometry())));
    QCOMPARE(page->height(), pageBefore.height() - (count->height() - countBefore.height()));

    // Ctrl+Tab from the toolbar and Tab from the grid's last cell stop on the line.
    QWidget *tool = form.toolbar()->widgetForAction(form.toolbar()->actions().constFirst());
    tool->setFocus();
    QTest::keyClick(tool, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), count);
    form.grid().setActiveCell(form.grid().rowCount(), ConditionGrid::ColRightParen);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), count);
    QAccessibleInterface *said = QAccessible::queryAccessibleInterface(count);
    QCOMPARE(said->text(QAccessible::Name), line);
    QVERIFY(said->state().focusable && said->state().focused);
    QVERIFY(!said->text(QAccessible::Description).isEmpty());
    QCOMPARE(hasCjk(said->text(QAccessible::Description)), language.isEmpty());

    // The line of a count gives the room back.
    form.grid().setData(form.grid().index(1, ConditionGrid::ColField - 1), 0,
                        ConditionGrid::ComboIndexRole);
    QTRY_VERIFY(count->text().endsWith(u"100,000"_s));
    QCOMPARE(count->geometry(), countBefore);
    QCOMPARE(page->geometry(), pageBefore);
}

void tst_FrmFilterLayout::screenReader_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QString>("editor"); // row 2's field editor
    QTest::addColumn<QString>("paren");  // row 2's closing parenthesis
    QTest::addColumn<QString>("hint");   // on a look-up field's value cell
    QTest::addColumn<QString>("calendar");
    QTest::addColumn<QStringList>("days"); // the calendar's day as it opens, and one on
    QTest::newRow("chinese") << QString() << QStringList{u"逻辑"_s, u"("_s,    u"字段"_s,
                                                         u"比较"_s, u"数值"_s, u")"_s}
                             << u"第2行 字段"_s << u"第2行 )："_s << u"提示：物料按F7键可查看---"_s
                             << u"日历"_s
                             << QStringList{u"2024年3月5日星期二"_s, u"2024年3月6日星期三"_s};
    QTest::newRow("english") << u"en"_s << QStringList{u"Logic"_s,   u"("_s,     u"Field"_s,
                                                       u"Compare"_s, u"Value"_s, u")"_s}
                             << u"Row 2 Field"_s << u"Row 2 ): "_s
                             << u"Hint: 物料: press F7 to look up"_s << u"Calendar"_s
                             << QStringList{u"Tuesday, March 5, 2024"_s,
                                            u"Wednesday, March 6, 2024"_s};
}

// What a screen reader meets: the grid as the table it shows (no hidden column), each cell
// and each editor with its row and column, the hint line's message, the calendar's days in
// full, and no unnamed control.
void tst_FrmFilterLayout::screenReader()
{
    QFETCH(QString, language);
    QFETCH(QStringList, headers);
    QFETCH(QString, editor);
    QFETCH(QString, paren);
    QFETCH(QString, hint);
    QFETCH(QString, calendar);
    QFETCH(QStringList, days);
    useLanguage(language);
    ValueCells::setClock([] { return QDate(2024, 3, 5); });
    const auto restoreClock = qScopeGuard([] { ValueCells::setClock({}); });
    frmFilter form;
    form.setSerialUse(true);
    form.setSerialDesc(Testing::standardSerialDescription());
    form.Form_Load();
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ConditionGridView *view = form.vspFilter();
    ConditionGrid &grid = form.grid();
    const auto click = [view, &grid](int row, int col) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(grid.index(row - 1, col - 1)).center());
    };
    const auto chooseField = [&](int row, const QString &typed) {
        click(row, ConditionGrid::ColField);
        QTest::sendKeyEvent(QTest::Click, view, Qt::Key_unknown, typed, Qt::NoModifier);
        return Testing::enterTypedField(&form);
    };

    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface *cells = table->tableInterface();
    QVERIFY(cells);
    const int columns = int(headers.size());
    QCOMPARE(cells->columnCount(), columns);
    QCOMPARE(cells->rowCount(), grid.rowCount());
    QCOMPARE(table->childCount(), (grid.rowCount() + 1) * columns);
    QStringList heard;
    for (int i = 0; i < columns; ++i) {
        QCOMPARE(table->child(i)->role(), QAccessible::ColumnHeader);
        heard << table->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(heard, headers);
    QAccessibleInterface *last = cells->cellAt(1, columns - 1);
    QVERIFY(last);
    QCOMPARE(last->text(QAccessible::Name), paren);
    QCOMPARE(table->indexOfChild(last), 2 * columns + columns - 1);
    QCOMPARE(last->tableCellInterface()->columnHeaderCells().value(0), table->child(columns - 1));
    // Moving there makes that cell the focused one, as the view's events number it.
    click(2, ConditionGrid::ColRightParen);
    QCOMPARE(table->focusChild(), last);
    QVERIFY(last->state().focused);

    // An editor keeps its cell's row and column.
    click(2, ConditionGrid::ColField);
    QTest::keyClick(view, Qt::Key_F2);
    QWidget *open = QApplication::focusWidget();
    QVERIFY(open && open != view && view->isAncestorOf(open));
    QCOMPARE(QAccessible::queryAccessibleInterface(open)->text(QAccessible::Name), editor);
    QTest::keyClick(open, Qt::Key_Escape);

    // The hint line's message is its name, a change of which a screen reader is told.
    QVERIFY(chooseField(1, u"物"_s));
    click(1, ConditionGrid::ColValue);
    QCOMPARE(QAccessible::queryAccessibleInterface(form.LblMsg())->text(QAccessible::Name), hint);

    // The calendar's days are named and the day it is on is told in full.
    QVERIFY(chooseField(2, u"日"_s));
    click(2, ConditionGrid::ColValue);
    QTest::keyClick(view, Qt::Key_F7);
    QVERIFY(view->datePicker());
    auto *dayGrid = view->datePicker()->findChild<QTableView *>();
    QVERIFY(dayGrid);
    QAccessibleInterface *month = QAccessible::queryAccessibleInterface(dayGrid);
    QCOMPARE(month->text(QAccessible::Name), calendar);
    QCOMPARE(month->text(QAccessible::Description), days.at(0));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(month->text(QAccessible::Description), days.at(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!view->datePicker());

    // No control of the dialog goes unnamed, its size grip, the last of them, included;
    // panes and frames only hold others.
    QStringList unnamed;
    for (QWidget *widget : form.findChildren<QWidget *>()) {
        QAccessibleInterface *said = QAccessible::queryAccessibleInterface(widget);
        if (widget->isVisible() && said && said->role() != QAccessible::Client &&
            said->role() != QAccessible::Border && said->text(QAccessible::Name).isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", "_s)));
}

// Loading runs its steps in order: the captions, then the field list, then the scheme list
// over a grid whose active cell is set; the Delete button and the list's column come last.
void tst_FrmFilterLayout::captionOrder()
{
    QStringList asked;
    ComponentRegistry::instance().registerFactory(ComponentId::resourceLoader(), [&asked] {
        return std::make_shared<RecordingLoader>(&asked);
    });
    frmFilter form;
    form.setSerialUse(true);
    form.setSerialDesc(Testing::standardSerialDescription());
    form.Form_Load();
    QStringList expected;
    for (const Caption &caption : captionsInOrder())
        expected << caption.chinese;
    QCOMPARE(asked.mid(0, expected.size()), expected);
    const qsizetype fields = asked.indexOf(Texts::noField());
    QVERIFY(fields >= expected.size());
    QVERIFY(asked.indexOf(Texts::schemeNameHeader()) > fields);
    QCOMPARE(form.grid().activeRow(), 1);
    QCOMPARE(form.grid().activeCol(), int(ConditionGrid::ColLeftParen));
    QVERIFY(!form.toolbar()->findChild<QAction *>(QStringLiteral("Delete"))->isEnabled());
    QCOMPARE(form.lstFilter()->headerWidth(),
             form.lstFilter()->width() - pixels(80, form.lstFilter()));
}

void tst_FrmFilterLayout::skippedCaption_data()
{
    QTest::addColumn<int>("failing");
    const QList<Caption> captions = captionsInOrder();
    for (int i = 0; i < captions.size(); ++i)
        QTest::addRow("%s", captions.at(i).chinese.toUtf8().constData()) << i;
}

void tst_FrmFilterLayout::skippedCaption()
{
    // A write that fails leaves that one control with its design-time text; the writes
    // before and after it are made.
    QFETCH(int, failing);
    useLanguage(QStringLiteral("en"));
    frmFilter form;
    std::vector<CaptionStep> steps = form.captionSteps();
    const QList<Caption> captions = captionsInOrder();
    QCOMPARE(int(steps.size()), captions.size());
    steps.at(size_t(failing)).write = [](const QString &) {
        throw FilterError(ErrorNumber::MemberMissing, QStringLiteral("test"), QStringLiteral("x"));
    };
    runCaptionSteps(steps);
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(steps.at(size_t(i)).key, captions.at(i).chinese);
        const QString shown = captions.at(i).shown(form);
        if (i == failing)
            QCOMPARE(shown, captions.at(i).chinese);
        else
            QVERIFY2(shown != captions.at(i).chinese, qPrintable(shown));
    }
}

void tst_FrmFilterLayout::missingControlsDoNotStopCaptions()
{
    // A toolbar button or menu entry that is not there is a failing write, not a crash.
    useLanguage(QStringLiteral("en"));
    frmFilter form;
    delete toolAction(form, "SaveAs");
    const QList<QAction *> menu = form.viewMenu()->actions();
    form.viewMenu()->removeAction(menu.at(3));
    form.viewMenu()->removeAction(menu.at(2));
    form.LoadCaptions();
    QVERIFY(!hasCjk(toolAction(form, "View")->toolTip()));
    QVERIFY(!hasCjk(menuText(form, 1)));
    QVERIFY(!hasCjk(label1(form)->text()));
    QVERIFY(!hasCjk(form.CmdCancel()->text()));
}

void tst_FrmFilterLayout::controlsAndImages()
{
    frmFilter form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Four toolbar buttons in index order, each with its own 16 x 16 image.
    QStringList keys;
    QList<QImage> images;
    for (QAction *a : form.toolbar()->actions()) {
        keys << a->objectName();
        QVERIFY(!a->icon().isNull());
        images << a->icon().pixmap(16, 16).toImage();
    }
    QCOMPARE(keys, (QStringList{QStringLiteral("Save"), QStringLiteral("Delete"),
                                QStringLiteral("SaveAs"), QStringLiteral("View")}));
    for (int i = 1; i <= 5; ++i) {
        const QImage image = Images::image(i).pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        // The large-icon view shows large icons, not the small ones again.
        QCOMPARE(Images::image(i).actualSize(QSize(32, 32)), QSize(32, 32));
        for (int j = 1; j < i; ++j)
            QVERIFY2(image != Images::image(j).pixmap(16, 16).toImage(), "two images alike");
    }
    QVERIFY(!form.windowIcon().isNull());
    // The "View" button drops down the four view modes.
    QCOMPARE(form.viewButton()->menu(), form.viewMenu());
    QStringList modes;
    for (QAction *a : form.viewMenu()->actions())
        modes << a->objectName();
    QCOMPARE(modes, (QStringList{QStringLiteral("BigIcon"), QStringLiteral("SmallIcon"),
                                 QStringLiteral("Report"), QStringLiteral("Detail")}));
    QCOMPARE(form.tabBar()->count(), 1);
    QCOMPARE(form.LblMsg()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(form.CmdOK()->isDefault());
    QVERIFY(!form.CmdCancel()->isDefault());
}

void tst_FrmFilterLayout::extent_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("tpp");
    QTest::addColumn<int>("extent");
    QTest::newRow("3000 twips at 15") << 3000 << 15.0 << 215;
    QTest::newRow("nothing at 15") << 0 << 15.0 << 15;
    QTest::newRow("12.5 rounds down to even") << 6 << 12.0 << 12;
    QTest::newRow("13.5 rounds up to even") << 18 << 12.0 << 14;
    QTest::newRow("10.5 at 10") << 5 << 10.0 << 10;
    QTest::newRow("11.5 at 10") << 15 << 10.0 << 12;
    QTest::newRow("not a half") << 3010 << 15.0 << 216;
}

void tst_FrmFilterLayout::extent()
{
    QFETCH(int, width);
    QFETCH(double, tpp);
    QFETCH(int, extent);
    QCOMPARE(frmFilter::horizontalExtent(width, tpp), extent);
}

void tst_FrmFilterLayout::extentOnList()
{
    QListWidget list;
    list.resize(100, 80);
    list.addItems({QStringLiteral("a"), QStringLiteral("b")});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(Twips::perPixel(&list), 15.0);
    frmFilter::addHorScrlBarListBox(&list, 3000);
    QCOMPARE(list.property("horizontalExtent").toInt(), 215);
    const auto wanted = [&list] { return 215 - list.viewport()->width(); };
    QCOMPARE(list.horizontalScrollBar()->maximum(), wanted());

    // The list lays its items out again on its own; the range must survive that.
    list.addItem(QStringLiteral("c"));
    list.resize(120, 90);
    QApplication::processEvents();
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), wanted());

    // A smaller width gives a smaller range.
    frmFilter::addHorScrlBarListBox(&list, 1500);
    QApplication::processEvents();
    QCOMPARE(list.horizontalScrollBar()->maximum(), std::max(0, 115 - list.viewport()->width()));
}

void tst_FrmFilterLayout::extentWithoutList()
{
    try {
        frmFilter::addHorScrlBarListBox(nullptr, 3000);
        QFAIL("a missing list must be reported to the caller");
    } catch (const FilterError &error) {
        QCOMPARE(error.number(), int(ErrorNumber::ObjectNotSet));
    }
}

QTEST_MAIN(tst_FrmFilterLayout)
#include "tst_frmfilterlayout.moc"
