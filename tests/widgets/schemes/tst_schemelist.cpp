// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The scheme list and toolbar inside the real filter dialog: picking, saving through the real
// name dialog, deleting, view modes, and stores that fail.

#include "core/conditions/conditiongrid.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "testsupport/descriptions.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/modalanswers.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/frmname.h"
#include "widgets/schemes/schemelist.h"
#include "widgets/schemes/schemelistview.h"
#include <NxSerialFilter/schemeservice.h>
#include <NxSerialFilter/schemestore.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<int>)
Q_DECLARE_METATYPE(NxSerialFilter::SchemeRights)

namespace {

const QString cancelName = QStringLiteral("<cancel>");

/// Answers every name dialog that opens, in order: types a name and presses Enter, or
/// presses Cancel. Dialogs beyond the answers are cancelled and counted.
class NameAnswers
{
public:
    explicit NameAnswers(QStringList answers)
        : m_answers(std::move(answers))
    {}

    QStringList seenAtOpen; // the box's text as each dialog opened
    int unexpected = 0;

private:
    void answer(frmName *dialog)
    {
        seenAtOpen.append(dialog->txtName()->text());
        if (m_answers.isEmpty()) {
            ++unexpected;
            QTest::mouseClick(dialog->cmdAction(1), Qt::LeftButton);
            return;
        }
        const QString name = m_answers.takeFirst();
        if (name == cancelName) {
            QTest::mouseClick(dialog->cmdAction(1), Qt::LeftButton);
            return;
        }
        for (const QChar ch : name) {
            QTest::sendKeyEvent(QTest::Click, dialog->txtName(),
                                ch.unicode() < 0x80 ? Qt::Key(ch.toUpper().unicode())
                                                    : Qt::Key_unknown,
                                QString(ch), Qt::NoModifier);
        }
        QTest::keyClick(dialog->txtName(), Qt::Key_Return);
    }

    QStringList m_answers;
    ModalAnswers<frmName> m_dialogs{[this](frmName *dialog) { answer(dialog); }};
};

/// Closes a modal window that stays open a few seconds with nobody to answer it (a name
/// dialog after a failed step, say), so that a fault fails the test at once instead of
/// holding it until its time limit.
class ModalWatch : public QObject
{
public:
    ModalWatch()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatch::look);
        m_timer.start(50);
    }

    int closed = 0;

private:
    static constexpr qint64 limitMs = 5000;

    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal != m_seen) {
            m_seen = modal;
            m_open.start();
            return;
        }
        if (!m_open.hasExpired(limitMs))
            return;
        ++closed;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        m_seen = nullptr;
    }

    QTimer m_timer;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_open;
};

/// Records every SchemeRecord and DeleteFilter call, then lets the real store do the work
/// (or answers deletes itself when told to).
class SpyWriter : public SchemeWriterComponent
{
public:
    static inline QList<KeyedValuesPtr> records;
    static inline std::optional<QVariant> deleteAnswer;
    static inline bool renames = true;

    explicit SpyWriter(std::shared_ptr<SchemeWriterComponent> inner)
        : m_inner(std::move(inner))
    {}
    void UpdateFilter(const QString &props, const KeyedValuesPtr &record) override
    {
        records.append(record);
        m_inner->UpdateFilter(props, record);
    }
    QVariant DeleteFilter(const QString &props, qint32 id) override
    {
        return deleteAnswer ? *deleteAnswer : m_inner->DeleteFilter(props, id);
    }
    QVariant RenameFilter(const QString &props, const QString &screen, qint32 id,
                          const QString &name) override
    {
        // A host's service written before renames keeps the base class's answer.
        return renames ? m_inner->RenameFilter(props, screen, id, name)
                       : SchemeWriterComponent::RenameFilter(props, screen, id, name);
    }

private:
    std::shared_ptr<SchemeWriterComponent> m_inner;
};

/// A service that lists what it is told, to check the list's keys and texts.
class FixedReader : public SchemeReaderComponent
{
public:
    QVariant FilterExists(const QString &, const QString &, const QString &) override { return {}; }
    RecordSetPtr GetFilters(const QString &, const QString &) override
    {
        return std::make_shared<RecordSet>(
            QStringList{QStringLiteral("FID"), QStringLiteral("FFilterName")},
            QList<QVariantList>{{12, QStringLiteral("  twelve  ")},
                                {-3, QStringLiteral("minus three")},
                                {7, QStringLiteral("a'b")}});
    }
    RecordSetPtr GetFilterByID(const QString &, qint32) override { return nullptr; }
};

/// The default service, giving the scheme "a" the rights it is told and the others none (or,
/// with withRights false, no rights fields at all, as a host's service).
class RightsReader : public SchemeReaderComponent
{
public:
    static inline SchemeRights rights;
    static inline bool withRights = true;

    explicit RightsReader(std::shared_ptr<SchemeReaderComponent> inner)
        : m_inner(std::move(inner))
    {}
    QVariant FilterExists(const QString &props, const QString &screen, const QString &name) override
    {
        return m_inner->FilterExists(props, screen, name);
    }
    RecordSetPtr GetFilters(const QString &props, const QString &screen) override
    {
        RecordSetPtr inner = m_inner->GetFilters(props, screen);
        RecordSetCloser closer(inner);
        QList<QVariantList> rows;
        for (; !inner->Eof(); inner->MoveNext()) {
            const QVariant name = inner->Fields(u"FFilterName"_s).Value;
            const bool a = name.toString() == u"a"_s;
            rows.append({inner->Fields(u"FID"_s).Value, name, a ? rights.owner : QString(),
                         a && rights.shared, !a || rights.mayChange});
        }
        QStringList fields{u"FID"_s, u"FFilterName"_s};
        if (withRights)
            fields << u"FOwner"_s << u"FShared"_s << u"FMayChange"_s;
        return std::make_shared<RecordSet>(fields, rows);
    }
    RecordSetPtr GetFilterByID(const QString &props, qint32 id) override
    {
        return m_inner->GetFilterByID(props, id);
    }

private:
    std::shared_ptr<SchemeReaderComponent> m_inner;
};

/// The text as a host's service receives it in a SchemeRecord.
QString doubled(QString text)
{
    return text.replace(QStringLiteral("'"), QStringLiteral("''"));
}

} // namespace

class tst_SchemeList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_location;
    QString m_screen;
    std::unique_ptr<frmFilter> m_form;
    std::shared_ptr<ScriptedAlerts> m_alerts;

    SchemeListView *list() { return m_form->lstFilter(); }
    ConditionGrid &grid() { return m_form->grid(); }

    QAction *action(const QString &key)
    {
        for (QAction *a : m_form->toolbar()->actions()) {
            if (a->objectName() == key)
                return a;
        }
        return nullptr;
    }

    void press(const QString &key)
    {
        const ModalWatch watch;
        if (key.startsWith(u"Ctrl+"_s)) // the shortcut, pressed where the user works
            QTest::keySequence(m_form->vspFilter(), QKeySequence::fromString(key));
        else
            action(key)->trigger();
        QVERIFY2(watch.closed == 0, "a window stayed open with nobody to answer it");
    }

    void preset(const QString &pairs)
    {
        SchemeStore store(m_location);
        for (const QString &pair : pairs.split(u';', Qt::SkipEmptyParts))
            store.save({0, m_screen, pair.section(u'=', 0, 0), pair.section(u'=', 1), {}});
        m_form->schemes().FillSchemeList();
    }

    int indexOf(const QString &name)
    {
        for (int i = 1; i <= list()->count(); ++i) {
            if (list()->text(i) == name)
                return i;
        }
        return 0;
    }

    /// Clicks an item with the mouse, as the user picks it ("" is the new-scheme item).
    void pick(const QString &name)
    {
        const int index = name.isEmpty() ? 1 : indexOf(name);
        QVERIFY(index > 0);
        const QRect rect = list()->itemRect(index);
        QVERIFY(rect.isValid());
        QTest::mouseClick(qobject_cast<QAbstractScrollArea *>(list()->currentView())->viewport(),
                          Qt::LeftButton, {}, rect.center());
    }

    QString stored()
    {
        QStringList pairs;
        for (const StoredScheme &s : SchemeStore(m_location).fullSchemes(m_screen))
            pairs.append(s.FFilterName + u'=' + s.FFilter);
        pairs.sort();
        return pairs.join(u';');
    }

    qint32 storedId(const QString &name)
    {
        for (const StoredScheme &s : SchemeStore(m_location).fullSchemes(m_screen)) {
            if (s.FFilterName == name)
                return s.FID;
        }
        return 0;
    }

    /// Opens the dialog again, as the host does with a condition in force (none when text is
    /// empty) that came from scheme id (0: none).
    void openAgain(const QString &text, qint32 id)
    {
        m_form.reset();
        m_form = std::make_unique<frmFilter>();
        m_form->setSerialUse(false);
        m_form->setCommonField(standardCommonValues(m_screen));
        m_form->setScreenID(m_screen);
        if (!text.isEmpty())
            m_form->setReopenCondition(text, id);
        m_form->Form_Load();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    /// The names a screen reader finds in the scheme list as it is shown.
    QStringList spokenNames()
    {
        QStringList names;
        std::function<void(QAccessibleInterface *, int)> walk = [&](QAccessibleInterface *node,
                                                                    int depth) {
            if (!node || depth > 4)
                return;
            names << node->text(QAccessible::Name);
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i), depth + 1);
        };
        walk(QAccessible::queryAccessibleInterface(list()->currentView()), 0);
        return names;
    }

    void writeCondition(const QString &value)
    {
        grid().SetCellText(1, ConditionGrid::ColField, QStringLiteral("名称"));
        grid().SetCellText(1, ConditionGrid::ColCompare, QStringLiteral("等于"));
        grid().SetCellText(1, ConditionGrid::ColValue, value);
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void saveFlows_data();
    void saveFlows();
    void saveTwice_data();
    void saveTwice();
    void deleteFlows_data();
    void deleteFlows();
    void renameFlows_data();
    void renameFlows();
    void pickFlows();
    void keyboardPicks_data();
    void unsavedChanges_data();
    void unsavedChanges();
    void keyboardPicks();
    void viewModes_data();
    void viewModes();
    void listKeys();
    void unusableStore_data();
    void unusableStore();
    void schemesOfOthers_data();
    void schemesOfOthers();
    void shareOnServer();
    void defaultScheme_data();
    void defaultScheme();
};

void tst_SchemeList::init()
{
    m_alerts = ScriptedAlerts::install();
    m_location = m_dir.filePath(QStringLiteral("list.sqlite"));
    useStore(m_location);
    m_screen = uniqueScreen();
    SpyWriter::records.clear();
    SpyWriter::deleteAnswer.reset();
    SpyWriter::renames = true;
    auto inner = createComponent<SchemeWriterComponent>(ComponentId::schemeWriter());
    ComponentRegistry::instance().registerFactory(
        ComponentId::schemeWriter(), [inner] { return std::make_shared<SpyWriter>(inner); });
    m_form = openCommonDialog(m_screen);
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void tst_SchemeList::cleanup()
{
    m_form.reset();
    ComponentRegistry::instance().restoreDefaults();
    nxAlert::setPresenter(nullptr);
    SchemeStore::closeConnections();
}

void tst_SchemeList::saveFlows_data()
{
    QTest::addColumn<QString>("presets");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("expected"); // NEW stands for the grid's text
    QTest::addColumn<QString>("record");   // name|IsNew|mFilterID (u"picked"_s for its id)
    const QList<int> no{nxAlert::AnswerNo}, yes{nxAlert::AnswerYes};
    QTest::newRow("new scheme asks a name")
        << QString() << QString() << u"Save"_s << QStringList{u"first"_s} << QList<int>{}
        << u"first=NEW"_s << u"first|1|0"_s;
    QTest::newRow("taken name, No, then another")
        << u"a=old"_s << QString() << u"Save"_s << QStringList{u"a"_s, u"b"_s} << no
        << u"a=old;b=NEW"_s << u"b|1|0"_s;
    // A question nobody could answer (no window to show it in) must not replace a scheme.
    // Questions are answered No or anything else, which counts as Yes.
    QTest::newRow("taken name, any answer but No replaces it")
        << u"a=old"_s << QString() << u"Save"_s << QStringList{u"a"_s}
        << QList<int>{nxAlert::AnswerOk} << u"a=NEW"_s << u"a|0|0"_s;
    QTest::newRow("taken name, Yes replaces it")
        << u"a=old"_s << QString() << u"Save"_s << QStringList{u"a"_s} << yes << u"a=NEW"_s
        << u"a|0|0"_s;
    QTest::newRow("cancel saves nothing")
        << u"a=old"_s << QString() << u"Save"_s << QStringList{cancelName} << QList<int>{}
        << u"a=old"_s << QString();
    QTest::newRow("spaces only save nothing")
        << QString() << QString() << u"Save"_s << QStringList{u"   "_s} << QList<int>{} << QString()
        << QString();
    QTest::newRow("name trimmed") << QString() << QString() << u"Save"_s
                                  << QStringList{u"  x y  "_s} << QList<int>{} << u"x y=NEW"_s
                                  << u"x y|1|0"_s;
    QTest::newRow("cjk name") << QString() << QString() << u"Save"_s << QStringList{u"仓库方案"_s}
                              << QList<int>{} << u"仓库方案=NEW"_s << u"仓库方案|1|0"_s;
    QTest::newRow("name that looks like a format marker")
        << QString() << QString() << u"Save"_s << QStringList{u"a%1b%2"_s} << QList<int>{}
        << u"a%1b%2=NEW"_s << u"a%1b%2|1|0"_s;
    QTest::newRow("save over the picked scheme")
        << u"a=old;b=old"_s << u"b"_s << u"Save"_s << QStringList{} << QList<int>{}
        << u"a=old;b=NEW"_s << u"b|0|picked"_s;
    QTest::newRow("save as with its own name, Yes")
        << u"a=old"_s << u"a"_s << u"SaveAs"_s << QStringList{u"a"_s} << yes << u"a=NEW"_s
        << u"a|0|0"_s;
    QTest::newRow("Ctrl+S asks a name for a new scheme")
        << QString() << QString() << u"Ctrl+S"_s << QStringList{u"k"_s} << QList<int>{}
        << u"k=NEW"_s << u"k|1|0"_s;
    QTest::newRow("Ctrl+S saves over the picked scheme")
        << u"a=old"_s << u"a"_s << u"Ctrl+S"_s << QStringList{} << QList<int>{} << u"a=NEW"_s
        << u"a|0|picked"_s;
    QTest::newRow("Ctrl+Shift+S saves as")
        << u"a=old"_s << u"a"_s << u"Ctrl+Shift+S"_s << QStringList{u"c"_s} << QList<int>{}
        << u"a=old;c=NEW"_s << u"c|1|0"_s;
    QTest::newRow("save as a new name")
        << u"a=old"_s << u"a"_s << u"SaveAs"_s << QStringList{u"c"_s} << QList<int>{}
        << u"a=old;c=NEW"_s << u"c|1|0"_s;
}

// Each save flow reaches the store with the right record, asks only what it must, and leaves
// the grid as it was.
void tst_SchemeList::saveFlows()
{
    QFETCH(QString, presets);
    QFETCH(QString, picked);
    QFETCH(QString, button);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, answers);
    QFETCH(QString, expected);
    QFETCH(QString, record);
    preset(presets);
    if (!picked.isEmpty())
        pick(picked);
    const qint32 current = m_form->currentSchemeId();
    QCOMPARE(current, picked.isEmpty() ? 0 : storedId(picked));
    writeCondition(QStringLiteral("O'Neil"));
    const QString text = SchemeText::gridText(grid());
    m_alerts->answers = answers;

    NameAnswers typer(names);
    press(button);

    QCOMPARE(typer.unexpected, 0);
    QCOMPARE(typer.seenAtOpen.size(), names.size());
    for (const QString &seen : typer.seenAtOpen)
        QVERIFY2(seen.isEmpty(), "a name dialog did not open empty");
    QVERIFY(m_alerts->answers.isEmpty());
    for (const auto &shown : m_alerts->shown)
        QCOMPARE(shown.style, int(nxAlert::Question));
    QCOMPARE(stored(), QString(expected).replace(QStringLiteral("NEW"), text));
    if (record.isEmpty()) {
        QVERIFY(SpyWriter::records.isEmpty());
    } else {
        QCOMPARE(SpyWriter::records.size(), 1);
        const KeyedValuesPtr r = SpyWriter::records.first();
        QCOMPARE(r->keys(), (QStringList{u"FScreenID"_s, u"FFilterName"_s, u"FFilter"_s, u"FSort"_s,
                                         u"IsNew"_s, u"mFilterID"_s}));
        QCOMPARE(r->get(u"FScreenID"_s).toString(), m_screen);
        QCOMPARE(r->get(u"FFilter"_s).toString(), doubled(text));
        QCOMPARE(r->get(u"FSort"_s).toString(), QString());
        const QString mFilterId = record.section(u'|', 2);
        QCOMPARE(r->get(u"FFilterName"_s).toString() + u'|' +
                     (r->get(u"IsNew"_s).toBool() ? u"1"_s : u"0"_s) + u'|' +
                     r->get(u"mFilterID"_s).toString(),
                 record.section(u'|', 0, 1) + u'|' +
                     (mFilterId == u"picked"_s ? QString::number(current) : mFilterId));
    }
    // A scheme saved under a typed name becomes the current one, so that a later "Save"
    // writes to it; the hint line confirms every save with the name as typed.
    const QString savedAs =
        !names.isEmpty() && !record.isEmpty() ? record.section(u'|', 0, 0) : QString();
    QCOMPARE(m_form->LblMsg()->text(),
             record.isEmpty() ? QString() : u"已保存方案："_s + record.section(u'|', 0, 0));
    const qint32 nowCurrent = savedAs.isEmpty() ? current : storedId(savedAs);
    QCOMPARE(m_form->currentSchemeId(), nowCurrent);
    QCOMPARE(action(u"Delete"_s)->isEnabled(), nowCurrent > 0);
    QCOMPARE(SchemeText::gridText(grid()), text);
    QCOMPARE(list()->selectedIndex(),
             nowCurrent == 0 ? 1 : indexOf(savedAs.isEmpty() ? picked : savedAs));
}

void tst_SchemeList::saveTwice_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("target"); // the scheme the second "Save" writes to
    QTest::newRow("new scheme, then save writes to it") << QString() << u"Save"_s << 1 << u"n1"_s;
    QTest::newRow("picked scheme keeps its name") << u"b"_s << u"Save"_s << 0 << u"b"_s;
    // Writing the second change over the scheme the user started from would lose it.
    QTest::newRow("save as, then save writes to the copy") << u"b"_s << u"SaveAs"_s << 1 << u"n1"_s;
}

// After a save refills the list, the next "Save" must still mean the scheme the grid shows: a
// picked scheme is written over by its own name, never renamed to the new-scheme item's text.
void tst_SchemeList::saveTwice()
{
    QFETCH(QString, picked);
    QFETCH(QString, first);
    QFETCH(int, dialogs);
    QFETCH(QString, target);
    preset(QStringLiteral("a=1;b=2;c=3"));
    if (!picked.isEmpty())
        pick(picked);
    writeCondition(QStringLiteral("v"));
    NameAnswers typer({QStringLiteral("n1"), QStringLiteral("n2")});
    press(first);
    writeCondition(QStringLiteral("w"));
    const QString last = SchemeText::gridText(grid());
    press(QStringLiteral("Save"));
    QCOMPARE(typer.unexpected, 0);
    QCOMPARE(typer.seenAtOpen.size(), dialogs);
    QCOMPARE(SpyWriter::records.size(), 2);
    const KeyedValuesPtr second = SpyWriter::records.last();
    QCOMPARE(second->get(u"FFilterName"_s).toString(), target);
    if (dialogs < 2)
        QCOMPARE(second->get(u"mFilterID"_s).toInt(), storedId(target));
    QVERIFY(stored().contains(target + u'=' + last));
    if (!picked.isEmpty() && picked != target)
        QVERIFY(stored().contains(picked + u"=2"_s));
    QCOMPARE(list()->selectedIndex(), indexOf(target));
    QCOMPARE(m_form->currentSchemeId(), storedId(target));
    QVERIFY(action(u"Delete"_s)->isEnabled());
    QCOMPARE(list()->count(), 4 + dialogs);
}

void tst_SchemeList::renameFlows_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected"); // the stored schemes afterwards
    QTest::addColumn<int>("alerts");       // below 0: the service has no renames
    QTest::newRow("renamed, text kept, still current")
        << u"b"_s << QStringList{u"z"_s} << u"a=1;c=3;z=2"_s << 0;
    QTest::newRow("a name the screen has is refused, nothing replaced")
        << u"b"_s << QStringList{u"a"_s} << u"a=1;b=2;c=3"_s << 1;
    QTest::newRow("cancel renames nothing")
        << u"b"_s << QStringList{cancelName} << u"a=1;b=2;c=3"_s << 0;
    QTest::newRow("the new-scheme item has no name")
        << QString() << QStringList{} << u"a=1;b=2;c=3"_s << 0;
    QTest::newRow("a service without renames says so")
        << u"c"_s << QStringList{u"z"_s} << u"a=1;b=2;c=3"_s << -1;
}

// F2 in the list renames the highlighted scheme through the name dialog, in place: its text,
// its id and the grid stay, and a taken name never replaces the scheme that holds it.
void tst_SchemeList::renameFlows()
{
    QFETCH(QString, picked);
    QFETCH(QStringList, names);
    QFETCH(QString, expected);
    QFETCH(int, alerts);
    SpyWriter::renames = alerts >= 0;
    alerts = std::abs(alerts);
    preset(QStringLiteral("a=1;b=2;c=3"));
    pick(picked);
    const qint32 id = m_form->currentSchemeId();
    const QString grid = SchemeText::gridText(this->grid());
    NameAnswers typer(names);
    {
        const ModalWatch watch;
        QTest::keyClick(list()->currentView(), Qt::Key_F2);
        QCOMPARE(watch.closed, 0);
    }
    QCOMPARE(typer.unexpected, 0);
    QCOMPARE(typer.seenAtOpen, picked.isEmpty() ? QStringList{} : QStringList{picked});
    QCOMPARE(stored(), expected);
    QCOMPARE(m_alerts->shown.size(), alerts);
    QCOMPARE(m_form->currentSchemeId(), id);
    QCOMPARE(list()->selectedIndex(), id == 0 ? 1 : m_form->schemes().indexOfId(id));
    QCOMPARE(SchemeText::gridText(this->grid()), grid);
    if (!picked.isEmpty())
        QCOMPARE(storedId(list()->text(list()->selectedIndex())), id);
}

void tst_SchemeList::deleteFlows_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QVariant>("serviceSays"); // invalid: the real store answers
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<int>("questions");
    QTest::newRow("new-scheme item selected")
        << QString() << int(nxAlert::AnswerYes) << QVariant() << false << 0;
    QTest::newRow("answered No") << u"a"_s << int(nxAlert::AnswerNo) << QVariant() << false << 1;
    QTest::newRow("answered Yes") << u"a"_s << int(nxAlert::AnswerYes) << QVariant() << true << 1;
    QTest::newRow("service says false")
        << u"a"_s << int(nxAlert::AnswerYes) << QVariant(false) << false << 1;
    QTest::newRow("service says null") << u"a"_s << int(nxAlert::AnswerYes)
                                       << QVariant(QMetaType::fromType<QString>()) << false << 1;
}

void tst_SchemeList::deleteFlows()
{
    QFETCH(QString, picked);
    QFETCH(int, answer);
    QFETCH(QVariant, serviceSays);
    QFETCH(bool, deleted);
    QFETCH(int, questions);
    preset(QStringLiteral("a=\t\t名称\t等于\tx\t\t;b=2"));
    pick(picked);
    if (!picked.isEmpty()) { // the hint line then names it
        press(QStringLiteral("Save"));
        QCOMPARE(m_form->LblMsg()->text(), u"已保存方案："_s + picked);
    }
    const qint32 current = m_form->currentSchemeId();
    if (serviceSays.isValid())
        SpyWriter::deleteAnswer = serviceSays;
    m_alerts->answers = {answer};
    press(QStringLiteral("Delete"));
    QCOMPARE(m_alerts->shown.size(), questions);
    QCOMPARE(storedId(QStringLiteral("a")) == 0, deleted);
    // The hint never names a scheme that is gone.
    QCOMPARE(m_form->LblMsg()->text().isEmpty(), deleted || picked.isEmpty());
    if (deleted) {
        QCOMPARE(m_form->currentSchemeId(), 0);
        QCOMPARE(list()->selectedIndex(), 1);
        QVERIFY(!action(QStringLiteral("Delete"))->isEnabled());
        QCOMPARE(grid().GetCellText(1, ConditionGrid::ColField), QString());
        QCOMPARE(list()->count(), 2);
    } else {
        QCOMPARE(m_form->currentSchemeId(), current);
        QCOMPARE(action(QStringLiteral("Delete"))->isEnabled(), current > 0);
        QCOMPARE(list()->count(), 3);
    }
}

// Picking loads a scheme (with the Delete button following the pick), picking it again keeps
// the user's edits, and the new-scheme item empties the grid.
void tst_SchemeList::pickFlows()
{
    QVERIFY(!action(QStringLiteral("Delete"))->isEnabled());
    preset(QStringLiteral("a=\t\t数量\t大于\t12\t\t\r\n并且\t\t名称\t为空\t\t\t"));
    pick(QStringLiteral("a"));
    QCOMPARE(m_form->currentSchemeId(), storedId(QStringLiteral("a")));
    QVERIFY(action(QStringLiteral("Delete"))->isEnabled());
    QCOMPARE(grid().MaxRows(), 2);
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue), QStringLiteral("12"));
    QVERIFY(grid().isLocked(2, ConditionGrid::ColValue));
    QVERIFY(!grid().isLocked(1, ConditionGrid::ColValue));
    QVERIFY(m_alerts->shown.isEmpty());

    grid().SetCellText(1, ConditionGrid::ColValue, QStringLiteral("99"));
    pick(QStringLiteral("a"));
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue), QStringLiteral("99"));

    pick(QString());
    QCOMPARE(m_form->currentSchemeId(), 0);
    QVERIFY(!action(QStringLiteral("Delete"))->isEnabled());
    QCOMPARE(grid().MaxRows(), 2);
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue), QString());
    QVERIFY(grid().isLocked(1, ConditionGrid::ColLogic));
}

void tst_SchemeList::unsavedChanges_data()
{
    // The scheme first picked, "" the new-scheme item; or "=v" (or "=v@scheme"): the dialog
    // opened again on the condition in force "名称 等于 v" (confirmed on that scheme).
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("edit"); // the value then written into row 1; "" none
    // A scheme clicked ("" new), or a key: Down, OK, Esc; then Ctrl+Z (^Z) and Ctrl+Y (^Y)
    // pressed in the grid.
    QTest::addColumn<QString>("then");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("current"); // the scheme current after; "" the new-scheme item
    QTest::addColumn<QString>("shown");   // row 1's value after
    QTest::addColumn<QString>("stored");  // a part the store holds after
    const int yes = nxAlert::AnswerYes;
    const int no = nxAlert::AnswerNo;
    const int stay = nxAlert::AnswerCancel;
    QTest::newRow("unchanged scheme, nothing asked")
        << u"a"_s << QString() << u"b"_s << QList<int>{} << QStringList{} << 0 << u"b"_s << u"vb"_s
        << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("edited, discard goes on")
        << u"a"_s << u"x"_s << u"b"_s << QList<int>{no} << QStringList{} << 1 << u"b"_s << u"vb"_s
        << u"a=\t\t名称\t等于\tva"_s;
    // Undo takes the pick back: the edits and the scheme they belong to, so Save writes there.
    QTest::newRow("edited, discard, Ctrl+Z brings the edits back")
        << u"a"_s << u"x"_s << u"b ^Z"_s << QList<int>{no} << QStringList{} << 1 << u"a"_s << u"x"_s
        << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("edited, discard, Ctrl+Z, Ctrl+Y picks again")
        << u"a"_s << u"x"_s << u"b ^Z ^Y"_s << QList<int>{no} << QStringList{} << 1 << u"b"_s
        << u"vb"_s << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("edited, stay keeps the grid and the scheme")
        << u"a"_s << u"x"_s << u"b"_s << QList<int>{stay} << QStringList{} << 1 << u"a"_s << u"x"_s
        << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("edited, save writes over it, then goes on")
        << u"a"_s << u"x"_s << u"b"_s << QList<int>{yes} << QStringList{} << 1 << u"b"_s << u"vb"_s
        << u"a=\t\t名称\t等于\tx"_s;
    QTest::newRow("new scheme written, save asks a name, then goes on")
        << QString() << u"x"_s << u"b"_s << QList<int>{yes} << QStringList{u"n1"_s} << 1 << u"b"_s
        << u"vb"_s << u"n1=\t\t名称\t等于\tx"_s;
    QTest::newRow("new scheme written, the name dialog cancelled stays")
        << QString() << u"x"_s << u"b"_s << QList<int>{yes} << QStringList{cancelName} << 1
        << QString() << u"x"_s << QString();
    QTest::newRow("edited, the new-scheme item picked, stay")
        << u"a"_s << u"x"_s << QString() << QList<int>{stay} << QStringList{} << 1 << u"a"_s
        << u"x"_s << QString();
    QTest::newRow("edited, Down in the list, stay")
        << u"a"_s << u"x"_s << u"Down"_s << QList<int>{stay} << QStringList{} << 1 << u"a"_s
        << u"x"_s << QString();
    // The component's own box: its buttons answer by their keys.
    QTest::newRow("the box, Alt+R stays") << u"a"_s << u"x"_s << u"b"_s << QList<int>{Qt::Key_R}
                                          << QStringList{} << -1 << u"a"_s << u"x"_s << QString();
    QTest::newRow("the box, Alt+D discards")
        << u"a"_s << u"x"_s << u"b"_s << QList<int>{Qt::Key_D} << QStringList{} << -1 << u"b"_s
        << u"vb"_s << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("the box, Alt+S saves")
        << u"a"_s << u"x"_s << u"b"_s << QList<int>{Qt::Key_S} << QStringList{} << -1 << u"b"_s
        << u"vb"_s << u"a=\t\t名称\t等于\tx"_s;
    // The filter in force is kept by no scheme: the question says so, not that it changed.
    QTest::newRow("reopened on a condition of no scheme, stay")
        << u"=x"_s << QString() << u"b"_s << QList<int>{stay} << QStringList{} << 1 << QString()
        << u"x"_s << QString();
    QTest::newRow("reopened on a scheme edited before OK, discard")
        << u"=x@a"_s << QString() << u"b"_s << QList<int>{no} << QStringList{} << 1 << u"b"_s
        << u"vb"_s << u"a=\t\t名称\t等于\tva"_s;
    QTest::newRow("reopened on a condition of no scheme, saved, then goes on")
        << u"=x"_s << QString() << u"b"_s << QList<int>{yes} << QStringList{u"n1"_s} << 1 << u"b"_s
        << u"vb"_s << u"n1=\t\t名称\t等于\tx"_s;
    QTest::newRow("reopened on a condition of no scheme, edited: it changed")
        << u"=x"_s << u"y"_s << u"b"_s << QList<int>{stay} << QStringList{} << 1 << QString()
        << u"y"_s << QString();
    QTest::newRow("reopened on an unchanged scheme, it is current: nothing asked")
        << u"=va@a"_s << QString() << u"b"_s << QList<int>{} << QStringList{} << 0 << u"b"_s
        << u"vb"_s << QString();
    QTest::newRow("edited, OK never asks") << u"a"_s << u"x"_s << u"OK"_s << QList<int>{}
                                           << QStringList{} << 0 << u"a"_s << u"x"_s << QString();
    QTest::newRow("edited, Esc never asks") << u"a"_s << u"x"_s << u"Esc"_s << QList<int>{}
                                            << QStringList{} << 0 << u"a"_s << u"x"_s << QString();
}

// A pick replaces the grid: changes the user has not saved are asked about once, never lost
// unasked, and answering "stay" leaves the grid and its scheme as they were.
void tst_SchemeList::unsavedChanges()
{
    QFETCH(QString, from);
    QFETCH(QString, edit);
    QFETCH(QString, then);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, names);
    QFETCH(int, asked);
    QFETCH(QString, current);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    preset(QStringLiteral("a=\t\t名称\t等于\tva\t\t;b=\t\t名称\t等于\tvb\t\t"));
    const bool reopened = from.startsWith(u'=');
    if (reopened) {
        const QString scheme = from.section(u'@', 1);
        openAgain(u"\t\t名称\t等于\t"_s + from.mid(1).section(u'@', 0, 0) + u"\t\t"_s,
                  scheme.isEmpty() ? 0 : storedId(scheme));
        QCOMPARE(m_form->currentSchemeId(), from == u"=va@a"_s ? storedId(u"a"_s) : 0);
    }
    list()->setViewMode(SchemeListView::ReportView);
    QApplication::processEvents();
    if (!reopened)
        pick(from);
    if (!edit.isEmpty())
        writeCondition(edit);
    m_alerts->answers = answers;
    // asked = -1: the real box, answered with Alt and the key in answers
    std::optional<ModalAnswers<QMessageBox>> boxKeys;
    if (asked < 0) {
        nxAlert::setPresenter(nullptr);
        boxKeys.emplace([&answers](QMessageBox *box) {
            QTest::keyClick(box, Qt::Key(answers.value(0)), Qt::AltModifier);
        });
    }
    NameAnswers typer(names);
    const ModalWatch watch;
    if (then == u"Down"_s) {
        list()->currentView()->setFocus();
        QTest::keyClick(list()->currentView(), Qt::Key_Down);
    } else if (then == u"OK"_s) {
        QTest::mouseClick(m_form->CmdOK(), Qt::LeftButton);
    } else if (then == u"Esc"_s) {
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
    } else {
        const QStringList keys = then.split(u' ');
        pick(keys.first());
        QApplication::processEvents();
        for (const QString &key : keys.mid(1))
            QTest::keyClick(m_form->vspFilter(), key == u"^Z"_s ? Qt::Key_Z : Qt::Key_Y,
                            Qt::ControlModifier);
    }
    QApplication::processEvents(); // what the click or key still does after the pick
    QCOMPARE(watch.closed, 0);
    QCOMPARE(typer.unexpected, 0);
    int questions = 0;
    for (const auto &alert : std::as_const(m_alerts->shown)) {
        if (alert.style != nxAlert::SaveDiscardStay)
            continue;
        ++questions;
        QCOMPARE(alert.message, reopened && edit.isEmpty() ? Texts::unsavedConditionInForce()
                                                           : Texts::unsavedChanges());
    }
    QCOMPARE(asked < 0 ? boxKeys->answered : questions, std::abs(asked));
    QCOMPARE(list()->selectedIndex(), current.isEmpty() ? 1 : indexOf(current));
    QCOMPARE(m_form->currentSchemeId(), current.isEmpty() ? 0 : storedId(current));
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue), shown);
    QVERIFY2(stored.isEmpty() || this->stored().contains(stored), qPrintable(this->stored()));
    // A save on the way says so, but not over the scheme loaded after it.
    if (shown == u"vb"_s)
        QCOMPARE(m_form->LblMsg()->text(), QString());
}

void tst_SchemeList::keyboardPicks_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("keys"); // key names, or one letter for type-ahead
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("deleted"); // Delete pressed in the list afterwards, answered Yes
    const int report = SchemeListView::ReportView, icons = SchemeListView::IconView,
              small = SchemeListView::SmallIconView, listed = SchemeListView::ListView;
    QTest::newRow("down, report") << report << 2 << u"Down"_s << 3 << false;
    // Each pick loads; the keys must stay in the list to reach the next item.
    QTest::newRow("down twice from the new-scheme item")
        << report << 1 << u"Down Down"_s << 3 << false;
    QTest::newRow("home onto the new-scheme item") << report << 3 << u"Home"_s << 1 << false;
    QTest::newRow("end") << report << 1 << u"End"_s << 4 << false;
    QTest::newRow("page down") << report << 2 << u"PageDown"_s << 4 << false;
    QTest::newRow("type-ahead") << report << 1 << u"c"_s << 4 << false;
    QTest::newRow("right, icons") << icons << 2 << u"Right"_s << 3 << false;
    QTest::newRow("right, small icons") << small << 2 << u"Right"_s << 3 << false;
    QTest::newRow("down, list") << listed << 2 << u"Down"_s << 3 << false;
    // Deleting a scheme the user does not see highlighted would lose it.
    QTest::newRow("Delete key removes the highlighted scheme")
        << report << 2 << u"Down"_s << 3 << true;
    QTest::newRow("Delete key on the new-scheme item asks nothing")
        << report << 2 << u"Home"_s << 1 << true;
}

// The highlighted item is always the loaded one, however the user moved onto it.
void tst_SchemeList::keyboardPicks()
{
    QFETCH(int, mode);
    QFETCH(int, from);
    QFETCH(QString, keys);
    QFETCH(int, to);
    QFETCH(bool, deleted);
    preset(QStringLiteral("a=\t\t名称\t等于\tva\t\t;b=\t\t名称\t等于\tvb\t\t;"
                          "c=\t\t名称\t等于\tvc\t\t"));
    list()->setViewMode(mode);
    QApplication::processEvents();
    pick(from == 1 ? QString() : list()->text(from));
    QWidget *view = list()->currentView();
    view->setFocus(); // as the user puts the keyboard there
    for (const QString &key : keys.split(u' ')) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (key.size() == 1) {
            QTest::keyClicks(focused, key);
            continue;
        }
        const QMetaEnum keyEnum = QMetaEnum::fromType<Qt::Key>();
        QTest::keyClick(focused,
                        Qt::Key(keyEnum.keyToValue(("Key_" + key.toLatin1()).constData())));
    }
    QCOMPARE(list()->selectedIndex(), to);
    const QString name = to == 1 ? QString() : list()->text(to);
    QCOMPARE(m_form->currentSchemeId(), to == 1 ? 0 : storedId(name));
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue), to == 1 ? QString() : u'v' + name);
    QCOMPARE(action(u"Delete"_s)->isEnabled(), to > 1);
    if (!deleted)
        return;
    m_alerts->answers = {nxAlert::AnswerYes};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(m_alerts->shown.size(), to > 1 ? 1 : 0);
    QCOMPARE(list()->count(), to > 1 ? 3 : 4);
    if (to > 1)
        QCOMPARE(storedId(name), 0);
    QCOMPARE(m_form->currentSchemeId(), 0);
}

void tst_SchemeList::viewModes_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("modes");
    QTest::newRow("view presses cycle from small icons")
        << QStringList{u"View"_s, u"View"_s, u"View"_s, u"View"_s, u"View"_s}
        << QList<int>{1, 2, 3, 0, 1};
    QTest::newRow("menu texts and modes cross")
        << QStringList{u"menu:Report"_s, u"menu:Detail"_s, u"menu:BigIcon"_s, u"menu:SmallIcon"_s}
        << QList<int>{3, 2, 0, 1};
    QTest::newRow("menu leaves the counter alone")
        << QStringList{u"View"_s, u"menu:BigIcon"_s, u"View"_s} << QList<int>{1, 0, 2};
}

void tst_SchemeList::viewModes()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, modes);
    QList<int> got;
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1String("menu:"))) {
            for (QAction *a : m_form->viewMenu()->actions()) {
                if (a->objectName() == step.mid(5))
                    a->trigger();
            }
        } else {
            press(step);
        }
        got.append(list()->viewMode());
    }
    QCOMPARE(got, modes);
    QVERIFY(m_alerts->shown.isEmpty());
}

// Keys carry the signed id with a blank in the sign position; texts are trimmed.
void tst_SchemeList::listKeys()
{
    ComponentRegistry::instance().registerFactory(ComponentId::schemeReader(),
                                                  [] { return std::make_shared<FixedReader>(); });
    m_form->schemes().FillSchemeList();
    QCOMPARE(list()->count(), 4);
    QStringList keys, texts;
    for (int i = 1; i <= list()->count(); ++i) {
        keys.append(list()->key(i));
        texts.append(list()->text(i));
    }
    QCOMPARE(keys, (QStringList{u"K0"_s, u"K 12"_s, u"K-3"_s, u"K 7"_s}));
    QCOMPARE(texts, (QStringList{Texts::newScheme(), u"twelve"_s, u"minus three"_s, u"a'b"_s}));
    QCOMPARE(list()->headerText(), Texts::schemeNameHeader());
    QCOMPARE(SchemeList::idOf(QStringLiteral("K-3")), -3);
    QCOMPARE(SchemeList::idOf(QStringLiteral("K 12")), 12);
}

void tst_SchemeList::unusableStore_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << u"Save"_s;
    QTest::newRow("delete") << u"Delete"_s;
}

// A store that fails: one alert naming the failure, nothing stored before changes, and the
// dialog goes on working once the store is back.
void tst_SchemeList::unusableStore()
{
    QFETCH(QString, button);
    preset(QStringLiteral("a=kept"));
    pick(QStringLiteral("a"));
    const QString junk = m_dir.filePath(QStringLiteral("junk.sqlite"));
    {
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("not a database at all\n").repeated(50));
    }
    useStore(junk);
    writeCondition(QStringLiteral("v"));
    m_alerts->answers = {nxAlert::AnswerYes};
    press(button);
    const int questions = button == QLatin1String("Delete") ? 1 : 0;
    QCOMPARE(m_alerts->shown.size(), questions + 1);
    QVERIFY2(m_alerts->shown.last().message.contains(junk),
             qPrintable(m_alerts->shown.last().message));
    QCOMPARE(m_alerts->shown.last().style, int(nxAlert::Information));
    QCOMPARE(list()->count(), 2);
    QCOMPARE(m_form->currentSchemeId(), storedId(QStringLiteral("a")));

    useStore(m_location);
    QCOMPARE(stored(), QStringLiteral("a=kept"));
    press(QStringLiteral("Save"));
    QCOMPARE(stored(), QStringLiteral("a=") + SchemeText::gridText(grid()));
}

// On a server store the context menu shares the user's own scheme and stops sharing it, and
// the list shows it at once.
void tst_SchemeList::shareOnServer()
{
    const QString server = qEnvironmentVariable("NXSF_TEST_PG_URL");
    if (server.isEmpty())
        QSKIP("no test server (NXSF_TEST_PG_URL)");
    m_location = server;
    useStore(server);
    preset(u"a=t"_s);
    pick(u"a"_s);
    auto *shareAction = list()->findChild<QAction *>(u"Share"_s);
    QVERIFY(shareAction && shareAction->isEnabled());
    const QString owner = SchemeStore(server).fullSchemes(m_screen).value(0).rights.owner;
    QCOMPARE(list()->toolTip(indexOf(u"a"_s)), u"方案所有者："_s + owner);
    shareAction->trigger();
    QVERIFY(m_alerts->shown.isEmpty());
    QVERIFY(SchemeStore(server).fullSchemes(m_screen).value(0).rights.shared);
    QCOMPARE(list()->toolTip(indexOf(u"a"_s)), u"方案所有者："_s + owner + u"（共享）"_s);
    QCOMPARE(shareAction->text(), u"取消共享"_s);
    shareAction->trigger();
    QVERIFY(!SchemeStore(server).fullSchemes(m_screen).value(0).rights.shared);

    // Another user's shared scheme listed before the user's own of the same name: the one
    // saved becomes current, and only one's own scheme can be one's default.
    ComponentRegistry::instance().restoreDefaults();
    {
        QSqlDatabase db = otherSession(server, u"other"_s);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        QVERIFY2(q.exec(u"INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, "
                        "fcreated, fchanged, fowner, fshared) VALUES ('%1', 'b', 't', '', '', '', "
                        "'nxsf_bob', true)"_s.arg(m_screen)),
                 qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"other"_s);
    m_form->schemes().FillSchemeList();
    pick(u"b"_s);
    QVERIFY(!list()->findChild<QAction *>(u"SetDefault"_s)->isEnabled());
    writeCondition(u"v"_s);
    m_alerts->answers = {nxAlert::AnswerYes};
    NameAnswers typer({u"b"_s});
    press(u"SaveAs"_s);
    qint32 own = 0;
    for (const StoredScheme &s : SchemeStore(server).fullSchemes(m_screen))
        own = s.FFilterName == u"b"_s && s.rights.own ? s.FID : own;
    QVERIFY(own > 0);
    QCOMPARE(m_form->currentSchemeId(), own);
    QVERIFY(list()->findChild<QAction *>(u"SetDefault"_s)->isEnabled());
}

void tst_SchemeList::schemesOfOthers_data()
{
    QTest::addColumn<SchemeRights>("rights");
    QTest::addColumn<bool>("withRights");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("mayDelete");
    QTest::addColumn<QString>("share"); // the context menu's text; empty when disabled
    QTest::newRow("another user's shared scheme")
        << SchemeRights{u"bob"_s, true, false} << true << u"方案所有者：bob（共享）"_s << false
        << QString();
    QTest::newRow("own private scheme") << SchemeRights{u"me"_s, false, true} << true
                                        << u"方案所有者：me"_s << true << u"共享方案"_s;
    QTest::newRow("own shared scheme") << SchemeRights{u"me"_s, true, true} << true
                                       << u"方案所有者：me（共享）"_s << true << u"取消共享"_s;
    // An administrator changes, deletes and shares a user's scheme, which stays the user's.
    QTest::newRow("an administrator on a user's private scheme")
        << SchemeRights{u"bob"_s, false, true} << true << u"方案所有者：bob"_s << true
        << u"共享方案"_s;
    QTest::newRow("scheme saved before owners")
        << SchemeRights{} << true << QString() << true << QString();
    QTest::newRow("host service without rights")
        << SchemeRights{} << false << QString() << true << QString();
}

// A scheme the user may not change shows whose it is, cannot be deleted, and "Save" on it asks
// for a name of the user's own instead of writing over it; sharing is offered for one's own
// schemes only.
void tst_SchemeList::schemesOfOthers()
{
    QFETCH(SchemeRights, rights);
    QFETCH(bool, withRights);
    QFETCH(QString, toolTip);
    QFETCH(bool, mayDelete);
    QFETCH(QString, share);
    RightsReader::rights = rights;
    RightsReader::withRights = withRights;
    auto inner = createComponent<SchemeReaderComponent>(ComponentId::schemeReader());
    ComponentRegistry::instance().registerFactory(
        ComponentId::schemeReader(), [inner] { return std::make_shared<RightsReader>(inner); });
    preset(u"a=old;b=2"_s);
    QCOMPARE(list()->toolTip(indexOf(u"a"_s)), toolTip);
    pick(u"a"_s);
    QCOMPARE(action(u"Delete"_s)->isEnabled(), mayDelete);
    auto *shareAction = list()->findChild<QAction *>(u"Share"_s);
    QVERIFY(shareAction);
    QCOMPARE(shareAction->isEnabled() ? shareAction->text() : QString(), share);
    // A host's service has no default scheme: the menu does not offer one.
    QVERIFY(!list()->findChild<QAction *>(u"SetDefault"_s)->isVisible());
    // The Delete key asks only where the user may delete.
    m_alerts->answers = {nxAlert::AnswerNo};
    QTest::keyClick(list()->currentView(), Qt::Key_Delete);
    QCOMPARE(m_alerts->shown.size(), mayDelete ? 1 : 0);
    QVERIFY(storedId(u"a"_s) > 0);
    m_alerts->answers.clear();
    m_alerts->shown.clear();

    writeCondition(u"v"_s);
    NameAnswers typer({u"mine"_s});
    press(u"Save"_s);
    QCOMPARE(typer.seenAtOpen.size(), mayDelete ? 0 : 1);
    QCOMPARE(SpyWriter::records.last()->get(u"FFilterName"_s).toString(),
             mayDelete ? u"a"_s : u"mine"_s);
    QCOMPARE(SpyWriter::records.last()->get(u"mFilterID"_s).toInt(),
             mayDelete ? storedId(u"a"_s) : 0);
    if (!mayDelete)
        QVERIFY(stored().startsWith(u"a=old;"_s));
}

void tst_SchemeList::defaultScheme_data()
{
    QTest::addColumn<bool>("own"); // the store's own service; else a host's writer
    // Picks by name ("" the new-scheme item), "set" (the menu item triggered), "menu" (chosen
    // in the context menu opened on the current item), "delete", "store:NAME" (set by another).
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("marked"); // the default afterwards; "" none
    QTest::addColumn<QString>("reopen"); // the scheme in force when the dialog opens again
    QTest::addColumn<QString>("opened"); // the scheme it opens with; "" the new-scheme item
    QTest::newRow("set, then opens with it") << true << u"b set"_s << u"b"_s << QString() << u"b"_s;
    QTest::newRow("set again unsets")
        << true << u"b set set"_s << QString() << QString() << QString();
    QTest::newRow("moves to the last set")
        << true << u"a set b menu"_s << u"b"_s << QString() << u"b"_s;
    QTest::newRow("the new-scheme item is never one")
        << true << u"a set  set"_s << u"a"_s << QString() << u"a"_s;
    QTest::newRow("a condition in force wins") << true << u"b set"_s << u"b"_s << u"a"_s << u"a"_s;
    QTest::newRow("deleted, opens empty")
        << true << u"a set delete"_s << QString() << QString() << QString();
    QTest::newRow("set by another user") << true << u"store:a"_s << u"a"_s << QString() << u"a"_s;
    QTest::newRow("a host's service has none")
        << false << u"store:a a set"_s << QString() << QString() << QString();
}

// The user's default scheme is marked in the list and loaded whenever the dialog opens with no
// condition in force; a host's service without defaults shows none and opens empty.
void tst_SchemeList::defaultScheme()
{
    QFETCH(bool, own);
    QFETCH(QString, steps);
    QFETCH(QString, marked);
    QFETCH(QString, reopen);
    QFETCH(QString, opened);
    if (own)
        ComponentRegistry::instance().restoreDefaults();
    preset(u"a=\t\t名称\t等于\tva\t\t;b=\t\t名称\t等于\tvb\t\t"_s);
    auto *setDefault = list()->findChild<QAction *>(u"SetDefault"_s);
    QVERIFY(setDefault);
    QCOMPARE(setDefault->isVisible(), own);
    for (const QString &step : steps.split(u' ')) {
        if (step == u"set"_s) {
            setDefault->trigger();
        } else if (step == u"menu"_s) {
            QTimer::singleShot(0, this, [setDefault] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu && menu->actions().contains(setDefault));
                QTest::mouseClick(menu, Qt::LeftButton, {},
                                  menu->actionGeometry(setDefault).center());
            });
            auto *viewport = qobject_cast<QAbstractScrollArea *>(list()->currentView())->viewport();
            const QPoint at = list()->itemRect(list()->selectedIndex()).center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
            QApplication::sendEvent(viewport, &event);
        } else if (step == u"delete"_s) {
            m_alerts->answers = {nxAlert::AnswerYes};
            press(u"Delete"_s);
        } else if (step.startsWith(u"store:"_s)) {
            SchemeStore(m_location).setDefault(storedId(step.mid(6)), m_screen, true);
            m_form->schemes().FillSchemeList();
        } else {
            pick(step);
        }
    }
    QVERIFY(m_alerts->shown.size() <= (steps.contains(u"delete"_s) ? 1 : 0));
    for (int i = 2; i <= list()->count(); ++i) {
        const bool isDefault = list()->text(i) == marked;
        QCOMPARE(list()->toolTip(i) == u"默认方案"_s, isDefault);
        QCOMPARE(spokenNames().contains(list()->text(i) + u"（默认方案）"_s), isDefault);
    }
    const qint32 current = m_form->currentSchemeId();
    QCOMPARE(setDefault->isChecked(), current > 0 && current == storedId(marked));
    QCOMPARE(setDefault->isEnabled(), own && current > 0);

    const qint32 reopenId = storedId(reopen);
    openAgain(SchemeStore(m_location).text(reopenId).value_or(QString()), reopenId);
    QCOMPARE(list()->selectedIndex(), opened.isEmpty() ? 1 : indexOf(opened));
    QCOMPARE(m_form->currentSchemeId(), opened.isEmpty() ? 0 : storedId(opened));
    QCOMPARE(grid().GetCellText(1, ConditionGrid::ColValue),
             opened.isEmpty() ? QString() : u'v' + opened);
    QCOMPARE(action(u"Delete"_s)->isEnabled(), !opened.isEmpty());
}

QTEST_MAIN(tst_SchemeList)
#include "tst_schemelist.moc"
