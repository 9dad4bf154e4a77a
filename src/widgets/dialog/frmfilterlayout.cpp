// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The filter dialog's controls at their design-time places (in twips), and how an enlarged
// dialog uses its room.
#include "widgets/dialog/frmfilter.h"

#include "core/conditions/conditiongrid.h"
#include "core/text/texts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/conditiontextline.h"
#include "widgets/dialog/matchcount.h"
#include "widgets/schemes/schemelistview.h"
#include "widgets/support/images.h"
#include "widgets/support/twips.h"

#include <NxSerialFilter/failure.h>

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace NxSerialFilter {

namespace {
constexpr int clientWidthTwips = 8400;
/// The condition text line's row above the grid: the grid keeps its rows below it.
constexpr int textRowTwips = 390;
constexpr int clientHeightTwips = 4575 + textRowTwips;
} // namespace

void frmFilter::buildLayout()
{
    setWindowTitle(Texts::filterCaption());
    setWindowIcon(Images::formIcon());
    // Opens at its designed size and may grow: long words of other languages need room.
    const QSize designed(Twips::toPixels(clientWidthTwips, this),
                         Twips::toPixels(clientHeightTwips, this));
    setMinimumSize(designed);
    resize(designed);
    setSizeGripEnabled(true);
    // Created in the order Tab visits them.
    buildSchemePanel();
    buildConditionPage();
    buildButtons();
    anchorControls(designed);
}

void frmFilter::buildSchemePanel()
{
    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    Twips::place(m_picture1, 60, 30, 2370, 4290 + textRowTwips);

    m_label1 = new QLabel(Texts::schemePanel(), m_picture1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    Twips::place(m_label1, 30, 0, 660, 300);
    buildToolbar();
    m_lstFilter = new SchemeListView(m_picture1);
    Twips::place(m_lstFilter, -15, 630, 2385, 3420 + textRowTwips);
}

void frmFilter::buildToolbar()
{
    m_toolbar = new QToolBar(m_picture1);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    Twips::place(m_toolbar, 0, 225, 1785, 420);
    const struct
    {
        const char *key;
        QString tip;
    } buttons[] = {{"Save", Texts::toolSave()},
                   {"Delete", Texts::toolDelete()},
                   {"SaveAs", Texts::toolSaveAs()},
                   {"View", Texts::toolView()}};
    int image = 1;
    for (const auto &button : buttons) {
        QAction *action = m_toolbar->addAction(Images::image(image++), button.tip);
        action->setObjectName(QString::fromLatin1(button.key));
        action->setToolTip(button.tip);
        // Reachable with Tab and Ctrl+Tab, and pressed with Space, like any other button.
        if (QWidget *tool = m_toolbar->widgetForAction(action))
            tool->setFocusPolicy(Qt::TabFocus);
    }
    if (QAction *save = m_toolbar->findChild<QAction *>(QStringLiteral("Save")))
        save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    if (QAction *saveAs = m_toolbar->findChild<QAction *>(QStringLiteral("SaveAs")))
        saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction *viewAction = m_toolbar->actions().constLast();
    m_viewButton = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(viewAction));
    m_viewMenu = new QMenu(this);
    m_viewMenu->setObjectName(QStringLiteral("ViewMenu"));
    const struct
    {
        const char *key;
        QString text;
    } modes[] = {{"BigIcon", Texts::viewBigIcon()},
                 {"SmallIcon", Texts::viewSmallIcon()},
                 {"Report", Texts::viewReport()},
                 {"Detail", Texts::viewDetail()}};
    for (const auto &mode : modes)
        m_viewMenu->addAction(mode.text)->setObjectName(QString::fromLatin1(mode.key));
    if (m_viewButton) {
        m_viewButton->setObjectName(QStringLiteral("ViewButton"));
        m_viewButton->setMenu(m_viewMenu);
        m_viewButton->setPopupMode(QToolButton::MenuButtonPopup);
        m_viewButton->setProperty("Tag", QString());
    }
}

void frmFilter::buildConditionPage()
{
    m_tabS = new QWidget(this);
    m_tabS->setObjectName(QStringLiteral("TabS"));
    Twips::place(m_tabS, 2460, 195, 5835, 3885 + textRowTwips);
    m_tabBar = new QTabBar(m_tabS);
    m_tabBar->setObjectName(QStringLiteral("TabSBar"));
    m_tabBar->addTab(Texts::filterTab());
    m_tabBar->setDrawBase(false);
    auto *page = new QFrame(m_tabS);
    page->setObjectName(QStringLiteral("TabSPage"));
    page->setFrameShape(QFrame::StyledPanel);
    page->lower();
    m_tabPage = page;
    layoutTabPage();

    // The condition as words, above the grid it is kept in step with; Tab goes on to the grid.
    m_lblText = new QLabel(Texts::conditionText(), m_tabS);
    m_lblText->setObjectName(QStringLiteral("LblConditionText"));
    Twips::place(m_lblText, 120, 480, 900, 270);
    m_textLine = new ConditionTextLine(*m_grid, *m_valueCells, m_tabS);
    Twips::place(m_textLine, 1080, 450, 4530, 345);
    m_lblText->setBuddy(m_textLine);

    m_picture2 = new QWidget(m_tabS);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    Twips::place(m_picture2, 135, 450 + textRowTwips, 5550, 3240);
    m_vspFilter = new ConditionGridView(m_picture2);
    Twips::place(m_vspFilter, -15, 0, 5490, 3180);
    m_vspFilter->setGrid(m_grid);

    m_lblMsg = new QLabel(m_tabS);
    m_lblMsg->setObjectName(QStringLiteral("LblMsg"));
    QPalette blue = m_lblMsg->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_lblMsg->setPalette(blue);
    Twips::place(m_lblMsg, 2580, 60, 3285, 210);
}

void frmFilter::buildButtons()
{
    // The live count sits under the condition page, beside the buttons; shown only when the
    // host counts. A reason with its remedy is read whole, also from the keyboard: the line
    // wraps, and Tab or Ctrl+Tab stops on it with its text selectable.
    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("LblCount"));
    m_lblCount->setTextFormat(Qt::PlainText);
    m_lblCount->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblCount->setWordWrap(true);
    m_lblCount->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_lblCount->setFocusPolicy(Qt::StrongFocus);
    Twips::place(m_lblCount, 2520, 4140 + textRowTwips, 3450, 330);
    m_lblCount->hide();

    m_cmdOk = new QPushButton(Texts::ok(), this);
    m_cmdOk->setObjectName(QStringLiteral("CmdOK"));
    m_cmdOk->setDefault(true);
    m_cmdOk->setAutoDefault(true);
    Twips::place(m_cmdOk, 6090, 4140 + textRowTwips, 1050, 330);
    m_cmdCancel = new QPushButton(Texts::cancel(), this);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    // Enter on a focused Cancel button cancels; elsewhere it stays with OK.
    m_cmdCancel->setAutoDefault(true);
    Twips::place(m_cmdCancel, 7260, 4140 + textRowTwips, 1050, 330);
}

void frmFilter::anchorControls(const QSize &designed)
{
    // What an enlarged dialog does with its extra room: the lists grow, the buttons follow
    // the bottom right corner, the count line the bottom edge.
    m_anchors = {{m_picture1, Grow::Height},
                 {m_lstFilter, Grow::Height},
                 {m_tabS, Grow::Both},
                 {m_lblText, Grow::Caption},
                 {m_textLine, Grow::Width},
                 {m_picture2, Grow::Both},
                 {m_vspFilter, Grow::Both},
                 {m_lblMsg, Grow::Width},
                 {m_cmdOk, Grow::MoveCorner},
                 {m_cmdCancel, Grow::MoveCorner},
                 {m_lblCount, Grow::FollowBottom}};
    for (Anchor &anchor : m_anchors)
        anchor.designed = anchor.widget->geometry();
    m_designedSize = designed;
}

void frmFilter::followSize()
{
    const int dx = std::max(0, width() - m_designedSize.width());
    const int dy = std::max(0, height() - m_designedSize.height());
    const int countLines = countLineGrowth(dx);
    const int textLines = textLineGrowth();
    // A caption wider in another language pushes the text line beside it to the right.
    const int captionExtra =
        std::max(0, m_lblText->sizeHint().width() - designedRect(m_lblText).width());
    for (const Anchor &anchor : m_anchors) {
        QRect r = anchor.designed;
        // The lines the text line needs beyond its one come from the grid below it.
        if (anchor.widget == m_textLine) {
            r.setHeight(r.height() + textLines);
            r.setLeft(r.left() + captionExtra);
        } else if (anchor.widget == m_picture2)
            r.setTop(r.top() + textLines);
        else if (anchor.widget == m_vspFilter)
            r.setHeight(r.height() - textLines);
        // The lines the count line needs beyond its one come from the condition page above.
        if (anchor.widget == m_lblCount)
            r.setTop(r.top() - countLines);
        else if (anchor.grow == Grow::Both)
            r.setHeight(r.height() - countLines);
        switch (anchor.grow) {
        case Grow::Height:
            r.setHeight(r.height() + dy);
            break;
        case Grow::Width:
            r.setWidth(r.width() + dx);
            break;
        case Grow::Both:
            r.setSize(r.size() + QSize(dx, dy));
            break;
        case Grow::MoveCorner:
            r.translate(dx, dy);
            break;
        case Grow::FollowBottom:
            r.translate(0, dy);
            r.setWidth(r.width() + dx);
            break;
        case Grow::Caption:
            r.setWidth(r.width() + captionExtra);
            break;
        }
        anchor.widget->setGeometry(r);
    }
    m_vspFilter->setExtraWidth(dx);
    layoutTabPage();
    fillGridHeight();
}

QRect frmFilter::designedRect(const QWidget *widget) const
{
    const auto anchor = std::find_if(m_anchors.begin(), m_anchors.end(),
                                     [widget](const Anchor &a) { return a.widget == widget; });
    return anchor == m_anchors.end() ? QRect() : anchor->designed;
}

int frmFilter::countLineGrowth(int dx) const
{
    const QRect designed = designedRect(m_lblCount);
    if (designed.isNull() || m_lblCount->isHidden() || m_lblCount->text().isEmpty())
        return 0;
    const int needed = m_lblCount->heightForWidth(designed.width() + dx);
    // The grid keeps most of its height whatever the line says.
    return std::clamp(needed - designed.height(), 0, m_designedSize.height() / 4);
}

int frmFilter::textLineGrowth() const
{
    const QRect designed = designedRect(m_textLine);
    if (designed.isNull())
        return 0;
    return std::max(0, m_textLine->heightFor(m_textLine->lines()) - designed.height());
}

void frmFilter::fillGridHeight()
{
    // Only an enlarged dialog: at its designed size the grid keeps the rows it was drawn with.
    if (height() <= m_designedSize.height() || !m_grid || !m_vspFilter)
        return;
    const int rowHeight = std::max(1, m_vspFilter->verticalHeader()->defaultSectionSize());
    const int rows = m_vspFilter->viewport()->height() / rowHeight;
    // Rows are only added, never taken: a shrinking dialog must not drop what they hold.
    if (rows > m_grid->MaxRows())
        m_grid->SetMaxRows(rows);
}

void frmFilter::fitWords()
{
    // The words are known once the language and the form's font are: the dialog grows by
    // what they need, never below its designed size.
    m_vspFilter->applyColumnWidths();
    const QSize needed = m_designedSize + QSize(m_vspFilter->wordsOverflow(), 0);
    setMinimumSize(needed);
    if (width() < needed.width())
        resize(needed.width(), height());
}

void frmFilter::fitCountLine()
{
    // Shown whole. A screen reader hears the label's own name change, its text, once per
    // new line (the installed Qt has no announcement).
    const QString line = m_matchCount ? m_matchCount->line() : QString();
    m_lblCount->setToolTip(line);
    m_lblCount->setText(line);
    if (!m_anchors.empty())
        followSize();
}

void frmFilter::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_anchors.empty())
        followSize();
}

void frmFilter::layoutTabPage()
{
    // The tab row must end above the text line and the grid's frame, whatever height the
    // form's font gives it.
    const int gridTop = m_textLine ? m_textLine->y() : Twips::toPixels(450, this);
    const int tabHeight = std::min(m_tabBar->sizeHint().height(), gridTop - 2);
    m_tabBar->setGeometry(0, 0, m_tabBar->sizeHint().width(), tabHeight);
    m_tabPage->setGeometry(0, tabHeight - 1, m_tabS->width(), m_tabS->height() - tabHeight + 1);
}

int frmFilter::horizontalExtent(qint32 widthTwips, double twipsPerPixel)
{
    return int(std::nearbyint(widthTwips / twipsPerPixel + twipsPerPixel));
}

namespace {

/// Keeps a list's horizontal scroll range at least as wide as a set extent: the list
/// recomputes its range from its items whenever it lays them out again.
class HorizontalExtent : public QObject
{
public:
    explicit HorizontalExtent(QListWidget *list)
        : QObject(list)
        , m_list(list)
    {
        setObjectName(QStringLiteral("HorizontalExtent"));
        connect(list->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
                &HorizontalExtent::apply);
        list->viewport()->installEventFilter(this);
    }

    void setExtent(int extent)
    {
        m_extent = extent;
        m_list->doItemsLayout(); // drops a wider range set before
        apply();
    }

    void apply()
    {
        QScrollBar *bar = m_list->horizontalScrollBar();
        const int wanted = std::max(0, m_extent - m_list->viewport()->width());
        if (bar->maximum() < wanted)
            bar->setRange(bar->minimum(), wanted);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget *m_list;
    int m_extent = 0;
};

} // namespace

void frmFilter::addHorScrlBarListBox(QListWidget *list, qint32 widthTwips)
{
    if (!list)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("addHorScrlBarListBox"),
                          Texts::objectNotSet() + QStringLiteral("list"));
    const int extent = horizontalExtent(widthTwips, Twips::perPixel(list));
    auto *keeper = list->findChild<HorizontalExtent *>(QStringLiteral("HorizontalExtent"),
                                                       Qt::FindDirectChildrenOnly);
    if (!keeper)
        keeper = new HorizontalExtent(list);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setProperty("horizontalExtent", extent);
    keeper->setExtent(extent);
}

} // namespace NxSerialFilter
