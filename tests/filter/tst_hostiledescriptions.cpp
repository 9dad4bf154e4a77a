// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Field descriptions that a host hands over corrupt: missing groups and keys, texts where
// numbers belong, identifiers that only look alike as numbers, objects where scalars belong,
// odd group bounds and very large groups. Each must end in one alert or a defined condition,
// never in a condition on another field.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "filter/filtertestaccess.h"
#include "testsupport/descriptions.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/dialog/frmfilter.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/filter.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <limits>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

const QString anyAlert = QStringLiteral("*");

/// A serial description in its JSON form; each field is a JSON object text.
KeyedValuesPtr serialJson(const QStringList &header, const QStringList &entry)
{
    return DescriptionJson::parse(QStringLiteral("{\"SerialclassID\": 3, \"Header\": [%1], "
                                                 "\"Entry\": [%2]}")
                                      .arg(header.join(u','), entry.join(u','))
                                      .toUtf8());
}

/// A text field record with the given identifier (JSON) and column; more keys may follow.
QString rec(const QString &id, const QString &column, const QString &more = {})
{
    return QStringLiteral("{\"FPropID\": %1, \"FSQLColumnName\": \"%2\", \"FPropname\": \"%2\", "
                          "\"FPreDefine\": 0, \"FDataType\": 1%3}")
        .arg(id, column, more.isEmpty() ? QString() : u", "_qs + more);
}

/// Everything a description holds, to see that nothing of the host's was changed.
QString render(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<KeyedValuesPtr>()) {
        const KeyedValuesPtr kv = value.value<KeyedValuesPtr>();
        QString out = u"{"_qs;
        for (const QString &key : kv->keys())
            out += key + u':' + render(kv->get(key)) + u';';
        return out + u'}';
    }
    if (value.metaType() == QMetaType::fromType<ValueListPtr>()) {
        const ValueListPtr list = value.value<ValueListPtr>();
        QString out = u"["_qs;
        for (qsizetype i = 1; i <= list->count(); ++i)
            out += render(list->item(i)) + u',';
        return out + u']';
    }
    if (value.metaType() == QMetaType::fromType<DescriptionGroupPtr>()) {
        const DescriptionGroupPtr group = value.value<DescriptionGroupPtr>();
        QString out = QString::number(group->LBound()) + u'<';
        for (qint64 i = group->LBound(); i <= group->UBound(); ++i) {
            try {
                out += render(QVariant::fromValue(group->Item(int(i)))) + u',';
            } catch (const FilterError &) {
                out += u"-,"_qs; // an item the host left empty
            }
        }
        return out + u'>';
    }
    return QString::fromLatin1(value.typeName()) + u'=' + value.toString();
}

/// The dialog's state and grid after its load, with one row written on a list position.
struct Run
{
    HostFields state;
    ConfirmedCondition confirmed;
    ConditionGrid grid;

    Run(bool serial, const KeyedValuesPtr &values)
    {
        state.SerialUse = serial;
        state.ScreenID = QStringLiteral("Host");
        (serial ? state.SerialDesc : state.CommonField) = values;
        Testing::setFields(state, grid);
    }

    QStringList listed() const { return grid.columnItems(ConditionGrid::ColField).mid(1); }

    /// Builds the condition for "position 等于 5"; FilterSQL stays "kept" on failure.
    QString conditionOn(int position)
    {
        grid.SetComboIndex(1, ConditionGrid::ColField, position);
        grid.SetComboIndex(1, ConditionGrid::ColCompare, int(CompareOp::Equal));
        grid.SetCellText(1, ConditionGrid::ColValue, QStringLiteral("5"));
        confirmed = ConfirmedCondition({}, {}, QStringLiteral("kept"), {});
        return Testing::createSql(confirmed, grid) ? confirmed.sql() : QString();
    }
};

void checkAlerts(const ScriptedAlerts &alerts, const QString &expected)
{
    if (expected.isEmpty()) {
        QCOMPARE(alerts.shown.size(), 0);
        return;
    }
    QCOMPARE(alerts.shown.size(), 1);
    QCOMPARE(alerts.shown.first().style, int(nxAlert::Information));
    QVERIFY(!alerts.shown.first().message.isEmpty());
    if (expected != anyAlert)
        QCOMPARE(alerts.shown.first().message, expected);
}

} // namespace

class tst_HostileDescriptions : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedAlerts> m_alerts;

private Q_SLOTS:
    void init()
    {
        Testing::freshProcessState();
        m_alerts = ScriptedAlerts::install();
    }

    void cleanup()
    {
        nxAlert::setPresenter(nullptr);
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void serial_data()
    {
        QTest::addColumn<KeyedValuesPtr>("description");
        QTest::addColumn<QString>("loadAlert"); // empty: the list is built
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<int>("position"); // -1: no condition is built
        QTest::addColumn<QString>("sql");  // empty: one alert, FilterSQL kept
        QTest::addColumn<QString>("sqlAlert");

        const QString unknown = Texts::unknownSerialField();
        const QString badType = Texts::badSerialDataType();

        // Missing or misshapen groups: one alert at load, the lists stay as designed.
        for (const auto &[name, json] : std::initializer_list<std::pair<const char *, QByteArray>>{
                 {"no groups", "{}"},
                 {"no Header", "{\"Entry\": []}"},
                 {"no Entry", "{\"Header\": [{\"FPropID\": 1, \"FSQLColumnName\": \"FA\"}]}"},
                 {"Header is an object", "{\"Header\": {\"FPropID\": 1}, \"Entry\": []}"},
                 {"Header is null", "{\"Header\": null, \"Entry\": []}"},
                 {"Header is a text", "{\"Header\": \"FA\", \"Entry\": []}"},
                 {"Header holds a number", "{\"Header\": [1], \"Entry\": []}"},
                 {"Entry holds null", "{\"Header\": [], \"Entry\": [null]}"}}) {
            QTest::newRow(name) << DescriptionJson::parse(json) << anyAlert << QStringList{} << -1
                                << QString() << QString();
        }

        // A record that cannot be tied back to its column is refused while listing.
        QTest::newRow("record without FPropID")
            << serialJson({u"{\"FSQLColumnName\": \"FA\", \"FDataType\": 1}"_qs}, {}) << anyAlert
            << QStringList{} << -1 << QString() << QString();
        QTest::newRow("FPropID null") << serialJson({rec(u"null"_qs, u"FA"_qs)}, {}) << anyAlert
                                      << QStringList{} << -1 << QString() << QString();
        QTest::newRow("record without FSQLColumnName")
            << serialJson({u"{\"FPropID\": 1, \"FDataType\": 1}"_qs}, {}) << anyAlert
            << QStringList{} << -1 << QString() << QString();
        QTest::newRow("FPropID an array") << serialJson({rec(u"[1]"_qs, u"FA"_qs)}, {}) << anyAlert
                                          << QStringList{} << -1 << QString() << QString();
        QTest::newRow("FPropname an object")
            << serialJson({rec(u"1"_qs, u"FA"_qs, u"\"fpropname\": {}"_qs)}, {}) << anyAlert
            << QStringList{} << -1 << QString() << QString();
        QTest::newRow("no type and no predefine: a user's number field")
            << serialJson(
                   {u"{\"FPropID\": 1, \"FSQLColumnName\": \"FA\", \"FPropname\": \"A\"}"_qs}, {})
            << QString() << QStringList{u"A"_qs} << 1 << u" ( (tf.FA = 5) ) "_qs << QString();
        QTest::newRow("blank column name") << serialJson({rec(u"1"_qs, u"  "_qs)}, {}) << QString()
                                           << QStringList{u"  "_qs} << 1 << QString() << unknown;

        // Identifiers are compared as numbers; where several only look alike as numbers, the
        // position still leads to the field that was listed there.
        QTest::newRow("identifier abc after identifier 0")
            << serialJson({rec(u"0"_qs, u"FA"_qs), rec(u"\"abc\""_qs, u"FB"_qs)}, {}) << QString()
            << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FB = '5') ) "_qs << QString();
        QTest::newRow("identifiers abc and def")
            << serialJson({rec(u"\"abc\""_qs, u"FA"_qs)}, {rec(u"\"def\""_qs, u"FB"_qs)})
            << QString() << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FB = '5') ) "_qs
            << QString();
        QTest::newRow("NaN and inf")
            << serialJson({rec(u"\"NaN\""_qs, u"FA"_qs), rec(u"\"inf\""_qs, u"FB"_qs)}, {})
            << QString() << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FB = '5') ) "_qs
            << QString();
        QTest::newRow("20-digit identifiers equal as doubles")
            << serialJson({rec(u"\"99999999999999999999\""_qs, u"FA"_qs),
                           rec(u"\"99999999999999999998\""_qs, u"FB"_qs)},
                          {})
            << QString() << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FB = '5') ) "_qs
            << QString();
        QTest::newRow("identifiers beyond a double")
            << serialJson({rec(u"\"1e400\""_qs, u"FA"_qs)}, {rec(u"\"1e401\""_qs, u"FB"_qs)})
            << QString() << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FB = '5') ) "_qs
            << QString();
        QTest::newRow("JSON number beyond 64 bits")
            << serialJson({rec(u"1e300"_qs, u"FA"_qs)}, {}) << QString() << QStringList{u"FA"_qs}
            << 1 << u" ( (tf.FA = '5') ) "_qs << QString();
        QTest::newRow("same identifier: the header field, as before")
            << serialJson({rec(u"7"_qs, u"FA"_qs)}, {rec(u"7"_qs, u"FB"_qs)}) << QString()
            << QStringList{u"FA"_qs, u"FB"_qs} << 2 << u" ( (tf.FA = '5') ) "_qs << QString();
        // "(无)" stands for no field, also when a field has the identifier 0.
        QTest::newRow("no field chosen beside identifier 0")
            << serialJson({rec(u"0"_qs, u"FA"_qs)}, {}) << QString() << QStringList{u"FA"_qs} << 0
            << QString() << unknown;

        // Data types are the leading whole number of their text.
        const auto typed = [](const QString &type) {
            return serialJson({u"{\"FPropID\": 1, \"FSQLColumnName\": \"FA\", \"FPropname\": "
                               u"\"A\", \"FDataType\": "_qs +
                               type + u'}'},
                              {});
        };
        QTest::newRow("type 1x is text") << typed(u"\"1x\""_qs) << QString() << QStringList{u"A"_qs}
                                         << 1 << u" ( (tf.FA = '5') ) "_qs << QString();
        QTest::newRow("type abc is a number")
            << typed(u"\"abc\""_qs) << QString() << QStringList{u"A"_qs} << 1
            << u" ( (tf.FA = 5) ) "_qs << QString();
        QTest::newRow("type null is a number")
            << typed(u"null"_qs) << QString() << QStringList{u"A"_qs} << 1
            << u" ( (tf.FA = 5) ) "_qs << QString();
        QTest::newRow("type -10.4 is a system number")
            << typed(u"\"-10.4\""_qs) << QString() << QStringList{u"A"_qs} << 1
            << u" ( (tf.FA = 5) ) "_qs << QString();
        QTest::newRow("type beyond 32 bits")
            << typed(u"1e10"_qs) << QString() << QStringList{u"A"_qs} << 1 << QString() << badType;
        QTest::newRow("type NaN text is a number")
            << typed(u"\"NaN\""_qs) << QString() << QStringList{u"A"_qs} << 1
            << u" ( (tf.FA = 5) ) "_qs << QString();
        QTest::newRow("type an array")
            << typed(u"[1]"_qs) << QString() << QStringList{u"A"_qs} << 1 << QString() << anyAlert;
        QTest::newRow("type an object") << typed(u"{\"FDataType\": 1}"_qs) << QString()
                                        << QStringList{u"A"_qs} << 1 << QString() << anyAlert;
    }

    void serial()
    {
        QFETCH(KeyedValuesPtr, description);
        QFETCH(QString, loadAlert);
        QFETCH(QStringList, listed);
        QFETCH(int, position);
        QFETCH(QString, sql);
        QFETCH(QString, sqlAlert);
        const QString before = render(QVariant::fromValue(description));

        Run run(true, description);
        checkAlerts(*m_alerts, loadAlert);
        QCOMPARE(run.listed(), listed);
        if (loadAlert.isEmpty())
            QCOMPARE(run.state.ScreenID, u"Serial_3"_qs);
        QCOMPARE(run.grid.columnItems(ConditionGrid::ColCompare), Vocabulary::compareItems());
        if (position >= 0) {
            m_alerts->shown.clear();
            QCOMPARE(run.conditionOn(position), sql);
            checkAlerts(*m_alerts, sqlAlert);
            if (sql.isEmpty())
                QCOMPARE(run.confirmed.sql(), u"kept"_qs);
        }
        QCOMPARE(render(QVariant::fromValue(description)), before);
    }

    void common_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("loadAlert");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("sql"); // for position 1 (empty: one alert, FilterSQL kept)

        const auto withField = [](const char *field) {
            return QByteArray("{\"Fields\": [") + field + "]}";
        };
        QTest::newRow("no Fields") << QByteArray("{}") << anyAlert << QStringList{} << QString();
        QTest::newRow("Fields an object") << QByteArray("{\"Fields\": {\"Caption\": \"A\"}}")
                                          << anyAlert << QStringList{} << QString();
        QTest::newRow("Fields null")
            << QByteArray("{\"Fields\": null}") << anyAlert << QStringList{} << QString();
        QTest::newRow("a field that is a number")
            << withField("1") << anyAlert << QStringList{} << QString();
        // Listing reads the caption alone; the column is asked for when a condition uses it.
        QTest::newRow("a field without ColumnName")
            << withField("{\"Caption\": \"A\", \"DataType\": 3}") << QString()
            << QStringList{u"A"_qs} << QString();
        QTest::newRow("blank ColumnName")
            << withField("{\"Caption\": \"A\", \"DataType\": 3, \"ColumnName\": \" \"}")
            << QString() << QStringList{u"A"_qs} << QString();
        QTest::newRow("DataType 200x is text")
            << withField("{\"Caption\": \"A\", \"DataType\": \"200x\", \"ColumnName\": \"t.A\"}")
            << QString() << QStringList{u"A"_qs} << u" ( (t.A = '5') ) "_qs;
        QTest::newRow("DataType NaN is a number")
            << withField("{\"Caption\": \"A\", \"DataType\": \"NaN\", \"ColumnName\": \"t.A\"}")
            << QString() << QStringList{u"A"_qs} << u" ( (t.A = 5) ) "_qs;
        QTest::newRow("DataType an array")
            << withField("{\"Caption\": \"A\", \"DataType\": [200], \"ColumnName\": \"t.A\"}")
            << QString() << QStringList{u"A"_qs} << QString();
        // A column expression is the host's to write, within a grammar that cannot widen.
        QTest::newRow("ColumnName an expression")
            << withField("{\"Caption\": \"A\", \"DataType\": 3, \"ColumnName\": "
                         "\"ISNULL(dbo.t1.[F Qty],0)*t1.FPrice\"}")
            << QString() << QStringList{u"A"_qs}
            << u" ( (ISNULL(dbo.t1.[F Qty],0)*t1.FPrice = 5) ) "_qs;
        QTest::newRow("ColumnName an expression with a literal")
            << withField("{\"Caption\": \"A\", \"DataType\": 3, \"ColumnName\": "
                         "\"ISNULL(t1.FQty,'1')\"}")
            << QString() << QStringList{u"A"_qs} << QString();
        QTest::newRow("ColumnName of a million characters")
            << withField("{\"Caption\": \"A\", \"DataType\": 3, \"ColumnName\": \"" +
                         QByteArray(1'000'000, 'F') + "\"}")
            << QString() << QStringList{u"A"_qs} << QString();
        QTest::newRow("ColumnName an object")
            << withField("{\"Caption\": \"A\", \"DataType\": 3, \"ColumnName\": {}}") << QString()
            << QStringList{u"A"_qs} << QString();
    }

    void common()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, loadAlert);
        QFETCH(QStringList, listed);
        QFETCH(QString, sql);
        const KeyedValuesPtr values = DescriptionJson::parse(json);
        const QString before = render(QVariant::fromValue(values));

        Run run(false, values);
        checkAlerts(*m_alerts, loadAlert);
        QCOMPARE(run.listed(), listed);
        if (loadAlert.isEmpty()) {
            m_alerts->shown.clear();
            QCOMPARE(run.conditionOn(1), sql);
            checkAlerts(*m_alerts, sql.isEmpty() ? anyAlert : QString());
        }
        QCOMPARE(render(QVariant::fromValue(values)), before);
    }

    void groupBounds_data()
    {
        QTest::addColumn<int>("lowerBound");
        QTest::addColumn<int>("items");
        QTest::addColumn<bool>("made");

        constexpr int lowest = std::numeric_limits<int>::min();
        constexpr int highest = std::numeric_limits<int>::max();
        QTest::newRow("UBound below LBound") << 5 << 0 << true;
        QTest::newRow("negative LBound") << -3 << 2 << true;
        QTest::newRow("empty just above the lowest") << lowest + 1 << 0 << true;
        QTest::newRow("one item just below the highest") << highest - 1 << 1 << true;
        // Past these an empty group's UBound, or the index after the last, is no integer.
        QTest::newRow("LBound the lowest integer") << lowest << 0 << false;
        QTest::newRow("last index the highest integer") << highest << 1 << false;
        QTest::newRow("items past the highest index") << highest - 1 << 2 << false;
    }

    // Odd bounds list the group's items in order, or are refused where the group is made;
    // a walk over the group never wraps around.
    void groupBounds()
    {
        QFETCH(int, lowerBound);
        QFETCH(int, items);
        QFETCH(bool, made);
        QList<KeyedValuesPtr> fields;
        for (int i = 1; i <= items; ++i)
            fields << serialField(i, u"F"_qs + QString::number(i), QString::number(i), 0, 0);
        if (!made) {
            QVERIFY_THROWS_EXCEPTION(FilterError, DescriptionGroup::create(fields, lowerBound));
            if (items > 0) {
                DescriptionGroupPtr full = DescriptionGroup::create(fields.mid(1), lowerBound);
                QVERIFY_THROWS_EXCEPTION(FilterError, full->append(fields.first()));
            }
            return;
        }
        KeyedValuesPtr description = serialDescription({}, {});
        description->set(u"Header"_qs,
                         QVariant::fromValue(DescriptionGroup::create(fields, lowerBound)));
        Run run(true, description);
        QCOMPARE(m_alerts->shown.size(), 0);
        QCOMPARE(run.listed().size(), items);
        if (items > 0)
            QCOMPARE(run.conditionOn(items),
                     u" ( (tf.F"_qs + QString::number(items) + u" = 5) ) "_qs);
    }

    // A million fields are listed and found again without copying each record, fast enough
    // for a dialog's load.
    void millionFields()
    {
        constexpr int count = 1'000'000;
        QList<KeyedValuesPtr> header(count - 1, serialField(1, u"FA"_qs, u"A"_qs, 0, 0));
        header << serialField(2, u"FB"_qs, u"B"_qs, 0, 1);
        Run run(true, serialDescription(header, {}));
        QCOMPARE(m_alerts->shown.size(), 0);
        QCOMPARE(run.state.FieldIDs.size(), count + 1);
        QCOMPARE(run.grid.columnItems(ConditionGrid::ColField).size(), count + 1);
        QCOMPARE(run.conditionOn(count), u" ( (tf.FB = '5') ) "_qs);
        QCOMPARE(run.conditionOn(count - 1), u" ( (tf.FA = 5) ) "_qs);
    }

    void malformedJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("top-level array") << QByteArray("[{\"Header\": []}]");
        QTest::newRow("cut short") << QByteArray("{\"Header\": [{\"FPropID\": 1");
        QTest::newRow("NUL inside") << QByteArray("{\"Header\": \0[]}", 15);
        QTest::newRow("nested too deep") << QByteArray(100'000, '[');
        QTest::newRow("number beyond a double") << QByteArray("{\"SerialclassID\": 1e400}");
        QTest::newRow("over the size cap")
            << '{' + QByteArray(DescriptionJson::MaxBytes, ' ') + '}';
    }

    // A description that is no JSON object is refused with the reader's own failure.
    void malformedJson()
    {
        QFETCH(QByteArray, json);
        QVERIFY_THROWS_EXCEPTION(FilterError, DescriptionJson::parse(json));
    }

    // Through the public object: a description the dialog cannot list still opens a usable
    // dialog after one alert, and look-alike identifiers lead to the field the user chose.
    void throughTheDialog()
    {
        ContextStore::setPropsString(
            QStringLiteral("SCHEMEDB=") + QDir::tempPath() + QStringLiteral("/tst_hostiledesc_") +
            QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".sqlite;"));
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(DescriptionJson::parse("{\"Header\": {}, \"Entry\": []}"));
        QTimer::singleShot(0, qApp, [&] {
            frmFilter *form = FilterTestAccess::dialog(filter);
            QVERIFY(form && form->isVisible());
            QCOMPARE(m_alerts->shown.size(), 1);
            QCOMPARE(form->grid().columnItems(ConditionGrid::ColField), QStringList{});
            form->CmdOK_Click();
        });
        QCOMPARE(filter.ShowFilterForm(), QString());
        QCOMPARE(filter.Cancel(), false);
        QCOMPARE(m_alerts->shown.size(), 1);

        m_alerts->shown.clear();
        filter.setSerialDesc(
            serialJson({rec(u"\"abc\""_qs, u"FA"_qs)}, {rec(u"\"def\""_qs, u"FB"_qs)}));
        QTimer::singleShot(0, qApp, [&] {
            frmFilter *form = FilterTestAccess::dialog(filter);
            QVERIFY(form && form->isVisible());
            ConditionGrid &grid = form->grid();
            grid.setData(grid.index(0, ConditionGrid::ColField - 1), 2,
                         ConditionGrid::ComboIndexRole);
            grid.setData(grid.index(0, ConditionGrid::ColValue - 1), u"x"_qs);
            form->CmdOK_Click();
            if (form->isVisible())
                form->CmdCancel_Click();
        });
        QCOMPARE(filter.ShowFilterForm(), u" ( (tf.FB = 'x') ) "_qs);
        QCOMPARE(m_alerts->shown.size(), 0);
    }
};

QTEST_MAIN(tst_HostileDescriptions)
#include "tst_hostiledescriptions.moc"
