// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Value cells: set-up by data type, the rows the grid keeps, the empty-test lock, the hint and
// the F7 look-up through a scripted look-up window.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/valuewords.h"
#include "core/host/keys.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>

#include <QScopeGuard>
#include <QTest>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

Q_DECLARE_METATYPE(CellKind)

namespace {

using G = ConditionGrid;

/// What the scripted look-up window was asked and what it answers.
struct LookupScript
{
    struct Call
    {
        QString method;
        qint32 lookupClass = 0;
        QVariant filter;
        QStringList optionKeys;
        QVariantList optionValues;
    };
    QList<Call> calls;
    int created = 0;
    LookupResult result{true, {u"名"_qs, u"全名"_qs, u"编号"_qs}};
    bool throwing = false;
};

class ScriptedLookup : public LookupWindowComponent
{
public:
    explicit ScriptedLookup(LookupScript &script)
        : m_script(script)
    {
        ++m_script.created;
    }

    LookupResult itemlookup(qint32 &lookupClass, const QVariant &filter,
                            KeyedValuesPtr &options) override
    {
        LookupScript::Call call{u"itemlookup"_qs, lookupClass, filter, {}, {}};
        if (options) {
            call.optionKeys = options->keys();
            for (const QString &key : call.optionKeys)
                call.optionValues << options->get(key);
        }
        return answer(call);
    }

    LookupResult SubMesLookup(qint32 &lookupClass) override
    {
        return answer({u"SubMesLookup"_qs, lookupClass, {}, {}, {}});
    }

private:
    LookupResult answer(const LookupScript::Call &call)
    {
        m_script.calls << call;
        if (m_script.throwing)
            throw FilterError(5, u"GLView"_qs, u"查找窗口出错"_qs);
        return m_script.result;
    }
    LookupScript &m_script;
};

QString hintFor(const QString &caption)
{
    return caption + u"按F7键可查看---"_qs;
}

/// Common fields for the look-up rules: class 5 by name, another class with a detail filter,
/// class 5 by number, and the two classes that mean no look-up.
KeyedValuesPtr lookupCommonValues(const QString &screenId)
{
    return commonValues({commonField(u"仓库"_qs, 200, u"t1.FStock"_qs, 5),
                         commonField(u"客户"_qs, 200, u"t1.FCust"_qs, 12, true, true, true),
                         commonField(u"编码"_qs, 200, u"t1.FCode"_qs, 5, false, false),
                         commonField(u"数量"_qs, 3, u"t1.FQty"_qs, 0),
                         commonField(u"旧"_qs, 200, u"t1.FOld"_qs, -1000)},
                        screenId);
}

} // namespace

class tst_ValueCells : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedAlerts> m_alerts;
    LookupScript m_lookup;
    HostFields m_state;
    std::unique_ptr<ConditionGrid> m_grid;
    std::unique_ptr<ValueCells> m_cells;

    void load(bool serial, const KeyedValuesPtr &values, const QString &screenId = u"Items"_qs)
    {
        m_state.SerialUse = serial;
        m_state.ScreenID = screenId;
        (serial ? m_state.SerialDesc : m_state.CommonField) = values;
        Testing::setFields(m_state, *m_grid);
        QObject::connect(m_grid.get(), &ConditionGrid::cellChanged, m_grid.get(),
                         [this](int c, int r) { m_cells->cellChanged(c, r); });
    }

    // What the user does, through the model as the editors do it.
    void choose(int row, int col, int index)
    {
        QVERIFY(m_grid->setData(m_grid->index(row - 1, col - 1), index, G::ComboIndexRole));
    }
    void type(int row, int col, const QString &text)
    {
        QVERIFY(m_grid->setData(m_grid->index(row - 1, col - 1), text));
    }
    QString value(int row) const { return m_grid->GetCellText(row, G::ColValue); }

private Q_SLOTS:
    void initTestCase()
    {
        ValueCells::setClock([] { return QDate(2024, 3, 5); });
    }

    void cleanupTestCase() { ValueCells::setClock({}); }

    void init()
    {
        ComponentRegistry::instance().restoreDefaults();
        m_lookup = LookupScript();
        ComponentRegistry::instance().registerFactory(ComponentId::lookupWindow(), [this] {
            return std::make_shared<ScriptedLookup>(m_lookup);
        });
        m_alerts = ScriptedAlerts::install();
        m_state = HostFields();
        m_grid = std::make_unique<ConditionGrid>();
        m_cells = std::make_unique<ValueCells>(m_state, *m_grid);
        Testing::alertFailures(*m_cells);
    }

    void cleanup()
    {
        m_cells.reset();
        m_grid.reset();
        nxAlert::setPresenter(nullptr);
        ComponentRegistry::instance().restoreDefaults();
    }

    void valueCellKinds_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("dataType");
        QTest::addColumn<int>("sysType");
        QTest::addColumn<int>("compare");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<CellKind>("kind");
        QTest::addColumn<QString>("text");

        const QString kept = u"preset"_qs;
        const CellKind text = CellKind::Text;
        QTest::newRow("serial number")
            << true << 0 << 0 << 0 << false << CellKind::Integer << u"0"_qs;
        QTest::newRow("serial text") << true << 1 << 0 << 0 << false << text << QString();
        QTest::newRow("serial item") << true << 2 << 0 << 0 << false << text << QString();
        QTest::newRow("serial sub-message") << true << 3 << 0 << 0 << false << text << QString();
        QTest::newRow("serial date")
            << true << 4 << 0 << 0 << false << CellKind::Date << u"2024-03-05"_qs;
        QTest::newRow("serial date, no comparison yet")
            << true << 4 << 0 << -1 << false << CellKind::Date << u"2024-03-05"_qs;
        QTest::newRow("serial date, is empty")
            << true << 4 << 0 << 8 << false << CellKind::Date << QString();
        QTest::newRow("serial date, is not empty")
            << true << 4 << 0 << 9 << false << CellKind::Date << QString();
        QTest::newRow("serial system number")
            << true << -10 << 0 << 0 << false << CellKind::Integer << u"0"_qs;
        QTest::newRow("serial system text") << true << -10 << 3 << 0 << false << text << QString();
        QTest::newRow("serial unknown type keeps the text")
            << true << 9 << 0 << 0 << false << text << kept;
        QTest::newRow("serial date while loading keeps the text")
            << true << 4 << 0 << 0 << true << CellKind::Date << kept;
        QTest::newRow("serial number while loading keeps the text")
            << true << 0 << 0 << 0 << true << CellKind::Integer << kept;
        QTest::newRow("common text 200") << false << 200 << 0 << 0 << false << text << QString();
        QTest::newRow("common text 200 while loading")
            << false << 200 << 0 << 0 << true << text << kept;
        QTest::newRow("common text 129 keeps the text")
            << false << 129 << 0 << 0 << false << text << kept;
        QTest::newRow("common number keeps the text")
            << false << 3 << 0 << 0 << false << text << kept;
    }

    void valueCellKinds()
    {
        QFETCH(bool, serial);
        QFETCH(int, dataType);
        QFETCH(int, sysType);
        QFETCH(int, compare);
        QFETCH(bool, loading);
        QFETCH(CellKind, kind);
        QFETCH(QString, text);
        if (serial)
            load(true,
                 serialDescription({serialField(1, u"FX"_qs, u"X"_qs, 0, dataType, sysType)}, {}));
        else
            load(false, commonValues({commonField(u"X"_qs, dataType, u"t.X"_qs)}, u"Items"_qs));
        m_grid->SetComboIndex(2, G::ColCompare, compare);
        m_grid->SetCellText(2, G::ColValue, u"preset"_qs);
        m_cells->setLoadingScheme(loading);
        m_cells->SetValueCell(1, 2);
        QCOMPARE(m_grid->cellKind(2, G::ColValue), kind);
        QCOMPARE(value(2), text);
        QCOMPARE(m_alerts->shown.size(), 0);
    }

    // A failing set-up shows its description once and leaves what was done.
    void setValueCellFailure()
    {
        load(false, standardCommonValues());
        m_grid->SetCellText(2, G::ColValue, u"keep"_qs);
        m_cells->SetValueCell(9, 2);
        QCOMPARE(m_alerts->shown.size(), 1);
        QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
        QCOMPARE(value(2), u"keep"_qs);
        m_cells->SetValueCell(-1, 2); // nothing chosen: nothing at all
        QCOMPARE(m_alerts->shown.size(), 1);
    }

    void choosingFieldSetsUpRow()
    {
        load(true, standardSerialDescription());
        choose(2, G::ColField, 3); // 数量, a number
        QCOMPARE(m_grid->GetComboIndex(2, G::ColLogic), 0);
        QCOMPARE(m_grid->GetComboIndex(2, G::ColCompare), 0);
        QCOMPARE(m_grid->cellKind(2, G::ColValue), CellKind::Integer);
        QCOMPARE(value(2), u"0"_qs);

        // Choices already made stay; the first row keeps no logic word.
        m_grid->SetComboIndex(3, G::ColLogic, 1);
        m_grid->SetComboIndex(3, G::ColCompare, 5);
        choose(3, G::ColField, 4); // 日期
        QCOMPARE(m_grid->GetComboIndex(3, G::ColLogic), 1);
        QCOMPARE(m_grid->GetComboIndex(3, G::ColCompare), 5);
        QCOMPARE(value(3), u"2024-03-05"_qs);
        choose(1, G::ColField, 1);
        QCOMPARE(m_grid->GetCellText(1, G::ColLogic), QString());
        QVERIFY(m_grid->isLocked(1, G::ColLogic));
        QCOMPARE(m_grid->GetComboIndex(1, G::ColCompare), 0);
        QCOMPARE(m_alerts->shown.size(), 0);
    }

    void deleteRow_data()
    {
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("middle row") << 3 << QStringList{u"1"_qs, u"2"_qs, u"4"_qs, u"5"_qs};
        QTest::newRow("first row") << 1 << QStringList{u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs};
        // The grid must still end in an empty row for new input.
        QTest::newRow("last row") << 5
                                  << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, QString()};
        // The row that moved into the last place counts as edited: an empty row follows.
        QTest::newRow("last but one")
            << 4 << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"5"_qs, QString()};
    }

    // Choosing "(无)" removes the row; a new first row has no logic word.
    void deleteRow()
    {
        QFETCH(int, deleted);
        QFETCH(QStringList, values);
        load(true, standardSerialDescription());
        m_grid->SetMaxRows(5);
        for (int r = 1; r <= 5; ++r) {
            m_grid->SetComboIndex(r, G::ColField, 1);
            m_grid->SetComboIndex(r, G::ColLogic, 1);
            m_grid->SetCellText(r, G::ColValue, QString::number(r));
        }
        choose(deleted, G::ColField, 0);
        QStringList after;
        for (int r = 1; r <= m_grid->MaxRows(); ++r)
            after << value(r);
        QCOMPARE(after, values);
        QCOMPARE(m_grid->cellKind(1, G::ColLogic), CellKind::Text);
        QVERIFY(m_grid->isLocked(1, G::ColLogic));
        QCOMPARE(m_grid->GetCellText(1, G::ColLogic), QString());
        if (deleted != 1)
            QCOMPARE(m_grid->GetCellText(2, G::ColLogic), u"或者"_qs);
        QCOMPARE(m_alerts->shown.size(), 0);
    }

    // Deleting the only row must leave a usable first row, not a grid without rows.
    void deleteOnlyRow()
    {
        load(true, standardSerialDescription());
        m_grid->SetMaxRows(1);
        m_grid->SetComboIndex(1, G::ColField, 3);
        m_grid->SetCellText(1, G::ColValue, u"5"_qs);
        choose(1, G::ColField, 0);
        QCOMPARE(m_grid->MaxRows(), 1);
        QCOMPARE(m_grid->cellKind(1, G::ColLogic), CellKind::Text);
        QVERIFY(m_grid->isLocked(1, G::ColLogic));
        QCOMPARE(m_grid->GetCellText(1, G::ColLogic), QString());
        QCOMPARE(m_grid->GetComboIndex(1, G::ColField), -1);
        QCOMPARE(value(1), QString());

        choose(1, G::ColField, 4);
        QCOMPARE(value(1), u"2024-03-05"_qs);
        QCOMPARE(m_grid->MaxRows(), 2);
        QCOMPARE(m_alerts->shown.size(), 0);
    }

    void rowGrowth_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("withField");
        QTest::addColumn<int>("rows");
        QTest::newRow("logic in the last row") << 8 << 1 << false << 9;
        QTest::newRow("left paren in the last row") << 8 << 2 << false << 9;
        QTest::newRow("field in the last row") << 8 << 3 << false << 9;
        QTest::newRow("comparison in the last row") << 8 << 4 << false << 9;
        QTest::newRow("value of a field in the last row") << 8 << 5 << true << 9;
        QTest::newRow("value without a field in the last row") << 8 << 5 << false << 8;
        QTest::newRow("right paren in the last row") << 8 << 7 << false << 9;
        QTest::newRow("earlier row") << 7 << 4 << true << 8;
        QTest::newRow("value in an earlier row") << 3 << 5 << true << 8;
    }

    void rowGrowth()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, withField);
        QFETCH(int, rows);
        load(true, standardSerialDescription());
        if (withField)
            m_grid->SetComboIndex(row, G::ColField, 1);
        switch (col) {
        case 2:
            type(row, col, u"(("_qs);
            break;
        case 5:
            type(row, col, u"x"_qs);
            break;
        case 7:
            type(row, col, u")"_qs);
            break;
        default:
            choose(row, col, 1);
        }
        QCOMPARE(m_grid->MaxRows(), rows);
    }

    void emptyTestLocksValue_data()
    {
        QTest::addColumn<int>("compare");
        QTest::newRow("is empty") << 8;
        QTest::newRow("is not empty") << 9;
    }

    void emptyTestLocksValue()
    {
        QFETCH(int, compare);
        load(true, standardSerialDescription());
        choose(2, G::ColField, 1);
        type(2, G::ColValue, u"abc"_qs);
        choose(2, G::ColCompare, compare);
        QCOMPARE(value(2), QString());
        QVERIFY(m_grid->isLocked(2, G::ColValue));
        QVERIFY(!m_grid->setData(m_grid->index(1, G::ColValue - 1), u"x"_qs));
        choose(2, G::ColCompare, 6);
        QVERIFY(!m_grid->isLocked(2, G::ColValue));
        QCOMPARE(value(2), QString()); // unlocked, not refilled
    }

    void fieldValueFollowsItsRow_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("kept"); // the value cell after, empty when dropped
        QTest::newRow("another plain comparison keeps it") << 4 << 0 << u"比率"_qs;
        QTest::newRow("包含 takes no field") << 4 << 6 << QString();
        QTest::newRow("a text field takes no number") << 3 << 3 << QString();
        QTest::newRow("the field itself is no field to compare with") << 3 << 5 << QString();
    }

    // A field compared with a field stays only while the row's field and comparison take it.
    void fieldValueFollowsItsRow()
    {
        QFETCH(int, col);
        QFETCH(int, index);
        QFETCH(QString, kept);
        load(false, standardCommonValues(u"Items"_qs));
        choose(1, G::ColField, 1);   // 数量
        choose(1, G::ColCompare, 1); // 大于
        QVERIFY(m_grid->setData(m_grid->index(0, G::ColValue - 1), 5, G::ValueFieldRole));
        QCOMPARE(value(1), u"比率"_qs);
        choose(1, col, index);
        QCOMPARE(value(1), kept);
        QCOMPARE(m_grid->index(0, G::ColValue - 1).data(G::ValueFieldRole).isValid(),
                 !kept.isEmpty());
    }

    void hint_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("field"); // -1: none chosen
        QTest::addColumn<int>("newCol");
        QTest::addColumn<QString>("hint"); // empty: no look-up

        QTest::newRow("serial item field") << true << 2 << 5 << hintFor(u"物料"_qs);
        QTest::newRow("serial sub-message field of the entry")
            << true << 5 << 5 << hintFor(u"等级"_qs);
        QTest::newRow("serial number field") << true << 3 << 5 << QString();
        QTest::newRow("serial item field, other column") << true << 2 << 4 << QString();
        QTest::newRow("serial no field") << true << -1 << 5 << QString();
        QTest::newRow("common class 5") << false << 1 << 5 << hintFor(u"仓库"_qs);
        QTest::newRow("common class 0") << false << 4 << 5 << QString();
        QTest::newRow("common class -1000") << false << 5 << 5 << QString();
        QTest::newRow("common, other column") << false << 1 << 6 << QString();
    }

    // The hint line shows exactly while the look-up is available for the cell entered.
    void hint()
    {
        QFETCH(bool, serial);
        QFETCH(int, field);
        QFETCH(int, newCol);
        QFETCH(QString, hint);
        QString written = u"stale"_qs;
        if (serial)
            load(true, standardSerialDescription());
        else
            load(false, lookupCommonValues(u"Items"_qs));
        connect(m_cells.get(), &ValueCells::hintChanged, this,
                [&](const QString &text) { written = text; });
        m_grid->SetComboIndex(3, G::ColField, field);
        m_cells->setLookupOffered(hint.isEmpty()); // the opposite of what must come out
        m_cells->leaveCell(4, 3, newCol, 3);
        QCOMPARE(m_cells->lookupOffered(), !hint.isEmpty());
        QCOMPARE(m_cells->hint(), hint);
        QCOMPARE(written, hint);
        QCOMPARE(m_lookup.calls.size(), 0);
    }

    // Leaving a "状态" row sets its value cell up again.
    void leavingStateRowResetsValue()
    {
        load(true, serialDescription({serialField(1, u"FSTATE"_qs, u"状态"_qs, 0, 0),
                                      serialField(2, u"FQTY"_qs, u"数量"_qs, 0, 0)},
                                     {}));
        choose(1, G::ColField, 1);
        type(1, G::ColValue, u"5"_qs);
        choose(2, G::ColField, 2);
        type(2, G::ColValue, u"6"_qs);
        m_cells->leaveCell(5, 1, 5, 2);
        QCOMPARE(value(1), u"0"_qs);
        m_cells->leaveCell(5, 2, 5, 3);
        QCOMPARE(value(2), u"6"_qs);
    }

    void lookupPaths_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("lookupClass");
        QTest::addColumn<bool>("filterObject");
        QTest::addColumn<int>("getDataType"); // -1: no options handed over
        QTest::addColumn<QString>("written");

        QTest::newRow("serial item")
            << true << u"Items"_qs << 2 << u"itemlookup"_qs << 4 << false << 1 << u"名"_qs;
        QTest::newRow("serial sub-message")
            << true << u"Items"_qs << 5 << u"SubMesLookup"_qs << 7 << false << -1 << u"名"_qs;
        QTest::newRow("common by name on StorageCheck, class 5")
            << false << u"StorageCheck"_qs << 1 << u"itemlookup"_qs << 5 << false << 0
            << u"全名"_qs;
        QTest::newRow("common by name on STORAGECHECK, class 5")
            << false << u"STORAGECHECK"_qs << 1 << u"itemlookup"_qs << 5 << false << 0
            << u"全名"_qs;
        QTest::newRow("common by name on another screen")
            << false << u"Items"_qs << 1 << u"itemlookup"_qs << 5 << false << 0 << u"名"_qs;
        QTest::newRow("common by name on StorageCheck, another class, detail and filter")
            << false << u"StorageCheck"_qs << 2 << u"itemlookup"_qs << 12 << true << 1 << u"名"_qs;
        QTest::newRow("common by number on StorageCheck")
            << false << u"StorageCheck"_qs << 3 << u"itemlookup"_qs << 5 << false << 0
            << u"编号"_qs;
    }

    // F7 opens the right look-up with the right options and writes the right property.
    void lookupPaths()
    {
        QFETCH(bool, serial);
        QFETCH(QString, screen);
        QFETCH(int, field);
        QFETCH(QString, method);
        QFETCH(int, lookupClass);
        QFETCH(bool, filterObject);
        QFETCH(int, getDataType);
        QFETCH(QString, written);
        if (serial)
            load(true, standardSerialDescription(), screen);
        else
            load(false, lookupCommonValues(screen), screen);
        choose(2, G::ColField, field);
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->leaveCell(4, 2, 5, 2);
        QVERIFY(m_cells->lookupOffered());
        m_cells->keyDown(Keys::F7);

        QCOMPARE(m_lookup.calls.size(), 1);
        QCOMPARE(m_lookup.created, 1);
        const LookupScript::Call &call = m_lookup.calls.first();
        QCOMPARE(call.method, method);
        QCOMPARE(call.lookupClass, lookupClass);
        if (method == u"itemlookup"_qs) {
            QCOMPARE(call.filter.metaType() == QMetaType::fromType<KeyedValuesPtr>(), filterObject);
            if (!filterObject)
                QCOMPARE(call.filter.toString(), QString());
            QCOMPARE(call.optionKeys, (QStringList{u"GetDataType"_qs, u"Refresh"_qs}));
            QCOMPARE(call.optionValues.at(0).toInt(), getDataType);
            QCOMPARE(call.optionValues.at(0).metaType(), QMetaType::fromType<qint32>());
            QCOMPARE(call.optionValues.at(1), QVariant(true));
        }
        QCOMPARE(value(2), written);
        QCOMPARE(m_grid->GetCellText(2, G::ColValueCode), QString());
        QCOMPARE(m_alerts->shown.size(), 0);
    }

    void lookupWritesNothingWithoutChoice()
    {
        load(true, standardSerialDescription());
        choose(2, G::ColField, 2);
        type(2, G::ColValue, u"old"_qs);
        m_lookup.result.ReturnOK = false;
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->setLookupOffered(true);
        m_cells->keyDown(Keys::F7);
        QCOMPARE(m_lookup.calls.size(), 1);
        QCOMPARE(value(2), u"old"_qs);
    }

    // Serial mode: the key press that finds the look-up only switches the hint on; common
    // mode opens the look-up with the same F7.
    void firstKeyPress_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("callsAfterFirst");
        QTest::newRow("serial") << true << 0;
        QTest::newRow("common") << false << 1;
    }

    void firstKeyPress()
    {
        QFETCH(bool, serial);
        QFETCH(int, callsAfterFirst);
        if (serial)
            load(true, standardSerialDescription());
        else
            load(false, lookupCommonValues(u"Items"_qs));
        choose(2, G::ColField, serial ? 2 : 1);
        m_grid->setActiveCell(2, G::ColValue);
        QVERIFY(!m_cells->lookupOffered());
        m_cells->keyDown(Keys::F7);
        QVERIFY(m_cells->lookupOffered());
        QCOMPARE(m_cells->hint(), hintFor(serial ? u"物料"_qs : u"仓库"_qs));
        QCOMPARE(m_lookup.calls.size(), callsAfterFirst);
        m_cells->keyDown(int('A'));
        QCOMPARE(m_lookup.calls.size(), callsAfterFirst);
        m_cells->keyDown(Keys::F7);
        QCOMPARE(m_lookup.calls.size(), callsAfterFirst + 1);
    }

    // A field without a look-up: F7 shows no hint and opens nothing.
    void noLookupField()
    {
        load(true, standardSerialDescription());
        choose(2, G::ColField, 3);
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->keyDown(Keys::F7);
        m_cells->keyDown(Keys::F7);
        QVERIFY(!m_cells->lookupOffered());
        QCOMPARE(m_cells->hint(), QString());
        QCOMPARE(m_lookup.created, 0);
    }

    void lockedRow()
    {
        load(true, standardSerialDescription());
        choose(2, G::ColField, 2);
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->leaveCell(4, 2, 5, 2);
        QCOMPARE(m_cells->hint(), hintFor(u"物料"_qs));
        choose(2, G::ColCompare, 8);
        m_cells->keyDown(Keys::F7);
        QCOMPARE(m_cells->hint(), QString());
        QVERIFY(m_cells->lookupOffered()); // a locked cell does not reset it
        m_cells->lookup(2);
        QCOMPARE(m_lookup.created, 0);
        QCOMPARE(value(2), QString());
    }

    void pastedValues_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<QString>("english"); // the hint line's message in English
        // The question on these values if the look-up held none of them, in English.
        QTest::addColumn<QString>("asked");
        QTest::newRow("spreadsheet column, CR LF, trailing break")
            << u"SN1\r\nSN2\r\nSN1\r\n"_qs << QStringList{u"SN1"_qs, u"SN2"_qs} << 1
            << u"2 values, 1 repeat dropped"_qs
            << u"The look-up does not hold these 2 values:\nSN1\nSN2\nUse them all the same?"_qs;
        QTest::newRow("tabs, commas, semicolons, blanks trimmed")
            << u" a \tb,; c ;a;b"_qs << QStringList{u"a"_qs, u"b"_qs, u"c"_qs} << 2
            << u"3 values, 2 repeats dropped"_qs
            << u"The look-up does not hold these 3 values:\na\nb\nc\nUse them all the same?"_qs;
        QTest::newRow("blanks inside kept, repeats after trimming")
            << u"x y\n x y \n\n"_qs << QStringList{u"x y"_qs} << 1
            << u"1 value, 1 repeat dropped"_qs
            << u"The look-up does not hold this value:\nx y\nUse it all the same?"_qs;
        QTest::newRow("one value, two repeats")
            << u"x\nx\nx"_qs << QStringList{u"x"_qs} << 2 << u"1 value, 2 repeats dropped"_qs
            << u"The look-up does not hold this value:\nx\nUse it all the same?"_qs;
        QTest::newRow("case differs: two values")
            << u"A\ra"_qs << QStringList{u"A"_qs, u"a"_qs} << 0 << u"2 values, 0 repeats dropped"_qs
            << u"The look-up does not hold these 2 values:\nA\na\nUse them all the same?"_qs;
        QTest::newRow("nothing but separators")
            << u",;\t\r\n "_qs << QStringList{} << 0 << u"0 values, 0 repeats dropped"_qs
            << u"The look-up does not hold these 0 values:\n\nUse them all the same?"_qs;
    }

    // A pasted column must become the list the user sees counted, in its order.
    void pastedValues()
    {
        QFETCH(QString, pasted);
        QFETCH(QStringList, values);
        QFETCH(int, duplicates);
        QFETCH(QString, english);
        QFETCH(QString, asked);
        const PastedValues split = splitPastedValues(pasted);
        QCOMPARE(split.values, values);
        QCOMPARE(split.duplicates, duplicates);
        QCOMPARE(split.message(), QString::number(values.size()) + u" 个值，去除重复 "_qs +
                                      QString::number(duplicates) + u" 个"_qs);
        ContextStore::setPropsString(u"LANGUAGE=en;"_qs);
        Language::reload();
        const auto chinese = qScopeGuard([] {
            ContextStore::clear();
            Language::reload();
        });
        QCOMPARE(split.message(), english);
        QCOMPARE(unknownValuesQuestion(split.values), asked);
    }

    void lookupValueLineBreaks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("tab") << u"A\tB"_qs << u"A B"_qs;
        QTest::newRow("cr lf") << u"A\r\nB"_qs << u"A  B"_qs;
        QTest::newRow("lone lf at the end") << u"A\n"_qs << u"A "_qs;
        QTest::newRow("quote kept") << u"O'Neil"_qs << u"O'Neil"_qs;
    }

    // A look-up value holding TAB, CR or LF would split the row in a saved scheme.
    void lookupValueLineBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        load(true, standardSerialDescription());
        choose(2, G::ColField, 5);
        m_lookup.result.ReturnObject.Name = name;
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->setLookupOffered(true);
        m_cells->keyDown(Keys::F7);
        QCOMPARE(value(2), written);
        m_grid->SelectBlock(2, 2, 1, 7);
        QCOMPARE(m_grid->blockText().count(u'\t'), 6);
        QVERIFY(!m_grid->blockText().contains(u'\n'));
    }

    void lookupFailures_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("message");
        QTest::newRow("look-up throws") << 0 << u"查找窗口出错"_qs;
        QTest::newRow("no look-up window") << 1 << Texts::noLookupWindow();
        QTest::newRow("factory throws") << 2 << u"cannot start"_qs;
    }

    // A failing or missing look-up gives one alert and leaves the dialog usable.
    void lookupFailures()
    {
        QFETCH(int, how);
        QFETCH(QString, message);
        load(true, standardSerialDescription());
        choose(2, G::ColField, 2);
        type(2, G::ColValue, u"old"_qs);
        auto &registry = ComponentRegistry::instance();
        if (how == 0)
            m_lookup.throwing = true;
        else if (how == 1)
            registry.unregisterFactory(ComponentId::lookupWindow());
        else
            registry.registerFactory(ComponentId::lookupWindow(), []() -> ComponentPtr {
                throw std::runtime_error("cannot start");
            });
        m_grid->setActiveCell(2, G::ColValue);
        m_cells->setLookupOffered(true);
        m_cells->keyDown(Keys::F7);
        QCOMPARE(m_alerts->shown.size(), 1);
        QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
        QVERIFY2(m_alerts->shown.first().message.contains(message),
                 qPrintable(m_alerts->shown.first().message));
        QCOMPARE(value(2), u"old"_qs);

        // Still usable: a working look-up afterwards writes its value.
        m_lookup.throwing = false;
        registry.registerFactory(ComponentId::lookupWindow(),
                                 [this] { return std::make_shared<ScriptedLookup>(m_lookup); });
        m_cells->keyDown(Keys::F7);
        QCOMPARE(value(2), u"名"_qs);
        QCOMPARE(m_alerts->shown.size(), 1);
    }
};

QTEST_MAIN(tst_ValueCells)
#include "tst_valuecells.moc"
