// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The field list: which host fields are offered, FieldIDs, the serial screen identifier, the
// localized comparison and logic lists, and the way back from a list position.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "testsupport/descriptions.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>

#include <QTest>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

using Fields = QList<KeyedValuesPtr>;

KeyedValuesPtr field(int id, const QString &column, const QString &name, int preDefine = 0)
{
    return serialField(id, column, name, preDefine, 1);
}

QStringList withNone(const QStringList &captions)
{
    return QStringList{u"(无)"_qs} + captions;
}

/// Answers every look-up with a marked text, so a test sees which texts were localized.
class MarkingLoader : public ResourceLoaderComponent
{
public:
    explicit MarkingLoader(int &secondCalls)
        : m_secondCalls(secondCalls)
    {}
    void setResFileBaseName(const QString &) override {}
    void setLanguageID(const QString &) override {}
    QString LoadString(const QString &key) override { return key; }
    QString LoadString2(const QString &key) override
    {
        ++m_secondCalls;
        return u'<' + key + u'>';
    }

private:
    int &m_secondCalls;
};

} // namespace

Q_DECLARE_METATYPE(Fields)

class tst_FieldList : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedAlerts> m_alerts;
    HostFields m_state;
    std::unique_ptr<ConditionGrid> m_grid;

private Q_SLOTS:
    void init()
    {
        Testing::freshProcessState();
        m_alerts = ScriptedAlerts::install();
        m_state = HostFields();
        m_state.ScreenID = u"HostScreen"_qs;
        m_grid = std::make_unique<ConditionGrid>();
    }

    void cleanup()
    {
        nxAlert::setPresenter(nullptr);
        Testing::freshProcessState();
    }

    void listingRules_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<Fields>("header"); // common mode: the field list
        QTest::addColumn<Fields>("entry");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("fieldIds");

        const auto common = [](const QString &caption) {
            return commonField(caption, 200, u"t."_qs + caption);
        };
        QTest::newRow("serial: empty groups")
            << true << Fields{} << Fields{} << withNone({}) << QStringList{QString()};
        QTest::newRow("serial: one header and one entry field")
            << true << Fields{field(7, u"FA"_qs, u"A"_qs)} << Fields{field(9, u"FB"_qs, u"B"_qs)}
            << withNone({u"A"_qs, u"B"_qs}) << QStringList{QString(), u"7"_qs, u"9"_qs};
        QTest::newRow("serial: header serial number listed though predefined")
            << true
            << Fields{field(1, u"FSerialNum"_qs, u"序列号"_qs, 1),
                      field(2, u"FQTY"_qs, u"数量"_qs, 1)}
            << Fields{} << withNone({u"序列号"_qs}) << QStringList{QString(), u"1"_qs};
        QTest::newRow("serial: status and valid never, in any case")
            << true
            << Fields{field(1, u"fStatus"_qs, u"状态"_qs), field(2, u"FVALID"_qs, u"有效"_qs),
                      field(3, u"FX"_qs, u"X"_qs)}
            << Fields{field(4, u"FSTATUS"_qs, u"状态2"_qs, 1), field(5, u"fvalid"_qs, u"有效2"_qs)}
            << withNone({u"X"_qs}) << QStringList{QString(), u"3"_qs};
        QTest::newRow("serial: serial id listed in header, not in entry")
            << true << Fields{field(1, u"FSERIALID"_qs, u"内码"_qs)}
            << Fields{field(2, u"fSerialID"_qs, u"内码2"_qs)} << withNone({u"内码"_qs})
            << QStringList{QString(), u"1"_qs};
        QTest::newRow("serial: entry fields listed whatever their predefine")
            << true << Fields{}
            << Fields{field(3, u"FE"_qs, u"E"_qs, 1), field(4, u"FF"_qs, u"F"_qs, 0)}
            << withNone({u"E"_qs, u"F"_qs}) << QStringList{QString(), u"3"_qs, u"4"_qs};
        QTest::newRow("serial: same identifier in both groups listed twice")
            << true << Fields{field(5, u"FH"_qs, u"头"_qs)} << Fields{field(5, u"FE"_qs, u"体"_qs)}
            << withNone({u"头"_qs, u"体"_qs}) << QStringList{QString(), u"5"_qs, u"5"_qs};
        QTest::newRow("serial: equal captions both listed")
            << true << Fields{field(1, u"FA"_qs, u"同"_qs), field(2, u"FB"_qs, u"同"_qs)}
            << Fields{} << withNone({u"同"_qs, u"同"_qs})
            << QStringList{QString(), u"1"_qs, u"2"_qs};
        QTest::newRow("common: captions in order, no FieldIDs")
            << false << Fields{common(u"数量"_qs), common(u"名称"_qs), common(u"数量"_qs)}
            << Fields{} << withNone({u"数量"_qs, u"名称"_qs, u"数量"_qs}) << QStringList{};
        // A TAB or line break in a host's caption would split the list and shift every later
        // field against its FieldIDs entry.
        QTest::newRow("serial: caption with TAB and line break stays one item")
            << true << Fields{field(1, u"FA"_qs, u"A\tB"_qs), field(2, u"FB"_qs, u"C\r\nD"_qs)}
            << Fields{} << withNone({u"A B"_qs, u"C  D"_qs})
            << QStringList{QString(), u"1"_qs, u"2"_qs};
        QTest::newRow("common: caption with TAB stays one item")
            << false << Fields{common(u"X\tY"_qs), common(u"Z"_qs)} << Fields{}
            << withNone({u"X Y"_qs, u"Z"_qs}) << QStringList{};
        QTest::newRow("common: no fields")
            << false << Fields{} << Fields{} << withNone({}) << QStringList{};
    }

    void listingRules()
    {
        QFETCH(bool, serial);
        QFETCH(Fields, header);
        QFETCH(Fields, entry);
        QFETCH(QStringList, items);
        QFETCH(QStringList, fieldIds);
        m_state.SerialUse = serial;
        if (serial)
            m_state.SerialDesc = serialDescription(header, entry, 12);
        else
            m_state.CommonField = commonValues(header, u"Items"_qs);
        Testing::setFields(m_state, *m_grid);
        QCOMPARE(m_alerts->shown.size(), 0);
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColField), items);
        QCOMPARE(m_state.FieldIDs, fieldIds);
        QCOMPARE(m_state.ScreenID, serial ? u"Serial_12"_qs : u"HostScreen"_qs);
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColCompare), Vocabulary::compareItems());
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColLogic), Vocabulary::logicItems());
        QVERIFY(!m_grid->blockMode());
    }

    void screenIdentifier_data()
    {
        QTest::addColumn<QVariant>("serialClass");
        QTest::addColumn<QString>("screenId");
        QTest::newRow("number") << QVariant(12) << u"Serial_12"_qs;
        QTest::newRow("text") << QVariant(u"7"_qs) << u"Serial_7"_qs;
        QTest::newRow("absent") << QVariant() << u"Serial_"_qs;
    }

    void screenIdentifier()
    {
        QFETCH(QVariant, serialClass);
        QFETCH(QString, screenId);
        m_state.SerialUse = true;
        m_state.SerialDesc = serialDescription({}, {}, serialClass);
        Testing::setFields(m_state, *m_grid);
        QCOMPARE(m_state.ScreenID, screenId);
    }

    // Serial mode without a description: the notice alone, and nothing else changes.
    void missingDescription()
    {
        m_state.SerialUse = true;
        m_state.FieldIDs = QStringList{u"old"_qs};
        Testing::setFields(m_state, *m_grid);
        QCOMPARE(m_alerts->shown.size(), 1);
        QCOMPARE(m_alerts->shown.first().message, u"缺少序列号描述数据"_qs);
        QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
        QCOMPARE(m_state.ScreenID, u"HostScreen"_qs);
        QCOMPARE(m_state.FieldIDs, QStringList{u"old"_qs});
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColField), QStringList{});
    }

    void failures_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<KeyedValuesPtr>("values");
        QTest::addColumn<QStringList>("fieldIds");

        KeyedValuesPtr noHeader = KeyedValues::create();
        noHeader->set(u"Entry"_qs, QVariant::fromValue(DescriptionGroup::create({})));
        QTest::newRow("serial: no Header group") << true << noHeader << QStringList{QString()};

        KeyedValuesPtr entryText = serialDescription({field(1, u"FA"_qs, u"A"_qs)}, {});
        entryText->set(u"Entry"_qs, u"not a group"_qs);
        QTest::newRow("serial: Entry is no group, FieldIDs as far as they got")
            << true << entryText << QStringList{QString(), u"1"_qs};

        KeyedValuesPtr objectId = field(1, u"FA"_qs, u"A"_qs);
        objectId->set(u"FPropID"_qs, QVariant::fromValue(KeyedValues::create()));
        QTest::newRow("serial: identifier that is no text")
            << true << serialDescription({objectId}, {}) << QStringList{QString()};

        QTest::newRow("common: no common values") << false << KeyedValuesPtr() << QStringList{};
        QTest::newRow("common: no Fields list") << false << KeyedValues::create() << QStringList{};
        KeyedValuesPtr plainItem = commonValues({}, u"Items"_qs);
        plainItem->set(u"Fields"_qs, QVariant::fromValue(ValueList::create({u"text"_qs})));
        QTest::newRow("common: a field that is no record") << false << plainItem << QStringList{};
    }

    // A failure ends the listing with one alert; the lists stay as designed, the dialog loads on.
    void failures()
    {
        QFETCH(bool, serial);
        QFETCH(KeyedValuesPtr, values);
        QFETCH(QStringList, fieldIds);
        m_state.SerialUse = serial;
        (serial ? m_state.SerialDesc : m_state.CommonField) = values;
        Testing::setFields(m_state, *m_grid);
        QCOMPARE(m_alerts->shown.size(), 1);
        QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
        QVERIFY(!m_alerts->shown.first().message.isEmpty());
        QCOMPARE(m_state.FieldIDs, fieldIds);
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColField), QStringList{});
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColCompare), Vocabulary::compareItems());
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColLogic), Vocabulary::logicItems());
    }

    void localization_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("translated");
        QTest::newRow("english") << u"en"_qs << true;
        QTest::newRow("chs") << u"chs"_qs << false;
        QTest::newRow("CHS") << u"CHS"_qs << false;
    }

    // Comparison and logic items are localized in place; field captions never are.
    void localization()
    {
        QFETCH(QString, language);
        QFETCH(bool, translated);
        int secondCalls = 0;
        ComponentRegistry::instance().registerFactory(ComponentId::resourceLoader(), [&] {
            return std::make_shared<MarkingLoader>(secondCalls);
        });
        ContextStore::setPropsString(u"LANGUAGE="_qs + language + u';');
        m_state.SerialUse = true;
        m_state.SerialDesc = standardSerialDescription();
        m_grid->SetComboIndex(2, ConditionGrid::ColCompare, 9);
        Testing::setFields(m_state, *m_grid);

        QStringList compare = Vocabulary::compareItems();
        QStringList logic = Vocabulary::logicItems();
        if (translated) {
            for (QString &item : compare)
                item = u'<' + item + u'>';
            for (QString &item : logic)
                item = u'<' + item + u'>';
        }
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColCompare), compare);
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColLogic), logic);
        QCOMPARE(secondCalls, translated ? int(compare.size() + logic.size()) : 0);
        QCOMPARE(m_grid->columnItems(ConditionGrid::ColField).at(2), u"物料"_qs);
        // Indexes stay valid: a chosen comparison is still the same word.
        QCOMPARE(m_grid->GetComboIndex(2, ConditionGrid::ColCompare), 9);
        QCOMPARE(m_grid->GetCellText(2, ConditionGrid::ColCompare), compare.at(9));
    }

    void findFieldDescriptor_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name"); // empty: none found

        QTest::newRow("header field") << 1 << u"A"_qs;
        QTest::newRow("entry field") << 2 << u"B"_qs;
        QTest::newRow("same identifier: header wins for the entry position") << 3 << u"A"_qs;
        QTest::newRow("identifier with trailing text matches by its number") << 4 << u"C"_qs;
        QTest::newRow("none listed at 0 without an identifier 0") << 0 << QString();
    }

    void findFieldDescriptor()
    {
        QFETCH(int, position);
        QFETCH(QString, name);
        KeyedValuesPtr c = field(8, u"FC"_qs, u"C"_qs);
        c->set(u"FPropID"_qs, u" 8kg"_qs);
        m_state.SerialUse = true;
        m_state.SerialDesc =
            serialDescription({field(7, u"FA"_qs, u"A"_qs)},
                              {field(9, u"FB"_qs, u"B"_qs), field(7, u"FA2"_qs, u"A2"_qs), c});
        Testing::setFields(m_state, *m_grid);
        const KeyedValuesPtr d =
            FieldList::FindFieldDescriptor(m_state, m_grid->catalog(), position);
        QCOMPARE(d ? Values::toText(d->get(u"FPropname"_qs)) : QString(), name);
    }

    void findFieldDescriptorOutsideTheList()
    {
        m_state.SerialUse = true;
        m_state.SerialDesc = standardSerialDescription();
        Testing::setFields(m_state, *m_grid);
        QVERIFY_THROWS_EXCEPTION(FilterError,
                                 FieldList::FindFieldDescriptor(m_state, m_grid->catalog(),
                                                                int(m_state.FieldIDs.size())));
    }
};

QTEST_GUILESS_MAIN(tst_FieldList)
#include "tst_fieldlist.moc"
