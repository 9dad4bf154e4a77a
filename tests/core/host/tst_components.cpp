// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The registry of outside components, the leading-number parser and keyed values.

#include "core/text/leadingnumber.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/keyedvalues.h>

#include <QTest>

using namespace NxSerialFilter;

namespace {
class Probe : public ContextStoreComponent
{
public:
    QVariant GetProperty(qint64 &, QString &) override { return QStringLiteral("probe"); }
};
} // namespace

class tst_Components : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { ComponentRegistry::instance().restoreDefaults(); }

    void identifiersIgnoreCase_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::newRow("as registered") << QStringLiteral("ContextProps.Store");
        QTest::newRow("lower") << QStringLiteral("contextprops.store");
        QTest::newRow("mixed") << QStringLiteral("CONTEXTprops.sTore");
    }

    void identifiersIgnoreCase()
    {
        QFETCH(QString, identifier);
        auto &registry = ComponentRegistry::instance();
        registry.registerFactory(QStringLiteral("contextprops.STORE"),
                                 [] { return std::make_shared<Probe>(); });
        auto store = registry.create<ContextStoreComponent>(identifier);
        qint64 pid = 0;
        QString key;
        QCOMPARE(store->GetProperty(pid, key).toString(), QStringLiteral("probe"));
    }

    void defaultsAndFailures()
    {
        auto &registry = ComponentRegistry::instance();
        // The layers above file their own defaults (form fonts, help, the Filter itself).
        for (const QString &id : {ComponentId::contextStore(), ComponentId::resourceLoader()})
            QVERIFY2(registry.isRegistered(id), qPrintable(id));
        QVERIFY(!registry.isRegistered(ComponentId::lookupWindow())); // hosts bring their own

        try {
            registry.create(ComponentId::lookupWindow());
            QFAIL("a missing component must fail");
        } catch (const FilterError &e) {
            QCOMPARE(e.number(), int(ErrorNumber::ComponentMissing));
            QVERIFY(e.description().contains(ComponentId::lookupWindow()));
        }
        registry.registerFactory(QStringLiteral("X.Y"),
                                 []() -> ComponentPtr { throw std::runtime_error("boom"); });
        QVERIFY_THROWS_EXCEPTION(FilterError, registry.create(QStringLiteral("x.y")));
        registry.registerFactory(QStringLiteral("X.Y"), [] { return ComponentPtr(); });
        QVERIFY_THROWS_EXCEPTION(FilterError, registry.create(QStringLiteral("X.Y")));
        // Asking for the wrong interface is a failure, not a crash.
        QVERIFY_THROWS_EXCEPTION(
            FilterError, registry.create<ResourceLoaderComponent>(ComponentId::contextStore()));
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("sql");
        QTest::newRow("unit after the number")
            << QStringLiteral("12.50kg") << 12.5 << QStringLiteral("12.5");
        QTest::newRow("empty") << QString() << 0.0 << QStringLiteral("0");
        QTest::newRow("letters") << QStringLiteral("abc") << 0.0 << QStringLiteral("0");
        QTest::newRow("leading blanks") << QStringLiteral("  7") << 7.0 << QStringLiteral("7");
        QTest::newRow("negative") << QStringLiteral("-10") << -10.0 << QStringLiteral("-10");
        QTest::newRow("fraction only") << QStringLiteral(".5") << 0.5 << QStringLiteral("0.5");
        QTest::newRow("a 9 after the point")
            << QStringLiteral("0.9") << 0.9 << QStringLiteral("0.9");
        QTest::newRow("9s after the point")
            << QStringLiteral("1.99") << 1.99 << QStringLiteral("1.99");
        QTest::newRow("sign only") << QStringLiteral("-") << 0.0 << QStringLiteral("0");
        QTest::newRow("exponent") << QStringLiteral("1e3x") << 1000.0 << QStringLiteral("1000");
        QTest::newRow("e without digits") << QStringLiteral("2e") << 2.0 << QStringLiteral("2");
        QTest::newRow("sql injection text")
            << QStringLiteral("1 OR 1=1") << 1.0 << QStringLiteral("1");
        QTest::newRow("comment") << QStringLiteral("1--") << 1.0 << QStringLiteral("1");
        QTest::newRow("huge") << QStringLiteral("1e400") << 1.7976931348623157e308
                              << QStringLiteral("1.7976931348623157e+308");
        QTest::newRow("full-width digits are not digits")
            << QStringLiteral("１２") << 0.0 << QStringLiteral("0");
        QTest::newRow("minus zero") << QStringLiteral("-0") << 0.0 << QStringLiteral("0");
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(QString, sql);
        QCOMPARE(Numbers::leadingNumber(text), number);
        QCOMPARE(Numbers::sqlNumber(Numbers::leadingNumber(text)), sql);
    }

    void leadingInt()
    {
        QCOMPARE(Numbers::leadingInt(u"2.5"), 2); // half to even
        QCOMPARE(Numbers::leadingInt(u"3.5"), 4);
        QCOMPARE(Numbers::leadingInt(u"-10abc"), -10);
        QCOMPARE(Numbers::leadingInt(u"99999999999"), std::numeric_limits<qint32>::max());
    }

    void keyedValuesIgnoreCase()
    {
        KeyedValuesPtr values = KeyedValues::create();
        values->set(QStringLiteral("FSysDataType"), 3);
        QCOMPARE(values->get(QStringLiteral("FSysDatatype")).toInt(), 3);
        values->set(QStringLiteral("fsysdatatype"), 4);
        QCOMPARE(values->count(), 1);
        QCOMPARE(values->keys(), QStringList{QStringLiteral("FSysDataType")});
        QVERIFY(!values->get(QStringLiteral("absent")).isValid());
        QCOMPARE(values->GetWithDefault(QStringLiteral("absent"), 5).toInt(), 5);
    }

    void groupsAndListsCheckTheirBounds()
    {
        auto group = DescriptionGroup::create({KeyedValues::create()}, 1);
        QCOMPARE(group->LBound(), 1);
        QCOMPARE(group->UBound(), 1);
        QVERIFY_THROWS_EXCEPTION(FilterError, group->Item(0));
        QVERIFY_THROWS_EXCEPTION(FilterError, group->Item(2));
        auto empty = DescriptionGroup::create();
        QVERIFY(empty->UBound() < empty->LBound());
        auto list = ValueList::create({1, 2});
        QCOMPARE(list->item(2).toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(FilterError, list->item(0));
        QVERIFY_THROWS_EXCEPTION(FilterError, list->item(3));
    }

    void json()
    {
        const KeyedValuesPtr serial =
            DescriptionJson::parse(R"({"SerialUse": true, "SerialclassID": 12,
            "Header": [{"fpropid": 1, "FSQLColumnName": "FSERIALNUM", "FDataType": "1"}],
            "Entry": []})");
        QVERIFY(DescriptionJson::serialUse(serial));
        const auto header =
            Values::toGroup(serial->get(QStringLiteral("header")), QStringLiteral("Header"));
        QCOMPARE(header->LBound(), 0);
        QCOMPARE(Values::toText(header->Item(0)->get(QStringLiteral("FPropID"))),
                 QStringLiteral("1"));
        QCOMPARE(Values::toText(serial->get(QStringLiteral("SerialclassID"))),
                 QStringLiteral("12"));

        const KeyedValuesPtr common =
            DescriptionJson::parse(R"({"SerialUse": false, "ScreenID": "StorageCheck",
            "Fields": [{"Caption": "数量", "DataType": 3, "Filter": {"Lookup": false}}]})");
        QVERIFY(!DescriptionJson::serialUse(common));
        const auto fields =
            Values::toValueList(common->get(QStringLiteral("Fields")), QStringLiteral("Fields"));
        QCOMPARE(fields->count(), 1);
        const auto field = Values::toKeyedValues(fields->item(1), QStringLiteral("Fields"));
        QCOMPARE(Values::toText(field->get(QStringLiteral("caption"))), QStringLiteral("数量"));
        QVERIFY(Values::isObject(field->get(QStringLiteral("Filter"))));

        QVERIFY_THROWS_EXCEPTION(FilterError, DescriptionJson::parse("{not json"));
        QVERIFY_THROWS_EXCEPTION(FilterError, DescriptionJson::parse("[1, 2]"));
    }
};

QTEST_MAIN(tst_Components)
#include "tst_components.moc"
