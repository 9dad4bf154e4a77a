// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The filter dialog's captions: the texts localized when it loads, in their order.
#include "widgets/dialog/frmfilter.h"

#include "core/conditions/conditiongrid.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/conditiontextline.h"
#include "widgets/schemes/schemelistview.h"

#include <NxSerialFilter/failure.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSizeGrip>
#include <QTabBar>
#include <QToolBar>

namespace NxSerialFilter {

std::vector<CaptionStep> frmFilter::captionSteps()
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
    steps.push_back({Texts::conditionText(), [this](const QString &t) { m_lblText->setText(t); }});
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
    setAccessibleTexts();
    // The text line's caption may be longer in this language.
    if (!m_anchors.empty())
        followSize();
}

void frmFilter::setAccessibleTexts()
{
    const auto say = [](QWidget *widget, const QString &name, const QString &help) {
        if (!widget)
            return;
        if (!name.isEmpty())
            widget->setAccessibleName(Language::text(name));
        widget->setAccessibleDescription(Language::text(help));
    };
    say(m_vspFilter, Texts::a11yGrid(), Texts::a11yGridHelp());
    say(m_textLine, Texts::conditionText(), Texts::a11yConditionTextHelp());
    say(m_lstFilter, Texts::a11yList(), Texts::a11yListHelp());
    if (m_lstFilter)
        say(m_lstFilter->currentView(), Texts::a11yList(), Texts::a11yListHelp());
    say(m_toolbar, Texts::a11yToolbar(), Texts::a11yToolbarHelp());
    const struct
    {
        const char *key;
        QString name;
        QString help;
    } tools[] = {{"Save", Texts::toolSave(), Texts::a11ySaveHelp()},
                 {"Delete", Texts::toolDelete(), Texts::a11yDeleteHelp()},
                 {"SaveAs", Texts::toolSaveAs(), Texts::a11ySaveAsHelp()},
                 {"View", Texts::toolView(), Texts::a11yViewHelp()}};
    for (const auto &tool : tools) {
        if (QAction *action = m_toolbar->findChild<QAction *>(QString::fromLatin1(tool.key)))
            say(m_toolbar->widgetForAction(action), tool.name, tool.help);
    }
    say(m_tabBar, Texts::filterTab(), Texts::a11yTabHelp());
    say(m_lblMsg, Texts::a11yHint(), Texts::a11yHintHelp());
    // The count line's name is the count itself, so that a change of it is what is read.
    say(m_lblCount, QString(), Texts::a11yCountHelp());
    say(m_cmdOk, QString(), Texts::a11yOkHelp());
    say(m_cmdCancel, QString(), Texts::a11yCancelHelp());
    say(findChild<QSizeGrip *>(QString(), Qt::FindDirectChildrenOnly), Texts::a11ySizeGrip(),
        Texts::a11ySizeGripHelp());
}

} // namespace NxSerialFilter
