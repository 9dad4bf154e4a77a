// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/frmfilter.h"

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/host/busypointer.h"
#include "core/host/hostcontext.h"
#include "core/host/keys.h"
#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/conditions/gridediting.h"
#include "widgets/dialog/conditiontextline.h"
#include "widgets/dialog/helpwindow.h"
#include "widgets/dialog/keypreview.h"
#include "widgets/dialog/matchcount.h"
#include "widgets/dialog/questionswindow.h"
#include "widgets/schemes/schemelist.h"
#include "widgets/schemes/schemelistview.h"
#include "widgets/support/twips.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/nxalert.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <QUrl>

#include <array>
#include <utility>

namespace NxSerialFilter {

frmFilter::frmFilter(QWidget *parent)
    : QDialog(parent)
    , m_grid(new ShownConditionGrid(this))
{
    setObjectName(QStringLiteral("frmFilter"));
    m_valueCells = std::make_unique<ValueCells>(m_fields, *m_grid);
    buildLayout();
    connect(m_valueCells.get(), &ValueCells::hintChanged, this, &frmFilter::showHint);
    connect(m_valueCells.get(), &ValueCells::failed, this,
            [](const QString &message) { nxAlert::ShowAlert(message, nxAlert::Information); });
    m_schemes = new SchemeList(m_fields, *m_grid, *m_valueCells, *m_lstFilter, *m_toolbar, this);

    m_editing = new GridEditing(
        *m_vspFilter,
        [this](const Condition &condition) {
            SchemeText::applyCondition(*m_grid, *m_valueCells, condition);
        },
        this);
    // Undoing a pick goes back to the scheme picked before, so that Save writes the grid there.
    m_editing->setContext([this] { return std::any(m_schemes->place()); },
                          [this](const std::any &place) {
                              m_schemes->setPlace(std::any_cast<const SchemeList::Place &>(place));
                          });
    m_textLine->setEditing(m_editing);
    connect(m_textLine, &ConditionTextLine::linesChanged, this, &frmFilter::followSize,
            Qt::QueuedConnection);
    // Why the text does not read is on the hint line too, where the dialog speaks.
    connect(m_textLine, &ConditionTextLine::failureChanged, this, [this](const QString &message) {
        if (!message.isEmpty())
            showHint(message);
        else if (m_lblMsg->text() == m_textFailureShown)
            showHint(QString());
        m_textFailureShown = message;
    });
    connectGrid();
    connect(m_cmdOk, &QPushButton::clicked, this, &frmFilter::CmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmFilter::CmdCancel_Click);
    connectSchemeList();
}

void frmFilter::connectGrid()
{
    connect(m_editing, &GridEditing::applied, this, &frmFilter::fillGridHeight,
            Qt::QueuedConnection);
    // Each change the user makes is one step of undo, taken after the grid's own rules ran.
    connect(m_grid, &ConditionGrid::cellChanged, this, [this](int col, int row) {
        m_valueCells->cellChanged(col, row);
        m_editing->record(row, col);
    });
    connect(m_vspFilter, &ConditionGridView::leaveCell, this,
            [this](int col, int row, int newCol, int newRow) {
                m_valueCells->leaveCell(col, row, newCol, newRow);
            });
    connect(m_vspFilter, &ConditionGridView::keyDown, this, [this](int key, Qt::KeyboardModifiers) {
        m_valueCells->keyDown(Keys::windowsKeyCode(key));
        m_editing->record(m_grid->activeRow(), m_grid->activeCol()); // a look-up's value
    });
    connect(m_vspFilter, &ConditionGridView::listPasted, this, &frmFilter::showHint);
    connect(m_vspFilter, &ConditionGridView::dateRefused, this, &frmFilter::showHint);
    m_vspFilter->setListChecker([this](int row, const QStringList &values) {
        return m_valueCells->unknownLookupValues(row, values);
    });
}

void frmFilter::connectSchemeList()
{
    // Every path that reads the grid first takes what an open editor shows.
    connect(m_lstFilter, &SchemeListView::itemClicked, this, [this](int index, bool byKeyboard) {
        m_vspFilter->commitOpenEditor();
        // The grid as it stands is what undoing the pick brings back.
        m_editing->record(m_grid->activeRow(), m_grid->activeCol());
        const QScopedValueRollback keep(m_listKeepsFocus, byKeyboard);
        m_schemes->itemClick(index);
        m_editing->record(1, ConditionGrid::ColLeftParen);
    });
    // A grid loaded or cut short still fills an enlarged dialog; after the model's own
    // signal has finished.
    connect(m_grid, &QAbstractItemModel::rowsRemoved, this, &frmFilter::fillGridHeight,
            Qt::QueuedConnection);
    // The hint line tells of the grid it was written for: a scheme saved or a list pasted.
    connect(m_schemes, &SchemeList::removed, m_lblMsg, &QLabel::clear);
    connect(m_schemes, &SchemeList::loaded, this, [this] {
        m_lblMsg->clear();
        // A click hands the loaded scheme to the grid; a user moving through the list with
        // the keys stays in the list.
        if (m_vspFilter->isVisible() && !m_listKeepsFocus)
            m_vspFilter->setFocus();
        // A date word of a newer build would compose as a text that finds nothing.
        QStringList unknown;
        const Condition &loaded = m_grid->condition();
        for (qsizetype r = 0; r < loaded.size(); ++r) {
            if (holdsUnknownDate(m_grid->catalog(), loaded.at(r)))
                unknown << Vocabulary::rowMessage(int(r) + 1, Texts::unknownDateWord())
                               .arg(loaded.at(r).value.text());
        }
        if (!unknown.isEmpty())
            nxAlert::ShowAlert(unknown.join(u'\n'), nxAlert::Information);
    });
    connect(m_schemes, &SchemeList::saved, this, [this](const QString &name) {
        // Joined, not formatted: a name may hold anything a format would take for a marker.
        showHint(Language::text(Texts::schemeSaved()) + name);
    });
    for (QAction *action : m_toolbar->actions()) {
        if (action->objectName().isEmpty())
            continue;
        connect(action, &QAction::triggered, this, [this, action] {
            // A refused value stays in its editor: saving now would store the old one.
            if (!m_vspFilter->commitOpenEditor())
                return;
            m_editing->record(m_grid->activeRow(), m_grid->activeCol());
            m_schemes->buttonClick(action->objectName());
            // Delete empties the grid; a save makes it another scheme's.
            m_editing->record(1, ConditionGrid::ColLeftParen);
        });
    }
    connect(m_lstFilter, &SchemeListView::renamePressed, this,
            [this] { m_schemes->RenameScheme(m_lstFilter->selectedIndex()); });
    connect(m_lstFilter, &SchemeListView::deletePressed, this, [this] {
        if (QAction *remove = m_toolbar->findChild<QAction *>(QStringLiteral("Delete")))
            remove->trigger(); // does nothing while the button is disabled
    });
    for (QAction *action : m_viewMenu->actions()) {
        connect(action, &QAction::triggered, this,
                [this, action] { m_schemes->buttonMenuClick(action->objectName()); });
    }
}

frmFilter::~frmFilter()
{
    // Hiding the dialog below commits an open cell editor into the grid, whose handlers here
    // would run on members already gone.
    disconnect(m_grid, nullptr, this, nullptr);
    disconnect(m_vspFilter, nullptr, this, nullptr);
}

void frmFilter::setSerialUse(bool serialUse)
{
    m_fields.SerialUse = serialUse;
}

void frmFilter::setSerialDesc(KeyedValuesPtr serialDesc)
{
    m_fields.SerialDesc = std::move(serialDesc);
}

void frmFilter::setCommonField(KeyedValuesPtr commonField)
{
    m_fields.CommonField = std::move(commonField);
}

void frmFilter::setScreenID(const QString &screenId)
{
    m_fields.ScreenID = screenId;
}

QString frmFilter::ScreenID() const
{
    return m_fields.ScreenID;
}

bool frmFilter::Cancel() const
{
    return m_cancel;
}

QString frmFilter::FilterSQL() const
{
    return m_confirmed.sql();
}

qint32 frmFilter::currentSchemeId() const
{
    return m_schemes->currentId();
}

const ConfirmedCondition &frmFilter::confirmed() const
{
    return m_confirmed;
}

void frmFilter::setMatchCounter(MatchCounter counter, SqlEngine engine, Placeholders placeholders)
{
    m_matchCount.reset();
    m_lblCount->clear();
    m_lblCount->setToolTip(QString());
    m_lblCount->setVisible(bool(counter));
    if (!counter) {
        followSize(); // the condition page takes back what a long line had
        return;
    }
    m_matchCount = std::make_unique<MatchCount>(*m_grid, std::move(counter), engine, placeholders);
    connect(m_matchCount.get(), &MatchCount::lineChanged, this, &frmFilter::fitCountLine);
    m_matchCount->setFirstDayOfWeek(m_firstDayOfWeek);
    m_matchCount->setCurrentUser(m_currentUser);
    m_matchCount->setBudget(m_countBudget);
    if (isVisible())
        m_matchCount->start();
}

void frmFilter::setCountBudget(std::chrono::milliseconds budget)
{
    m_countBudget = budget;
    if (m_matchCount)
        m_matchCount->setBudget(budget);
}

void frmFilter::setFirstDayOfWeek(Qt::DayOfWeek day)
{
    m_firstDayOfWeek = day;
    m_vspFilter->setFirstDayOfWeek(day);
    if (m_matchCount)
        m_matchCount->setFirstDayOfWeek(day);
}

void frmFilter::setCurrentUser(const QString &name)
{
    m_currentUser = name;
    if (m_matchCount)
        m_matchCount->setCurrentUser(name);
}

void frmFilter::showModal()
{
    // Qt's own texts speak the dialog's language while it is shown, the host's after.
    const QtTranslations::Shown shown;
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

void frmFilter::showHint(const QString &text)
{
    m_lblMsg->setText(text);
    // The hint line's name carries the message, so that a screen reader hears its change.
    m_lblMsg->setAccessibleName(text.isEmpty() ? Language::text(Texts::a11yHint())
                                               : Language::text(Texts::a11yHintSays()).arg(text));
}

void frmFilter::SetFields()
{
    const QString failure = FieldList::SetFields(m_fields, *m_grid);
    if (!failure.isEmpty())
        nxAlert::ShowAlert(failure, nxAlert::Information);
}

void frmFilter::Form_Load()
{
    m_loaded = true;
    SetKeyPreview();
    LoadCaptions();
    Language::applyFormFont(this);
    SetFields();
    fitWords();
    m_grid->setActiveCell(1, ConditionGrid::ColLeftParen);
    m_schemes->FillSchemeList();
    if (QAction *remove = m_toolbar->findChild<QAction *>(QStringLiteral("Delete")))
        remove->setEnabled(false);
    // With no condition in force the dialog opens with the screen's default scheme.
    if (const auto *condition = std::get_if<Condition>(&m_reopen))
        m_schemes->reopen(*condition, m_reopenSchemeId);
    else if (const auto *text = std::get_if<QString>(&m_reopen); text && !text->isEmpty())
        m_schemes->reopen(*text, m_reopenSchemeId);
    else
        m_schemes->openDefault();
    m_lstFilter->setHeaderWidth(m_lstFilter->width() - Twips::toPixels(80, m_lstFilter));
    restoreSize();
    m_editing->reset(); // the grid the dialog opens with is no step to undo
    m_textLine->followGrid();
}

QString frmFilter::sizeKey(const QString &screenId)
{
    // Percent-encoded: a screen id may hold the settings' own separators.
    return QStringLiteral("NxSerialFilter/dialogSize/") +
           QString::fromLatin1(QUrl::toPercentEncoding(screenId));
}

void frmFilter::restoreSize()
{
    if (!m_rememberSize || QCoreApplication::organizationName().isEmpty())
        return;
    // A stored value may be anything: only a size within the screen's room is taken, and
    // never below the size the words need.
    const QSize stored = QSettings().value(sizeKey(m_fields.ScreenID)).toSize();
    if (!stored.isValid())
        return;
    QSize room = stored;
    if (const QScreen *screen = this->screen())
        room = room.boundedTo(screen->availableGeometry().size());
    resize(room.expandedTo(minimumSize()));
}

void frmFilter::keepSize()
{
    if (!m_rememberSize || !m_loaded || QCoreApplication::organizationName().isEmpty())
        return;
    QSettings().setValue(sizeKey(m_fields.ScreenID), size());
}

void frmFilter::Form_Activate()
{
    if (!m_vspFilter->isVisible() || m_activated)
        return;
    m_activated = true;
    try {
        m_grid->setActiveCell(1, ConditionGrid::ColLeftParen);
        m_vspFilter->setFocus();
    } catch (const std::exception &) {
    }
    BusyPointer::restoreDefault();
    try {
        if (!m_fields.CommonField)
            m_fields.CommonField = KeyedValues::create();
    } catch (const std::exception &) {
    }
}

void frmFilter::Form_Deactivate()
{
    m_cancel = true;
}

void frmFilter::Form_Unload()
{
    m_cancel = true;
}

void frmFilter::CmdOK_Click()
{
    // Alt+O and Enter press OK without taking the focus from a cell editor; a text the grid
    // refused stays there to be corrected instead of passing the old value.
    if (!m_vspFilter->commitOpenEditor())
        return;
    // The values asked when the condition runs, all at once; Cancel there goes back to the grid.
    Answers answers;
    if (const QList<Question> questions = Questions::of(m_grid->catalog(), m_grid->condition());
        !questions.isEmpty()) {
        QuestionsWindow ask(questions, ValueCells::today(), this);
        const bool answered = ask.exec() == QDialog::Accepted;
        activateWindow(); // without a window manager nothing gives the dialog the keys back
        if (!answered)
            return;
        answers = ask.answers();
    }
    m_cancel = false;
    // Relative dates count from the day that new date cells take, by the same clock.
    if (const auto failure = SqlBuilder::confirm(m_confirmed, *m_grid, ValueCells::clockDay(),
                                                 m_firstDayOfWeek, answers, m_currentUser)) {
        nxAlert::ShowAlert(failure->message(), SqlBuilder::alertStyle(*failure));
        // Still the same showing: the next activation (a window closing over the dialog)
        // must not send the user back to row 1.
        return;
    }
    m_activated = false;
    m_ending = true;
    QDialog::accept();
}

void frmFilter::CmdCancel_Click()
{
    m_activated = false;
    m_cancel = true;
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
    const QString subId = HostContext::property(QStringLiteral("SUBID"));
    HelpKey::show(keyCode, 0, QStringLiteral("ICSerialFilter"), m_fields.SerialUse ? 1 : 0, subId,
                  0);
}

ushort frmFilter::Form_KeyPress(ushort keyAscii)
{
    return Vocabulary::keptKey(keyAscii, m_grid->activeCol());
}

void frmFilter::SetKeyPreview()
{
    if (!m_keyPreview)
        m_keyPreview = std::make_unique<KeyPreview>(*this);
}

void frmFilter::cycleFocus(bool forward)
{
    QWidget *firstTool = nullptr;
    for (QAction *action : m_toolbar->actions()) {
        QWidget *tool = m_toolbar->widgetForAction(action);
        if (tool && tool->isEnabled() && tool->isVisible()) {
            firstTool = tool;
            break;
        }
    }
    QWidget *list = m_lstFilter->currentView() ? m_lstFilter->currentView() : m_lstFilter;
    const std::array<QWidget *, 6> stops{m_vspFilter, list,    firstTool,
                                         m_lblCount,  m_cmdOk, m_cmdCancel};
    const std::array<QWidget *, 6> areas{m_vspFilter, m_lstFilter, m_toolbar,
                                         m_lblCount,  m_cmdOk,     m_cmdCancel};
    const QWidget *focus = QApplication::focusWidget();
    int at = -1;
    for (size_t i = 0; i < areas.size() && focus; ++i) {
        if (areas[i] == focus || areas[i]->isAncestorOf(focus))
            at = int(i);
    }
    // Leaving the grid takes what its editor shows; a refused date keeps the focus there.
    if (at == 0 && !m_vspFilter->commitOpenEditor())
        return;
    const int count = int(stops.size());
    int next = at < 0 ? (forward ? 0 : count - 1) : at;
    for (int step = 0; step < count; ++step) {
        if (at >= 0 || step > 0)
            next = (next + (forward ? 1 : count - 1)) % count;
        QWidget *stop = stops[size_t(next)];
        if (stop && stop->isEnabled() && stop->isVisible()) {
            stop->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void frmFilter::focusConditionText()
{
    // A refused date keeps the focus in its editor.
    if (m_vspFilter->isAncestorOf(QApplication::focusWidget()) && !m_vspFilter->commitOpenEditor())
        return;
    m_textLine->setFocus(Qt::ShortcutFocusReason);
}

bool frmFilter::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        // An alert box closing gives the activation back: the user's cell stays where it was.
        if (!std::exchange(m_alertShown, false))
            Form_Activate();
        break;
    case QEvent::WindowDeactivate:
        // Only another window of the component counts, not the dialog's own hiding nor an
        // alert box.
        if (qobject_cast<QMessageBox *>(QApplication::activeWindow()))
            m_alertShown = true;
        else if (!m_ending && isVisible())
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
    // The grid's room is known once the dialog is laid out on the screen.
    QMetaObject::invokeMethod(this, &frmFilter::fillGridHeight, Qt::QueuedConnection);
    Form_Activate();
    if (m_matchCount)
        m_matchCount->start();
}

void frmFilter::hideEvent(QHideEvent *event)
{
    // A closed dialog asks for no count, and shows none that was still running.
    if (m_matchCount)
        m_matchCount->stop();
    keepSize();
    QDialog::hideEvent(event);
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
