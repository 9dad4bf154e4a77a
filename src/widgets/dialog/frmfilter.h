// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/composer/confirmedcondition.h"
#include "core/fields/hostfields.h"
#include "widgets/dialog/matchcount.h"
#include "widgets/support/captionsteps.h"
#include <NxSerialFilter/matchcounter.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QDialog>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTabBar;
class QToolBar;
class QToolButton;

namespace NxSerialFilter {

class ConditionGrid;
class ConditionTextLine;
class KeyPreview;
class ConditionGridView;
class GridEditing;
class MatchCount;
class SchemeList;
class SchemeListView;
class ValueCells;

/// The filter dialog: the scheme panel on the left, the condition grid on the right under the
/// condition as a text line, OK and Cancel below. The Filter object feeds it, shows it modally and
/// reads Cancel and FilterSQL.
class NXSF_WIDGETS_PRIVATE_EXPORT frmFilter : public QDialog
{
    Q_OBJECT
public:
    explicit frmFilter(QWidget *parent = nullptr);
    ~frmFilter() override;

    // What the Filter object writes and reads.
    void setSerialUse(bool serialUse);
    void setSerialDesc(KeyedValuesPtr serialDesc);
    void setCommonField(KeyedValuesPtr commonField);
    void setScreenID(const QString &screenId);
    QString ScreenID() const;
    bool Cancel() const;
    QString FilterSQL() const;
    /// The condition of FilterSQL, for its bound forms and words.
    const ConfirmedCondition &confirmed() const;
    /// With a counter, the line under the grid shows how many records the condition being
    /// written matches, counted on a worker thread (see MatchCounter); without one there is
    /// neither line nor thread.
    void setMatchCounter(MatchCounter counter, SqlEngine engine = SqlEngine::SQLite,
                         Placeholders placeholders = Placeholders::QMark);
    /// How long the exact count may take before the line shows the counter's estimate.
    void setCountBudget(std::chrono::milliseconds budget);

    /// Whether the dialog opens at the size it last had on this screen, and keeps the size it
    /// ends with, in QSettings under the application's organisation.
    void setRememberSize(bool remember) { m_rememberSize = remember; }
    /// The dialog opens with condition (the condition in force, over the fields it lists)
    /// instead of an empty grid; scheme id is selected when it still holds that condition.
    void setReopenCondition(const Condition &condition, qint32 schemeId)
    {
        m_reopen = condition;
        m_reopenSchemeId = schemeId;
    }
    /// As above with the text of a grid confirmed over other fields, read by their captions.
    void setReopenCondition(const QString &schemeText, qint32 schemeId)
    {
        m_reopen = schemeText;
        m_reopenSchemeId = schemeId;
    }
    /// The day the weeks of relative dates start on, for FilterSQL, its bound forms and the
    /// count line.
    void setFirstDayOfWeek(Qt::DayOfWeek day);
    /// The name 当前用户 stands for, for FilterSQL, its bound forms and the count line.
    void setCurrentUser(const QString &name);
    /// The settings key of the size for a screen.
    static QString sizeKey(const QString &screenId);

    /// Loads the dialog on its first showing, then shows it modally until OK, Cancel or close.
    void showModal();
    bool isLoaded() const { return m_loaded; }

    // Public operations of the dialog.
    void SetFields();
    /// Gives a list widget a horizontal scroll range wide enough for a line of widthTwips; the
    /// range survives the list's own relayouts. Throws FilterError for a null list.
    static void addHorScrlBarListBox(QListWidget *list, qint32 widthTwips);
    /// The extent in pixels: widthTwips / tpp + tpp, rounded half to even.
    static int horizontalExtent(qint32 widthTwips, double twipsPerPixel);

    // The dialog's events, callable without a window.
    void Form_Load();
    void Form_Activate();
    void Form_Deactivate();
    void Form_Unload();
    void CmdOK_Click();
    void CmdCancel_Click();
    /// The key-down handler that sees every key first: F1 opens help (any modifier).
    void Form_KeyDown(int keyCode, int shift);
    /// The character filter that sees every typed character first; 0 discards it.
    ushort Form_KeyPress(ushort keyAscii);
    void SetKeyPreview();
    /// Ctrl+Tab (forward) and Ctrl+Shift+Tab: the focus moves between the grid, the scheme
    /// list, the toolbar, the count line (when shown), OK and Cancel, in that order and round.
    void cycleFocus(bool forward);
    /// Ctrl+L: the focus goes to the condition text line, after an open cell editor's text.
    void focusConditionText();
    void LoadCaptions();
    /// The accessible names and descriptions of the controls, in the dialog's language.
    void setAccessibleTexts();

    /// LoadCaptions' writes in their order; each stands alone when it fails.
    std::vector<CaptionStep> captionSteps();

    /// The fields as the host described them.
    HostFields &fields() { return m_fields; }
    /// The id of the scheme the grid holds unchanged; 0 for none.
    qint32 currentSchemeId() const;
    /// True from the first activation after loading until OK or Cancel.
    bool activated() const { return m_activated; }
    ConditionGrid &grid() { return *m_grid; }
    ValueCells &valueCells() { return *m_valueCells; }
    SchemeList &schemes() { return *m_schemes; }

    ConditionGridView *vspFilter() const { return m_vspFilter; }
    /// The condition as words above the grid.
    ConditionTextLine *conditionText() const { return m_textLine; }
    /// Undo, redo and the row commands of the grid.
    GridEditing *gridEditing() const { return m_editing; }
    SchemeListView *lstFilter() const { return m_lstFilter; }
    QToolBar *toolbar() const { return m_toolbar; }
    QToolButton *viewButton() const { return m_viewButton; }
    QMenu *viewMenu() const { return m_viewMenu; }
    QLabel *LblMsg() const { return m_lblMsg; }
    QLabel *LblCount() const { return m_lblCount; }
    MatchCount *matchCount() const { return m_matchCount.get(); }
    QTabBar *tabBar() const { return m_tabBar; }
    QPushButton *CmdOK() const { return m_cmdOk; }
    QPushButton *CmdCancel() const { return m_cmdCancel; }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

public Q_SLOTS:
    void reject() override;

private:
    void buildLayout();
    /// The grid's and its view's signals: value cells, undo steps, the hint line.
    void connectGrid();
    /// The scheme list's and the toolbar's signals.
    void connectSchemeList();
    /// The scheme list with its label and toolbar.
    void buildSchemePanel();
    void buildToolbar();
    /// The condition tab: its grid and hint line.
    void buildConditionPage();
    /// The count line and the OK and Cancel buttons.
    void buildButtons();
    /// How each control follows an enlarged dialog, from its place at the designed size.
    void anchorControls(const QSize &designed);
    /// Shows a message on the hint line, for the eye and for a screen reader.
    void showHint(const QString &text);
    void layoutTabPage();
    void followSize();
    /// Opens the dialog wide enough for the longest logic and comparison words.
    void fitWords();
    /// Shows the count line whole, as many lines as its text needs.
    void fitCountLine();
    /// Where a control of the layout sits at the designed size; null for one that is not.
    QRect designedRect(const QWidget *widget) const;
    /// The pixels the count line needs above its designed height at dx pixels wider.
    int countLineGrowth(int dx) const;
    /// The pixels the condition text line needs above its designed height for its lines.
    int textLineGrowth() const;
    /// An enlarged dialog's grid gets empty rows down to its bottom edge.
    void fillGridHeight();
    void restoreSize();
    void keepSize();

    HostFields m_fields;
    ConfirmedCondition m_confirmed; // with FilterSQL, set at OK
    bool m_activated = false;
    bool m_cancel = false;
    bool m_loaded = false;
    std::unique_ptr<KeyPreview> m_keyPreview;
    bool m_ending = false;         // OK or Cancel is hiding the dialog
    bool m_alertShown = false;     // an alert box has taken the activation
    bool m_listKeepsFocus = false; // a scheme picked with the keys keeps the focus in the list
    bool m_rememberSize = false;
    Qt::DayOfWeek m_firstDayOfWeek = Qt::Monday;
    QString m_currentUser;
    QString m_textFailureShown; // the text line's failure the hint line shows
    std::chrono::milliseconds m_countBudget = MatchCount::defaultBudget;
    std::variant<std::monostate, Condition, QString> m_reopen;
    qint32 m_reopenSchemeId = 0;

    ConditionGrid *m_grid = nullptr;
    std::unique_ptr<ValueCells> m_valueCells;
    GridEditing *m_editing = nullptr;
    std::unique_ptr<MatchCount> m_matchCount; // ends before the state it reads
    SchemeList *m_schemes = nullptr;

    QWidget *m_picture1 = nullptr;
    QLabel *m_label1 = nullptr;
    QToolBar *m_toolbar = nullptr;
    QToolButton *m_viewButton = nullptr;
    QMenu *m_viewMenu = nullptr;
    SchemeListView *m_lstFilter = nullptr;
    QWidget *m_tabS = nullptr;
    QTabBar *m_tabBar = nullptr;
    QWidget *m_tabPage = nullptr;
    QLabel *m_lblText = nullptr;
    ConditionTextLine *m_textLine = nullptr;
    QWidget *m_picture2 = nullptr;
    ConditionGridView *m_vspFilter = nullptr;
    QLabel *m_lblMsg = nullptr;
    QLabel *m_lblCount = nullptr;
    QPushButton *m_cmdOk = nullptr;
    QPushButton *m_cmdCancel = nullptr;

    // Caption: keeps its place, as wide as its text needs.
    enum class Grow { Height, Width, Both, MoveCorner, FollowBottom, Caption };
    struct Anchor
    {
        QWidget *widget;
        Grow grow;
        QRect designed = {};
    };
    std::vector<Anchor> m_anchors;
    QSize m_designedSize;
};

} // namespace NxSerialFilter
