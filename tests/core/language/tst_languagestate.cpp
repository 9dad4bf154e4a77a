// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The context property parser and the language look-up.

#include "core/conditions/vocabulary.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "testsupport/processstate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

#include <QTest>

using namespace NxSerialFilter;

namespace {

/// A loader that records what it was asked and answers with a marked text.
class RecordingLoader : public ResourceLoaderComponent
{
public:
    struct Log
    {
        int created = 0;
        QStringList calls;
        QString language;
        QString baseName;
        bool throwing = false;
        bool foreign = false; // throws what is no std::exception, as a host's code may
    };
    explicit RecordingLoader(Log &log)
        : m_log(log)
    {
        ++m_log.created;
    }
    void setResFileBaseName(const QString &name) override { m_log.baseName = name; }
    void setLanguageID(const QString &language) override { m_log.language = language; }
    QString LoadString(const QString &key) override { return answer(QStringLiteral("1:"), key); }
    QString LoadString2(const QString &key) override { return answer(QStringLiteral("2:"), key); }

private:
    QString answer(const QString &which, const QString &key)
    {
        m_log.calls.append(which + key);
        if (m_log.foreign)
            throw 42;
        if (m_log.throwing)
            throw std::runtime_error("loader failed");
        return u'[' + which + key + u']';
    }
    Log &m_log;
};

/// A store whose fetch always fails.
class FailingStore : public ContextStoreComponent
{
public:
    QVariant GetProperty(qint64 &, QString &) override { throw std::runtime_error("no store"); }
};

} // namespace

class tst_LanguageState : public QObject
{
    Q_OBJECT

private:
    RecordingLoader::Log m_log;

    void useRecordingLoader()
    {
        ComponentRegistry::instance().registerFactory(ComponentId::resourceLoader(), [this] {
            return std::make_shared<RecordingLoader>(m_log);
        });
    }

private Q_SLOTS:
    void init()
    {
        Testing::freshProcessState();
        m_log = RecordingLoader::Log();
    }

    void propValue_data()
    {
        QTest::addColumn<QString>("props");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("keys ignore case, values keep theirs")
            << QStringLiteral("language=chs;") << QStringLiteral("LANGUAGE")
            << QStringLiteral("chs");
        QTest::newRow("no final semicolon")
            << QStringLiteral("A=1;SUBID=12") << QStringLiteral("SUBID") << QStringLiteral("12");
        QTest::newRow("empty value")
            << QStringLiteral("SUBID=;") << QStringLiteral("SUBID") << QString();
        QTest::newRow("value holding =")
            << QStringLiteral("SUBID=a=b;") << QStringLiteral("SUBID") << QStringLiteral("a=b");
        QTest::newRow("no trimming") << QStringLiteral("LANGUAGE= chs;")
                                     << QStringLiteral("LANGUAGE") << QStringLiteral(" chs");
        QTest::newRow("blank before =")
            << QStringLiteral("LANGUAGE = chs;") << QStringLiteral("LANGUAGE") << QString();
        QTest::newRow("inside a longer key") << QStringLiteral("XSUBID=1;SUBID=2;")
                                             << QStringLiteral("SUBID") << QStringLiteral("1");
        QTest::newRow("inside an earlier value") << QStringLiteral("A=SUBID=3;SUBID=4;")
                                                 << QStringLiteral("SUBID") << QStringLiteral("3");
        QTest::newRow("empty string") << QString() << QStringLiteral("SUBID") << QString();
        QTest::newRow("no = at all")
            << QStringLiteral("garbage without pairs") << QStringLiteral("SUBID") << QString();
        QTest::newRow("key at the very end")
            << QStringLiteral("A=1;SUBID=") << QStringLiteral("SUBID") << QString();
        QTest::newRow("CJK value")
            << QStringLiteral("NAME=青梧;") << QStringLiteral("name") << QStringLiteral("青梧");
    }

    void propValue()
    {
        QFETCH(QString, props);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        ContextStore::setPropsString(props);
        QCOMPARE(HostContext::property(key), expected);
    }

    void propValueSurvivesHugeAndMissingStores()
    {
        ContextStore::setPropsString(QString(1 << 20, u'x') + QStringLiteral(";SUBID=7"));
        QCOMPARE(HostContext::property(QStringLiteral("SUBID")), QStringLiteral("7"));

        ComponentRegistry::instance().unregisterFactory(ComponentId::contextStore());
        QCOMPARE(HostContext::property(QStringLiteral("SUBID")), QString());
        QVERIFY_THROWS_EXCEPTION(std::exception, HostContext::propsString());

        ComponentRegistry::instance().registerFactory(
            ComponentId::contextStore(), [] { return std::make_shared<FailingStore>(); });
        QCOMPARE(HostContext::property(QStringLiteral("SUBID")), QString());
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("viaLoadString");
        QTest::addColumn<QString>("viaLoadString2");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("spaces trimmed")
            << QStringLiteral("en") << QStringLiteral("  过滤 ") << QStringLiteral("[1:过滤]")
            << QStringLiteral("[2:过滤]")
            << QStringList{QStringLiteral("1:过滤"), QStringLiteral("2:过滤")};
        QTest::newRow("empty key") << QStringLiteral("en") << QString() << QString()
                                   << QStringLiteral("[2:]") << QStringList{QStringLiteral("2:")};
        QTest::newRow("marker without separator goes whole")
            << QStringLiteral("en") << QStringLiteral("~$~数值") << QStringLiteral("[1:~$~数值]")
            << QStringLiteral("[2:~$~数值]")
            << QStringList{QStringLiteral("1:~$~数值"), QStringLiteral("2:~$~数值")};
        QTest::newRow("composite")
            << QStringLiteral("en") << QStringLiteral("~$~数值^|^：")
            << QStringLiteral("[1:数值]：") << QStringLiteral("[1:数值]：")
            << QStringList{QStringLiteral("1:数值"), QStringLiteral("1:数值")};
        QTest::newRow("separator at the end adds nothing")
            << QStringLiteral("en") << QStringLiteral("~$~数值^|^") << QStringLiteral("[1:数值]")
            << QStringLiteral("[1:数值]")
            << QStringList{QStringLiteral("1:数值"), QStringLiteral("1:数值")};
        QTest::newRow("CHS passes through the second look-up")
            << QStringLiteral("CHS") << QStringLiteral("方案名称 ")
            << QStringLiteral("[1:方案名称]") << QStringLiteral("方案名称")
            << QStringList{QStringLiteral("1:方案名称")};
        QTest::newRow("chs composite still translates marked pieces")
            << QStringLiteral("chs") << QStringLiteral("a^|^~$~b") << QStringLiteral("a[1:b]")
            << QStringLiteral("a[1:b]")
            << QStringList{QStringLiteral("1:b"), QStringLiteral("1:b")};
    }

    void lookup()
    {
        QFETCH(QString, language);
        QFETCH(QString, key);
        QFETCH(QString, viaLoadString);
        QFETCH(QString, viaLoadString2);
        QFETCH(QStringList, calls);
        useRecordingLoader();
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + language + u';');
        QCOMPARE(Language::text(key), viaLoadString);
        QCOMPARE(Language::designText(key), viaLoadString2);
        QCOMPARE(m_log.calls, calls);
        QCOMPARE(m_log.baseName, QStringLiteral("NxINDUSTRY"));
    }

    void chsSecondLookupCreatesNoLoader()
    {
        useRecordingLoader();
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=CHS;"));
        QCOMPARE(Language::designText(QStringLiteral("方案名称 ")), QStringLiteral("方案名称"));
        QCOMPARE(m_log.created, 0);
        QCOMPARE(Language::cachedCode(), QString()); // the second look-up never caches
        Language::text(QStringLiteral("方案名称 "));
        QCOMPARE(m_log.created, 1);
    }

    void languageIsCachedOnceFound()
    {
        useRecordingLoader();
        Language::text(QStringLiteral("过滤"));
        QCOMPARE(m_log.language, QString()); // no LANGUAGE yet: asked again next time
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=en;"));
        Language::text(QStringLiteral("过滤"));
        QCOMPARE(m_log.language, QStringLiteral("en"));
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=fr;"));
        Language::text(QStringLiteral("过滤"));
        QCOMPARE(m_log.language, QStringLiteral("en")); // cached: a later change is not seen
        QCOMPARE(m_log.created, 1);                     // one loader, reused
    }

    void failingLoaderYieldsTheKey()
    {
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=en;"));
        useRecordingLoader();
        m_log.throwing = true;
        QCOMPARE(Language::text(QStringLiteral(" 过滤 ")), QStringLiteral("过滤"));
        QCOMPARE(Language::designText(QStringLiteral(" 过滤 ")), QStringLiteral("过滤"));
        // The condition words of another language: whatever the loader throws, the words
        // stay as designed instead of the failure leaving the dialog.
        for (const bool foreign : {false, true}) {
            m_log.foreign = foreign;
            QCOMPARE(Vocabulary::translated(QStringLiteral("过滤"), QStringLiteral("en")),
                     QStringLiteral("过滤"));
            QCOMPARE(Vocabulary::WordBook(QStringLiteral("en")).noField(), Texts::noField());
            QCOMPARE(Vocabulary::inShippedLanguages({QStringLiteral("过滤")}).size(), 1);
        }
        m_log.foreign = false;

        // A loader that cannot be created fails before the trimming: the key as given.
        Language::reload();
        ComponentRegistry::instance().unregisterFactory(ComponentId::resourceLoader());
        QCOMPARE(Language::text(QStringLiteral(" 过滤 ")), QStringLiteral(" 过滤 "));
        QCOMPARE(Language::designText(QStringLiteral(" 过滤 ")), QStringLiteral(" 过滤 "));
        ComponentRegistry::instance().registerFactory(
            ComponentId::resourceLoader(),
            []() -> ComponentPtr { throw std::runtime_error("cannot load"); });
        QCOMPARE(Language::text(QStringLiteral("过滤")), QStringLiteral("过滤"));
    }

    void defaultLoaderTranslatesAndFallsBack()
    {
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=en;"));
        const QString english = Language::text(QStringLiteral("过滤条件"));
        QVERIFY(!english.isEmpty());
        QVERIFY(english != QStringLiteral("过滤条件"));
        QCOMPARE(Language::text(QStringLiteral("没有的键")), QStringLiteral("没有的键"));
        Language::reload();
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=xx;"));
        QCOMPARE(Language::text(QStringLiteral("过滤条件")), QStringLiteral("过滤条件"));
    }
};

QTEST_MAIN(tst_LanguageState)
#include "tst_languagestate.moc"
