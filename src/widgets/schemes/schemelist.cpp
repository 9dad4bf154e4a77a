// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/schemes/schemelist.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/conditionrows.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "core/text/leadingnumber.h"
#include "core/text/spaces.h"
#include "store/schemes/schemeloader.h"
#include "store/schemes/schemesource.h"
#include "widgets/dialog/frmname.h"
#include "widgets/schemes/schemelistview.h"
#include "widgets/support/failurealert.h"
#include "widgets/support/images.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/nxalert.h>

#include <QAction>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

#include <optional>

namespace NxSerialFilter {

SchemeList::SchemeList(const HostFields &state, ConditionGrid &grid, ValueCells &valueCells,
                       SchemeListView &list, QToolBar &toolbar, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_grid(grid)
    , m_valueCells(valueCells)
    , m_list(list)
    , m_toolbar(toolbar)
    , m_share(new QAction(&list))
    , m_default(new QAction(&list))
{
    m_share->setObjectName(QStringLiteral("Share"));
    // Texts are looked up with the list's first filling, after the dialog's captions.
    m_share->setEnabled(false);
    list.addAction(m_share);
    m_default->setObjectName(QStringLiteral("SetDefault"));
    m_default->setCheckable(true);
    m_default->setEnabled(false);
    m_default->setVisible(false);
    list.addAction(m_default);
    list.setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_share, &QAction::triggered, this, &SchemeList::ToggleShared);
    connect(m_default, &QAction::triggered, this, &SchemeList::ToggleDefault);
}

QString SchemeList::keyFor(qint32 id)
{
    // The sign position holds a blank for ids of 0 or more.
    return id >= 0 ? QStringLiteral("K ") + QString::number(id)
                   : QStringLiteral("K") + QString::number(id);
}

qint32 SchemeList::idOf(const QString &key)
{
    return Numbers::leadingInt(QStringView(key).mid(1));
}

int SchemeList::indexOfId(qint32 id) const
{
    if (id == 0)
        return m_list.count() > 0 ? 1 : 0;
    const QString key = keyFor(id);
    for (int i = 2; i <= m_list.count(); ++i) {
        if (m_list.key(i) == key)
            return i;
    }
    return 0;
}

void SchemeList::FillSchemeList()
{
    try {
        std::exception_ptr failure;
        const QList<StoredScheme> schemes =
            SchemeSource::instance().schemes(m_state.ScreenID, &failure);
        m_rights.clear();
        m_defaultId = 0;
        // A host's service has no defaults: the menu offers none.
        m_default->setVisible(SchemeSource::instance().keepsDefaults());
        m_list.setHeaderText(Language::text(Texts::schemeNameHeader()));
        const QIcon icon = Images::image(5);
        QList<SchemeListView::Item> items;
        items.reserve(schemes.size() + 1);
        items.append({QStringLiteral("K0"), Language::text(Texts::newScheme()), icon});
        for (const StoredScheme &s : schemes) {
            QString tip;
            m_rights.insert(s.FID, s.rights);
            if (!s.rights.owner.isEmpty())
                tip = Language::text(Texts::schemeOwnerTip()) + s.rights.owner +
                      (s.rights.shared ? Language::text(Texts::schemeSharedTip()) : QString());
            const bool isDefault = s.isDefault && m_default->isVisible() && s.FID > 0;
            const QString name = trimSpaces(s.FFilterName);
            QString spoken; // the star says nothing to a screen reader
            if (isDefault) {
                m_defaultId = s.FID;
                tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) +
                       Language::text(Texts::schemeDefaultTip());
                spoken = Language::text(Texts::schemeDefaultName()).arg(name);
            }
            items.append({keyFor(s.FID), name, isDefault ? Images::image(6) : icon, tip, spoken});
        }
        // What was read before a failure is shown before the failure is.
        m_list.setItems(items);
        reselectCurrent();
        if (failure)
            std::rethrow_exception(failure);
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
    updateActions(m_currentId);
}

void SchemeList::updateActions(qint32 id)
{
    const SchemeRights rights = rightsOf(id);
    if (QAction *remove = action(QStringLiteral("Delete")))
        remove->setEnabled(id > 0 && rights.mayChange);
    // Only a scheme with an owner can be private; one without is seen by every user already.
    m_share->setEnabled(id > 0 && rights.mayChange && !rights.owner.isEmpty());
    m_share->setText(Language::text(rights.shared ? Texts::unshareScheme() : Texts::shareScheme()));
    // Each user's default is a mark on a scheme of the user's own.
    m_default->setEnabled(m_default->isVisible() && id > 0 && rights.own);
    m_default->setChecked(id > 0 && id == m_defaultId);
    m_default->setText(Language::text(Texts::setDefaultScheme()));
}

void SchemeList::ToggleDefault()
{
    const qint32 id = m_currentId;
    if (!m_default->isEnabled() || id <= 0)
        return;
    try {
        SchemeSource::instance().setDefault(id, m_state.ScreenID, id != m_defaultId);
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
    FillSchemeList();
}

void SchemeList::openDefault()
{
    if (m_defaultId > 0 && indexOfId(m_defaultId) > 1)
        load(m_defaultId);
}

void SchemeList::ToggleShared()
{
    const qint32 id = m_currentId;
    if (!m_share->isEnabled() || id <= 0)
        return;
    try {
        // Sharing is the default store's own: a host's service has no such operation, and
        // gives no owners, so the action stays disabled with it.
        SchemeStore(SchemeStore::locationFor(HostContext::propsString()))
            .setShared(id, !rightsOf(id).shared);
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
    FillSchemeList();
}

void SchemeList::reselectCurrent()
{
    // A later "Save" and "Delete" act on the selected scheme, so it must stay the current one.
    m_list.setSelectedIndex(indexOfId(m_currentId));
}

Condition SchemeList::shownCondition() const
{
    return ConditionRows::withoutBlankEnd(m_grid.condition());
}

bool SchemeList::mayLeave()
{
    const Condition shown = shownCondition();
    if (shown == m_loaded)
        return true;
    // Nothing was edited since the dialog opened: the grid is the filter in force, which no
    // scheme holds.
    const bool inForce = m_inForce && *m_inForce == shown;
    switch (nxAlert::ShowAlert(
        Language::text(inForce ? Texts::unsavedConditionInForce() : Texts::unsavedChanges()),
        nxAlert::SaveDiscardStay)) {
    case nxAlert::AnswerYes:
        SaveScheme(false);
        // A save the user broke off (no name given) or that failed keeps the changes here.
        return shownCondition() == m_loaded;
    case nxAlert::AnswerNo:
        return true;
    default:
        return false;
    }
}

void SchemeList::itemClick(int index)
{
    if (index < 1 || index > m_list.count())
        return;
    if (m_list.selectedIndex() != index)
        m_list.setSelectedIndex(index);
    const qint32 id = idOf(m_list.key(index));
    if (id == m_currentId && m_currentId > 0) {
        updateActions(id);
        return;
    }
    if (!mayLeave()) {
        reselectCurrent();
        updateActions(m_currentId);
        // The click or key that picked is still moving the list's selection onto its item.
        QMetaObject::invokeMethod(this, &SchemeList::reselectCurrent, Qt::QueuedConnection);
        return;
    }
    load(id);
}

void SchemeList::load(qint32 id)
{
    // A save may have refilled the list: the picked item is found again by its id.
    const int picked = indexOfId(id);
    if (picked < 1)
        return;
    m_list.setSelectedIndex(picked);
    updateActions(id);
    m_currentId = id;
    const bool ok = SchemeText::LoadScheme(m_grid, m_valueCells, id);
    m_loaded = shownCondition();
    if (ok)
        Q_EMIT loaded();
    else
        nxAlert::ShowAlert(Language::text(Texts::schemeLoadFailed()), nxAlert::Information);
}

void SchemeList::reopen(const Condition &condition, qint32 id)
{
    reopenWith([&] { SchemeText::applyCondition(m_grid, m_valueCells, condition); }, id);
}

void SchemeList::reopen(const QString &text, qint32 id)
{
    reopenWith([&] { SchemeText::applyText(m_grid, m_valueCells, text); }, id);
}

void SchemeList::reopenWith(const std::function<void()> &fill, qint32 id)
{
    std::optional<Condition> scheme;
    if (id > 0 && indexOfId(id) > 1) {
        m_currentId = id;
        if (SchemeText::LoadScheme(m_grid, m_valueCells, id))
            scheme = m_grid.condition();
    }
    try {
        SchemeText::clearGrid(m_grid);
        fill();
    } catch (const std::exception &) {
        // A text over the caps leaves the grid empty: the dialog opens as it would without.
        SchemeText::clearGrid(m_grid);
    }
    SchemeText::finishLoad(m_grid);
    // A grid edited after its scheme was loaded belongs to no scheme: a Save must ask a name.
    const bool same = scheme && *scheme == m_grid.condition();
    m_currentId = same ? id : 0;
    m_loaded = same ? shownCondition() : Condition();
    m_inForce = same ? std::nullopt : std::optional(shownCondition());
    reselectCurrent();
    updateActions(m_currentId);
}

void SchemeList::setPlace(const Place &place)
{
    // A scheme deleted since leaves its grid to the new-scheme item, to be saved anew.
    const bool listed = place.id == 0 || indexOfId(place.id) > 1;
    m_currentId = listed ? place.id : 0;
    m_loaded = listed ? place.loaded : Condition();
    reselectCurrent();
    updateActions(m_currentId);
}

void SchemeList::makeCurrent(qint32 id, const QString &name)
{
    // The grid now shows the scheme saved as name: a later "Save" must write to it, not to
    // the scheme the user started from. Two items may show that name (another's shared scheme
    // and the user's own), so the item is found by its id.
    if (id <= 0) {
        QList<StoredScheme> listed;
        for (int i = 2; i <= m_list.count(); ++i) {
            const qint32 listedId = idOf(m_list.key(i));
            listed.append({listedId, m_state.ScreenID, m_list.text(i), {}, {}, rightsOf(listedId)});
        }
        try {
            id = SchemeSource::instance().pick(listed, name);
        } catch (const std::exception &) {
            return;
        }
    }
    const int index = indexOfId(id);
    if (id <= 0 || index < 2)
        return;
    m_currentId = id;
    m_list.setSelectedIndex(index);
    updateActions(m_currentId);
}

QAction *SchemeList::action(const QString &key) const
{
    for (QAction *a : m_toolbar.actions()) {
        if (a->objectName() == key)
            return a;
    }
    return nullptr;
}

void SchemeList::buttonClick(const QString &key)
{
    try {
        if (key == QLatin1String("Save")) {
            SaveScheme(false);
        } else if (key == QLatin1String("Delete")) {
            DeleteScheme();
        } else if (key == QLatin1String("SaveAs")) {
            SaveScheme(true);
        } else if (key == QLatin1String("View")) {
            auto *button = m_toolbar.findChild<QToolButton *>(QStringLiteral("ViewButton"));
            if (!button)
                throw FilterError(ErrorNumber::ObjectNotSet, key,
                                  Texts::objectNotSet() + QStringLiteral("ViewButton"));
            int mode = int(Numbers::leadingInt(button->property("Tag").toString())) + 1;
            if (mode == 4)
                mode = 0;
            button->setProperty("Tag", QString::number(mode));
            m_list.setViewMode(mode);
        }
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
}

void SchemeList::buttonMenuClick(const QString &key)
{
    try {
        if (key == QLatin1String("BigIcon"))
            m_list.setViewMode(SchemeListView::IconView);
        else if (key == QLatin1String("SmallIcon"))
            m_list.setViewMode(SchemeListView::SmallIconView);
        else if (key == QLatin1String("Report"))
            m_list.setViewMode(SchemeListView::ReportView);
        else if (key == QLatin1String("Detail"))
            m_list.setViewMode(SchemeListView::ListView);
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
}

void SchemeList::SaveScheme(bool saveAs)
{
    try {
        const QString text = SchemeText::gridText(m_grid);
        if (text.isEmpty())
            return;
        QString name;
        bool isNew = false;
        bool named = false; // the name dialog chose the name
        // The current scheme's own item gives the name, whatever the list has selected; a
        // scheme the user may not change (another's shared one) is saved under a new name.
        const int current = m_currentId != 0 && !saveAs && rightsOf(m_currentId).mayChange
                                ? indexOfId(m_currentId)
                                : 0;
        if (current > 1) {
            name = trimSpaces(m_list.text(current));
        } else {
            named = true;
            for (;;) {
                frmName dialog;
                dialog.showModal();
                name = trimSpaces(dialog.SchemaName());
                if (name.isEmpty())
                    return;
                isNew = true;
                if (SchemeSource::instance().exists(m_state.ScreenID, name)) {
                    if (nxAlert::ShowAlert(Language::text(Texts::overwriteScheme()),
                                           nxAlert::Question) == nxAlert::AnswerNo)
                        continue;
                    isNew = false;
                }
                break;
            }
        }
        StoredScheme scheme;
        scheme.FID = named ? 0 : m_currentId;
        scheme.FScreenID = m_state.ScreenID;
        scheme.FFilterName = name;
        scheme.FFilter = text;
        const qint32 savedId = SchemeSource::instance().save(scheme, isNew);
        FillSchemeList();
        // A scheme written under a name the user just gave is what the grid shows now: the
        // next "Save" writes to it instead of asking again and making a second one.
        if (named)
            makeCurrent(savedId, name);
        m_loaded = shownCondition();
        m_inForce.reset(); // a scheme now holds it
        Q_EMIT saved(name);
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
}

void SchemeList::DeleteScheme()
{
    if (m_list.selectedIndex() == 1 || !rightsOf(m_currentId).mayChange)
        return;
    if (nxAlert::ShowAlert(Language::text(Texts::deleteScheme()), nxAlert::Question) ==
        nxAlert::AnswerNo)
        return;
    if (!SchemeSource::instance().remove(m_currentId))
        return;
    Q_EMIT removed();
    FillSchemeList();
    m_list.setSelectedIndex(1);
    itemClick(1);
}

void SchemeList::RenameScheme(int index)
{
    try {
        if (index < 2 || index > m_list.count())
            return;
        const qint32 id = idOf(m_list.key(index));
        if (id <= 0)
            return;
        const QString old = m_list.text(index);
        frmName dialog;
        dialog.txtName()->setText(old);
        dialog.txtName()->selectAll();
        dialog.showModal();
        const QString name = trimSpaces(dialog.SchemaName());
        if (name.isEmpty() || name == old)
            return;
        if (!SchemeSource::instance().rename(id, m_state.ScreenID, name)) {
            // Renaming onto a taken name would replace that scheme: the user picks another.
            nxAlert::ShowAlert(Language::text(Texts::schemeNameTaken()), nxAlert::Information);
            return;
        }
        FillSchemeList();
    } catch (const std::exception &) {
        alertCurrentFailure();
    }
}

} // namespace NxSerialFilter
