// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "frmfilter.h"

#include "conditions/conditiongrid.h"
#include "conditions/conditiongridview.h"
#include "conditions/sqlbuilder.h"
#include "conditions/valuecells.h"
#include "conditions/vocabulary.h"
#include "filter/fieldlist.h"
#include "images.h"
#include "schemes/schemelist.h"
#include "schemes/schemelistview.h"
#include "support/busypointer.h"
#include "support/failure.h"
#include "support/keys.h"
#include "support/mmts.h"
#include "support/mparse.h"
#include "support/nxalert.h"
#include "support/texts.h"
#include "support/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace NxSerialFilter {

namespace {

constexpr int clientWidthTwips = 8400;
constexpr int clientHeightTwips = 4575;

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left, top, width, height, widget));
}

void showFailure()
{
    BusyPointer::restore();
    nxAlert::ShowAlert(describeFailure(std::current_exception()), nxAlert::Information);
}

} // namespace

frmFilter::frmFilter(QWidget *parent)
    : QDialog(parent)
    , m_grid(new ConditionGrid(this))
{
    setObjectName(QStringLiteral("frmFilter"));
    m_valueCells = std::make_unique<ValueCells>(m_state, *m_grid);
    m_state.setHint = [this](const QString &text) {
        if (m_lblMsg)
            m_lblMsg->setText(text);
    };
    buildLayout();
    m_schemes = new SchemeList(m_state, *m_grid, *m_valueCells, *m_lstFilter, *m_toolbar, this);

    connect(m_grid, &ConditionGrid::cellChanged, this,
            [this](int col, int row) { m_valueCells->cellChanged(col, row); });
    connect(m_vspFilter, &ConditionGridView::leaveCell, this,
            [this](int col, int row, int newCol, int newRow) {
                m_valueCells->leaveCell(col, row, newCol, newRow);
            });
    connect(m_vspFilter, &ConditionGridView::keyDown, this, [this](int key, Qt::KeyboardModifiers) {
        m_valueCells->keyDown(Keys::windowsKeyCode(key));
    });
    connect(m_cmdOk, &QPushButton::clicked, this, &frmFilter::CmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmFilter::CmdCancel_Click);
    connect(m_lstFilter, &SchemeListView::itemClicked, this,
            [this](int index) { m_schemes->itemClick(index); });
    for (QAction *action : m_toolbar->actions()) {
        if (action->objectName().isEmpty())
            continue;
        connect(action, &QAction::triggered, this,
                [this, action] { m_schemes->buttonClick(action->objectName()); });
    }
    for (QAction *action : m_viewMenu->actions()) {
        connect(action, &QAction::triggered, this,
                [this, action] { m_schemes->buttonMenuClick(action->objectName()); });
    }
}

frmFilter::~frmFilter()
{
    // A host may hold its Filter beyond the application object.
    if (m_keyPreview && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void frmFilter::buildLayout()
{
    setWindowTitle(Texts::filterCaption());
    setWindowIcon(Images::formIcon());
    setFixedSize(Twips::toPixels(clientWidthTwips, this), Twips::toPixels(clientHeightTwips, this));

    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    place(m_picture1, 60, 30, 2370, 4290);

    m_label1 = new QLabel(Texts::schemePanel(), m_picture1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    place(m_label1, 30, 0, 660, 300);

    m_toolbar = new QToolBar(m_picture1);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    place(m_toolbar, 0, 225, 1785, 420);
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
    }
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

    m_lstFilter = new SchemeListView(m_picture1);
    place(m_lstFilter, -15, 630, 2385, 3420);

    m_tabS = new QWidget(this);
    m_tabS->setObjectName(QStringLiteral("TabS"));
    place(m_tabS, 2460, 195, 5835, 3885);
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

    m_picture2 = new QWidget(m_tabS);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    place(m_picture2, 135, 450, 5550, 3240);
    m_vspFilter = new ConditionGridView(m_picture2);
    place(m_vspFilter, -15, 0, 5490, 3180);
    m_vspFilter->setGrid(m_grid);

    m_lblMsg = new QLabel(m_tabS);
    m_lblMsg->setObjectName(QStringLiteral("LblMsg"));
    QPalette blue = m_lblMsg->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_lblMsg->setPalette(blue);
    place(m_lblMsg, 2580, 60, 3285, 210);

    m_cmdOk = new QPushButton(Texts::ok(), this);
    m_cmdOk->setObjectName(QStringLiteral("CmdOK"));
    m_cmdOk->setDefault(true);
    m_cmdOk->setAutoDefault(true);
    place(m_cmdOk, 6090, 4140, 1050, 330);
    m_cmdCancel = new QPushButton(Texts::cancel(), this);
    m_cmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    // Enter on a focused Cancel button cancels; elsewhere it stays with OK.
    m_cmdCancel->setAutoDefault(true);
    place(m_cmdCancel, 7260, 4140, 1050, 330);
}

void frmFilter::layoutTabPage()
{
    // The tab row must end above the grid's frame, whatever height the form's font gives it.
    const int gridTop = m_picture2 ? m_picture2->y() : Twips::toPixels(450, this);
    const int tabHeight = std::min(m_tabBar->sizeHint().height(), gridTop - 2);
    m_tabBar->setGeometry(0, 0, m_tabBar->sizeHint().width(), tabHeight);
    m_tabPage->setGeometry(0, tabHeight - 1, m_tabS->width(), m_tabS->height() - tabHeight + 1);
}

void frmFilter::setSerialUse(bool serialUse)
{
    m_state.SerialUse = serialUse;
}

void frmFilter::setSerialDesc(KeyedValuesPtr serialDesc)
{
    m_state.SerialDesc = std::move(serialDesc);
}

void frmFilter::setCommonField(KeyedValuesPtr commonField)
{
    m_state.CommonField = std::move(commonField);
}

void frmFilter::setScreenID(const QString &screenId)
{
    m_state.ScreenID = screenId;
}

QString frmFilter::ScreenID() const
{
    return m_state.ScreenID;
}

bool frmFilter::Cancel() const
{
    return m_state.Cancel;
}

QString frmFilter::FilterSQL() const
{
    return m_state.FilterSQL;
}

const BoundConditions &frmFilter::FilterQuery() const
{
    return m_state.FilterQuery;
}

void frmFilter::showModal()
{
    if (!m_loaded) {
        // A failed load reaches the host, which knows only FilterError: an outside component's
        // own exception (a form text loader's, say) is carried in one.
        try {
            Form_Load();
        } catch (const FilterError &) {
            throw;
        } catch (...) {
            throw FilterError(ErrorNumber::Unexpected, QStringLiteral("Form_Load"),
                              describeFailure(std::current_exception()));
        }
    }
    m_ending = false;
    setWindowModality(Qt::ApplicationModal);
    exec();
}

void frmFilter::SetFields()
{
    FieldList::SetFields(m_state, *m_grid);
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

void frmFilter::Form_Load()
{
    m_loaded = true;
    SetKeyPreview();
    LoadCaptions();
    MParse::ApplyFormFont(this);
    m_state.LogicWords = Vocabulary::logicWords();
    m_state.CompareWords = Vocabulary::compareWords();
    SetFields();
    m_grid->setActiveCell(1, ConditionGrid::ColLeftParen);
    m_schemes->FillSchemeList();
    if (QAction *remove = m_toolbar->findChild<QAction *>(QStringLiteral("Delete")))
        remove->setEnabled(false);
    m_lstFilter->setHeaderWidth(m_lstFilter->width() - Twips::toPixels(80, m_lstFilter));
}

void frmFilter::Form_Activate()
{
    if (!m_vspFilter->isVisible() || m_state.Activated)
        return;
    m_state.Activated = true;
    try {
        m_grid->setActiveCell(1, ConditionGrid::ColLeftParen);
        m_vspFilter->setFocus();
    } catch (...) {
    }
    BusyPointer::restoreDefault();
    try {
        if (!m_state.CommonField)
            m_state.CommonField = KeyedValues::create();
    } catch (...) {
    }
}

void frmFilter::Form_Deactivate()
{
    m_state.Cancel = true;
}

void frmFilter::Form_Unload()
{
    m_state.Cancel = true;
}

void frmFilter::CmdOK_Click()
{
    m_state.Activated = false;
    m_state.Cancel = false;
    if (SqlBuilder::CreateSQL(m_state, *m_grid)) {
        m_ending = true;
        QDialog::accept();
    }
}

void frmFilter::CmdCancel_Click()
{
    m_state.Activated = false;
    m_state.Cancel = true;
    m_ending = true;
    QDialog::reject();
}

void frmFilter::reject()
{
    CmdCancel_Click();
}

void frmFilter::Form_KeyDown(int keyCode, int shift)
{
    Q_UNUSED(shift)
    if (keyCode != Keys::F1)
        return;
    const QString subId = MParse::GetPropValue(QStringLiteral("SUBID"));
    MMTS::ShowHelpOnKey(keyCode, 0, QStringLiteral("ICSerialFilter"), m_state.SerialUse ? 1 : 0,
                        subId, 0);
}

ushort frmFilter::Form_KeyPress(ushort keyAscii)
{
    return Vocabulary::Form_KeyPress(keyAscii, m_grid->activeCol());
}

void frmFilter::SetKeyPreview()
{
    if (m_keyPreview)
        return;
    m_keyPreview = true;
    qApp->installEventFilter(this);
}

std::vector<frmFilter::CaptionStep> frmFilter::captionSteps()
{
    std::vector<CaptionStep> steps;
    steps.push_back({Texts::filterCaption(), [this](const QString &t) { setWindowTitle(t); }});
    const QStringList keys{QStringLiteral("Save"), QStringLiteral("Delete"),
                           QStringLiteral("SaveAs"), QStringLiteral("View")};
    const QStringList tips{Texts::toolSave(), Texts::toolDelete(), Texts::toolSaveAs(),
                           Texts::toolView()};
    for (int i = 0; i < keys.size(); ++i) {
        steps.push_back({tips.at(i), [this, key = keys.at(i)](const QString &t) {
                             QAction *action = m_toolbar->findChild<QAction *>(key);
                             if (!action)
                                 throw FilterError(ErrorNumber::MemberMissing, key, key);
                             action->setText(t);
                             action->setToolTip(t);
                         }});
    }
    const QList<QAction *> menu = m_viewMenu->actions();
    const QStringList menuTexts{Texts::viewBigIcon(), Texts::viewSmallIcon(), Texts::viewReport(),
                                Texts::viewDetail()};
    for (int i = 0; i < menuTexts.size(); ++i) {
        steps.push_back({menuTexts.at(i), [menu, i](const QString &t) {
                             if (i >= menu.size())
                                 throw FilterError(ErrorNumber::SubscriptOutOfRange,
                                                   QStringLiteral("ButtonMenus"), t);
                             menu.at(i)->setText(t);
                         }});
    }
    steps.push_back({Texts::schemePanel(), [this](const QString &t) { m_label1->setText(t); }});
    steps.push_back({Texts::filterTab(), [this](const QString &t) { m_tabBar->setTabText(0, t); }});
    const struct
    {
        int col;
        QString key;
    } headers[] = {{ConditionGrid::ColLogic, Texts::headerLogic()},
                   {ConditionGrid::ColField, Texts::headerField()},
                   {ConditionGrid::ColCompare, Texts::headerCompare()},
                   {ConditionGrid::ColValue, Texts::headerValue()},
                   {ConditionGrid::ColValueCode, Texts::headerValueCode()}};
    for (const auto &header : headers) {
        steps.push_back({header.key, [this, col = header.col](const QString &t) {
                             m_grid->SetCellText(0, col, t);
                         }});
    }
    steps.push_back({Texts::ok(), [this](const QString &t) { m_cmdOk->setText(t); }});
    steps.push_back({Texts::cancel(), [this](const QString &t) { m_cmdCancel->setText(t); }});
    return steps;
}

void frmFilter::LoadCaptions()
{
    runCaptionSteps(captionSteps());
}

void frmFilter::runCaptionSteps(const std::vector<CaptionStep> &steps)
{
    for (const CaptionStep &step : steps) {
        try {
            step.write(MParse::LoadLangString(step.key));
        } catch (...) {
            // A caption that cannot be written keeps its design-time text.
        }
    }
}

bool frmFilter::ownsWidget(const QObject *object) const
{
    if (!object->isWidgetType())
        return false;
    // The dialog's own pop-ups (menus, drop-down lists) belong to it; other windows opened
    // over it (the scheme name dialog, alerts, help) keep their keys to themselves.
    for (auto *w = static_cast<const QWidget *>(object); w; w = w->parentWidget()) {
        if (w == this)
            return true;
        if (w->isWindow() && w->windowType() != Qt::Popup)
            return false;
    }
    return false;
}

bool frmFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        m_lastKeyEvent = nullptr; // the press has been delivered
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress || !ownsWidget(watched))
        return QDialog::eventFilter(watched, event);
    if (previewKey(watched, static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool frmFilter::previewKey(QObject *watched, QKeyEvent *key)
{
    // One key press is previewed once: a key the receiver ignored travels on to its parents,
    // and a key that opens a cell editor is handed on to that editor.
    const auto *widget = static_cast<QWidget *>(watched);
    if (key == m_lastKeyEvent && m_lastKeyReceiver && watched != m_lastKeyReceiver &&
        m_lastKeyReceiver->isWidgetType()) {
        const auto *last = static_cast<const QWidget *>(m_lastKeyReceiver.data());
        if (widget->isAncestorOf(last) || last->isAncestorOf(widget))
            return false;
    }
    m_lastKeyEvent = key;
    m_lastKeyReceiver = watched;

    // Neither the help key nor the grid's key handling has a handler of its own: a failure
    // ends that key's work with one alert and the dialog stays usable.
    try {
        Form_KeyDown(Keys::windowsKeyCode(key->key()), int(key->modifiers()));
    } catch (...) {
        showFailure();
    }
    try {
        if (m_vspFilter->isAncestorOf(widget) || widget == m_vspFilter)
            m_vspFilter->raiseKeyDown(key->key(), key->modifiers());
    } catch (...) {
        showFailure();
    }

    const QString text = key->text();
    if (text.size() == 1 && (text.at(0).unicode() >= 0x20 || text.at(0).unicode() == 8) &&
        text.at(0).unicode() != 0x7f) {
        if (Form_KeyPress(text.at(0).unicode()) == 0)
            return true; // discarded
    }
    return false;
}

bool frmFilter::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        Form_Activate();
        break;
    case QEvent::WindowDeactivate:
        // Only another window of the component counts, not the dialog's own hiding nor an
        // alert box.
        if (!m_ending && isVisible() && !qobject_cast<QMessageBox *>(QApplication::activeWindow()))
            Form_Deactivate();
        break;
    default:
        break;
    }
    return QDialog::event(event);
}

void frmFilter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmFilter::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_tabPage)
        layoutTabPage();
}

void frmFilter::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

} // namespace NxSerialFilter
