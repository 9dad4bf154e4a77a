// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Outside components that the host registers and that throw anything or give nothing, met in
// the real dialog through its keys: one alert for F7 and F1, silence for the language loader,
// a FilterError to the host when the form text loader fails the load; afterwards the dialog
// takes typed conditions and OK gives the condition.

#include "core/conditions/conditiongrid.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "filter/filtertestaccess.h"
#include "testsupport/descriptions.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/helpwindow.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/filter.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;
using namespace Qt::StringLiterals;

namespace {

using G = ConditionGrid;

enum class Failure { StdException, FilterError, NonStd, Null, WrongType, MethodNonStd };

struct NotAnException
{
    int code;
};

[[noreturn]] void raise(Failure failure)
{
    switch (failure) {
    case Failure::StdException:
        throw std::runtime_error("component broke");
    case Failure::FilterError:
        throw FilterError(ErrorNumber::Unexpected, u"Host"_s, u"部件已损坏"_s);
    default:
        throw NotAnException{7};
    }
}

/// A factory that fails as told; MethodNonStd makes a component whose every call throws.
template <class Good, class Broken> ComponentRegistry::Factory failing(Failure failure)
{
    return [failure]() -> ComponentPtr {
        switch (failure) {
        case Failure::Null:
            return nullptr;
        case Failure::WrongType:
            return std::make_shared<Component>();
        case Failure::MethodNonStd:
            return std::make_shared<Broken>();
        default:
            raise(failure);
        }
        return std::make_shared<Good>();
    };
}

/// The user closes the look-up window without choosing.
class CancelledLookup : public LookupWindowComponent
{
public:
    LookupResult itemlookup(qint32 &, const QVariant &, KeyedValuesPtr &) override { return {}; }
    LookupResult SubMesLookup(qint32 &) override { return {}; }
};
class BrokenLookup : public CancelledLookup
{
public:
    LookupResult itemlookup(qint32 &, const QVariant &, KeyedValuesPtr &) override
    {
        throw NotAnException{1};
    }
};

class QuietHelp : public HelpComponent
{
public:
    void ShowHELP(qint32 &, qint16, QString &, qint32 &, QString &, qint32 &) override {}
};
class BrokenHelp : public HelpComponent
{
public:
    void ShowHELP(qint32 &, qint16, QString &, qint32 &, QString &, qint32 &) override
    {
        throw NotAnException{2};
    }
};

class BrokenLanguage : public ResourceLoaderComponent
{
public:
    void setResFileBaseName(const QString &) override {}
    void setLanguageID(const QString &) override {}
    QString LoadString(const QString &) override { throw NotAnException{3}; }
    QString LoadString2(const QString &) override { throw NotAnException{4}; }
};

class QuietFonts : public FormTextLoaderComponent
{
public:
    void SetFrmFont(QWidget *, QString &) override {}
};
class BrokenFonts : public FormTextLoaderComponent
{
public:
    void SetFrmFont(QWidget *, QString &) override { throw NotAnException{5}; }
};

void addFailures(const QString &component)
{
    const struct
    {
        const char *name;
        Failure failure;
    } failures[] = {{"throws std::exception", Failure::StdException},
                    {"throws FilterError", Failure::FilterError},
                    {"throws a non-std exception", Failure::NonStd},
                    {"returns null", Failure::Null},
                    {"returns another kind of component", Failure::WrongType},
                    {"whose calls throw a non-std exception", Failure::MethodNonStd}};
    for (const auto &f : failures) {
        QTest::addRow("%s factory %s", qPrintable(component), f.name)
            << component << int(f.failure);
    }
}

ConditionGridView *view(frmFilter &form)
{
    return form.vspFilter();
}

void click(frmFilter &form, int row, int col)
{
    const QRect rect = view(form)->visualRect(form.grid().index(row - 1, col - 1));
    QTest::mouseClick(view(form)->viewport(), Qt::LeftButton, {}, rect.center());
}

/// Row 1 as the user writes it with keys: the field by its first character and Enter, the value
/// typed into the value cell and ended with Enter. F7 and F1 are pressed on the value cell first.
void writeWithKeys(frmFilter &form, const QString &fieldKey, const QString &value)
{
    click(form, 1, G::ColField);
    QTest::sendKeyEvent(QTest::Click, view(form), Qt::Key_unknown, fieldKey, Qt::NoModifier);
    QVERIFY(enterTypedField(&form));
    click(form, 1, G::ColValue);
    QTest::keyClick(view(form), Qt::Key_F7);
    QTest::keyClick(view(form), Qt::Key_F1);
    for (const QChar ch : value)
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor hands its text over once Enter is handled
}

const QString expectedSql = u" ( (t1.FStock = 'abc') ) "_s;

} // namespace

class tst_HostileComponents : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<ScriptedAlerts> m_alerts;

    void registerFailing(const QString &component, Failure failure)
    {
        auto &registry = ComponentRegistry::instance();
        if (component == ComponentId::lookupWindow())
            registry.registerFactory(component, failing<CancelledLookup, BrokenLookup>(failure));
        else if (component == ComponentId::help())
            registry.registerFactory(component, failing<QuietHelp, BrokenHelp>(failure));
        else if (component == ComponentId::resourceLoader())
            registry.registerFactory(component, failing<BrokenLanguage, BrokenLanguage>(failure));
        else
            registry.registerFactory(component, failing<QuietFonts, BrokenFonts>(failure));
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void failingComponentInTheDialog_data();
    void failingComponentInTheDialog();
    void failingFormTextLoader_data();
    void failingFormTextLoader();
};

void tst_HostileComponents::init()
{
    auto &registry = ComponentRegistry::instance();
    registry.restoreDefaults();
    registry.registerFactory(ComponentId::lookupWindow(),
                             [] { return std::make_shared<CancelledLookup>(); });
    registry.registerFactory(ComponentId::help(), [] { return std::make_shared<QuietHelp>(); });
    HelpKey::release();
    Language::reload();
    ContextStore::clear();
    // English, so that every text goes through the language loader.
    ContextStore::setPropsString(u"LANGUAGE=en;SCHEMEDB="_s + m_dir.filePath(u"s.sqlite"_s) + u';');
    m_alerts = ScriptedAlerts::install();
}

void tst_HostileComponents::cleanup()
{
    HelpKey::release();
    Language::reload();
    ComponentRegistry::instance().restoreDefaults();
    nxAlert::setPresenter(nullptr);
    m_alerts.reset();
}

void tst_HostileComponents::failingComponentInTheDialog_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<int>("failure");
    addFailures(ComponentId::lookupWindow());
    addFailures(ComponentId::help());
    addFailures(ComponentId::resourceLoader());
}

// F7 and F1 each cost one alert when their component fails; a failing language loader shows
// the Chinese texts and nothing else. The dialog then works as before.
void tst_HostileComponents::failingComponentInTheDialog()
{
    QFETCH(QString, component);
    QFETCH(int, failure);
    registerFailing(component, Failure(failure));
    const bool silent = component == ComponentId::resourceLoader();

    frmFilter form;
    form.setSerialUse(false);
    form.setCommonField(standardCommonValues());
    form.Form_Load();
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(m_alerts->shown.isEmpty());
    if (silent) {
        QCOMPARE(form.CmdOK()->text(), Texts::ok());
        QCOMPARE(form.grid().headerText(G::ColField), Texts::headerField());
    }

    writeWithKeys(form, u"仓"_s, u"abc"_s);
    QCOMPARE(form.grid().GetCellText(1, G::ColField), u"仓库"_s);
    QCOMPARE(m_alerts->shown.size(), silent ? 0 : 1);
    for (const auto &alert : m_alerts->shown) {
        QCOMPARE(alert.style, int(nxAlert::Information));
        QVERIFY(!alert.message.isEmpty());
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(form.grid().GetCellText(1, G::ColValue), u"abc"_s);

    QTest::mouseClick(form.CmdOK(), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Cancel());
    QCOMPARE(form.FilterSQL(), expectedSql);
    QCOMPARE(m_alerts->shown.size(), silent ? 0 : 1);
}

void tst_HostileComponents::failingFormTextLoader_data()
{
    QTest::addColumn<QString>("component");
    QTest::addColumn<int>("failure");
    addFailures(ComponentId::formTextLoader());
}

// The form text loader runs while the dialog loads, which has no handler of its own: the host
// gets a FilterError (never a foreign exception it cannot know), no alert shows, and the next
// showing with a working loader takes typed conditions.
void tst_HostileComponents::failingFormTextLoader()
{
    QFETCH(QString, component);
    QFETCH(int, failure);
    registerFailing(component, Failure(failure));

    Filter filter;
    filter.setCommonFields(standardCommonValues());
    bool shown = false;
    QTimer timer; // dies with the test, so it never acts on a later one
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [&] {
        shown = FilterTestAccess::dialog(filter) && FilterTestAccess::dialog(filter)->isVisible();
        if (shown)
            FilterTestAccess::dialog(filter)->CmdCancel_Click();
    });
    timer.start(0);
    QVERIFY_THROWS_EXCEPTION(FilterError, filter.ShowFilterForm());
    QVERIFY(!shown);
    QVERIFY(m_alerts->shown.isEmpty());
    QCoreApplication::processEvents(); // the timer finds no dialog

    // The loader is kept once made, so a mended one needs the component loaded afresh.
    Language::reload();
    ComponentRegistry::instance().registerFactory(component,
                                                  [] { return std::make_shared<QuietFonts>(); });
    QTimer user;
    user.setSingleShot(true);
    connect(&user, &QTimer::timeout, this, [&] {
        frmFilter *form = FilterTestAccess::dialog(filter);
        QVERIFY(form && form->isVisible());
        QApplication::setActiveWindow(form);
        writeWithKeys(*form, u"仓"_s, u"abc"_s);
        form->CmdOK()->click();
        if (form->isVisible()) // never leave the test hanging on the modal loop
            form->CmdCancel_Click();
    });
    user.start(0);
    QCOMPARE(filter.ShowFilterForm(), expectedSql);
    QVERIFY(!filter.Cancel());
    QVERIFY(m_alerts->shown.isEmpty());
}

QTEST_MAIN(tst_HostileComponents)
#include "tst_hostilecomponents.moc"
