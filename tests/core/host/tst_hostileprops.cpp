// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Property strings that a host, or whatever wrote into its store, may hand over corrupt: huge,
// with NUL characters, lone surrogates, look-alike keys and stray separators.

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "testsupport/processstate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/keyedvalues.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

using namespace NxSerialFilter;

namespace {

const QString mega(1 << 20, u'x');

/// All the code units of a literal, NUL characters included.
template <qsizetype N> QString units(const char16_t (&text)[N])
{
    return QString(reinterpret_cast<const QChar *>(text), N - 1);
}

/// A store that answers with whatever the test put there, objects included.
class AnsweringStore : public ContextStoreComponent
{
public:
    explicit AnsweringStore(QVariant answer)
        : m_answer(std::move(answer))
    {}
    QVariant GetProperty(qint64 &, QString &) override { return m_answer; }

private:
    QVariant m_answer;
};

} // namespace

class tst_HostileProps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Testing::freshProcessState(); }

    void cleanup() { init(); }

    void propValue_data()
    {
        QTest::addColumn<QString>("props");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("1 MB, key first") << QStringLiteral("SUBID=7;F=") + mega
                                         << QStringLiteral("SUBID") << QStringLiteral("7");
        QTest::newRow("1 MB, key last without ;")
            << QStringLiteral("F=") + mega + QStringLiteral(";subid=8") << QStringLiteral("SUBID")
            << QStringLiteral("8");
        QTest::newRow("1 MB, key absent")
            << QStringLiteral("F=") + mega << QStringLiteral("SUBID") << QString();
        QTest::newRow("1 MB value is taken whole")
            << QStringLiteral("A=1;SUBID=") + mega << QStringLiteral("SUBID") << mega;

        static constexpr char16_t nulValue[] = u"SUBID=1\0002;";
        QTest::newRow("NUL inside the value is kept")
            << units(nulValue) << QStringLiteral("SUBID") << units(u"1\0002");
        static constexpr char16_t nulBefore[] = u"\000SUBID=3;";
        QTest::newRow("NUL before the key")
            << units(nulBefore) << QStringLiteral("SUBID") << QStringLiteral("3");
        static constexpr char16_t nulInKey[] = u"SUB\000ID=4;SUBID=5;";
        QTest::newRow("NUL inside a key is another key")
            << units(nulInKey) << QStringLiteral("SUBID") << QStringLiteral("5");
        static constexpr char16_t nulBeforeEq[] = u"SUBID\000=4;SUBID=6;";
        QTest::newRow("NUL between key and =")
            << units(nulBeforeEq) << QStringLiteral("SUBID") << QStringLiteral("6");
        static constexpr char16_t nulAfter[] = u"SUBID=9;\000";
        QTest::newRow("NUL after the last pair")
            << units(nulAfter) << QStringLiteral("SUBID") << QStringLiteral("9");
        QTest::newRow("asked key holding NUL")
            << units(nulInKey) << units(u"sub\000id") << QStringLiteral("4");

        QTest::newRow("key that prefixes a longer key")
            << QStringLiteral("SUBIDX=1;SUBID=2;") << QStringLiteral("SUBID")
            << QStringLiteral("2");
        QTest::newRow("key that ends a longer key: first occurrence wins")
            << QStringLiteral("XSUBID=1;SUBID=2;") << QStringLiteral("SUBID")
            << QStringLiteral("1");
        QTest::newRow("shorter key found inside a longer one")
            << QStringLiteral("SUBID=5;ID=6;") << QStringLiteral("ID") << QStringLiteral("5");
        QTest::newRow("repeated key: the first") << QStringLiteral("SUBID=1;subid=2;SUBID=3")
                                                 << QStringLiteral("SUBID") << QStringLiteral("1");

        QTest::newRow("empty pairs before")
            << QStringLiteral(";;;SUBID=1;;") << QStringLiteral("SUBID") << QStringLiteral("1");
        QTest::newRow("value is =")
            << QStringLiteral("SUBID==;") << QStringLiteral("SUBID") << QStringLiteral("=");
        QTest::newRow("key without =")
            << QStringLiteral("SUBID;SUBID") << QStringLiteral("SUBID") << QString();
        QTest::newRow("only separators")
            << QStringLiteral(";=;=") << QStringLiteral("SUBID") << QString();
        QTest::newRow("empty key: the first = opens the value")
            << QStringLiteral("A=1;B=2;") << QString() << QStringLiteral("1");
        QTest::newRow("asked key holding ; and =")
            << QStringLiteral("A;B==x;") << QStringLiteral("a;b=") << QStringLiteral("x");

        QTest::newRow("surrogate pair value kept")
            << QStringLiteral("SUBID=𝄞;") << QStringLiteral("SUBID") << QStringLiteral("𝄞");
        static constexpr char16_t lone[] = u"SUBID=\xD800x\xDC00;";
        QTest::newRow("lone surrogates kept")
            << units(lone) << QStringLiteral("SUBID") << units(lone).mid(6, 3);
        QTest::newRow("supplementary letter key, other case")
            << QStringLiteral("A=0;𐐀=1;") << QStringLiteral("𐐨") << QStringLiteral("1");
        QTest::newRow("1 MB of surrogate pairs before the key")
            << QStringLiteral("𐐀").repeated(1 << 19) + QStringLiteral(";language=en;")
            << QStringLiteral("LANGUAGE") << QStringLiteral("en");
    }

    // The value follows the one rule: the first "key=" anywhere, up to the next ";". NUL
    // characters and lone surrogates neither end nor lose anything, and the store is only read.
    void propValue()
    {
        QFETCH(QString, props);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        ContextStore::setPropsString(props);
        QCOMPARE(HostContext::propertyIn(props, key), expected);
        QCOMPARE(HostContext::property(key), expected);
        QCOMPARE(HostContext::propsString(), props);
        QCOMPARE(ContextStore::propsString(), props);
    }

    void storeAnswers_data()
    {
        QTest::addColumn<QVariant>("answer");
        QTest::addColumn<QString>("language"); // empty: the store's answer gives none
        QTest::newRow("bytes") << QVariant(QByteArray("LANGUAGE=en;")) << QStringLiteral("en");
        QTest::newRow("bytes with NUL")
            << QVariant(QByteArray("A=\0;LANGUAGE=en;", 16)) << QStringLiteral("en");
        QTest::newRow("number") << QVariant(12) << QString();
        QTest::newRow("nothing") << QVariant() << QString();
        QTest::newRow("object") << QVariant::fromValue(KeyedValues::create()) << QString();
        QTest::newRow("list") << QVariant(QVariantList{QStringLiteral("LANGUAGE=en;")})
                              << QString();
    }

    // Whatever a replaced store answers, the look-ups read a language or none; they never
    // fail towards the texts shown.
    void storeAnswers()
    {
        QFETCH(QVariant, answer);
        QFETCH(QString, language);
        ComponentRegistry::instance().registerFactory(ComponentId::contextStore(), [answer] {
            return std::make_shared<AnsweringStore>(answer);
        });
        QCOMPARE(HostContext::property(QStringLiteral("LANGUAGE")), language);
        QCOMPARE(Language::text(Texts::filterCaption()),
                 language.isEmpty() ? Texts::filterCaption() : QStringLiteral("Filter Conditions"));
        QCOMPARE(Language::designText(Texts::toolView()),
                 language.isEmpty() ? Texts::toolView() : QStringLiteral("View"));
    }

    void languageCode_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("english");
        QTest::newRow("en") << QStringLiteral("en") << true;
        QTest::newRow("EN with blanks") << QStringLiteral(" EN ") << true;
        // A code is a name, never a path: these must not reach a translation file elsewhere.
        QTest::newRow("relative path") << QStringLiteral("x/../NxINDUSTRY_en") << false;
        QTest::newRow("backslash path") << QStringLiteral("x\\..\\NxINDUSTRY_en") << false;
        QTest::newRow("dots") << QStringLiteral("en/.") << false;
        QTest::newRow("NUL after the code") << units(u"en\0") << false;
        QTest::newRow("lone surrogate") << units(u"e\xD800n") << false;
        QTest::newRow("1 MB code") << mega << false;
    }

    // The language code read from the property string chooses a translation file; any code
    // that is not a plain name shows the Chinese texts.
    void languageCode()
    {
        QFETCH(QString, language);
        QFETCH(bool, english);
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + language + u';');
        QCOMPARE(Language::text(Texts::filterCaption()),
                 english ? QStringLiteral("Filter Conditions") : Texts::filterCaption());
        QCOMPARE(Language::designText(Texts::toolView()),
                 english ? QStringLiteral("View") : Texts::toolView());
        QCOMPARE(Language::cachedCode(), language);
    }

    // Where a directory's name begins like a translation file, a code holding "/.." climbs
    // out of it and loads whatever file the code names.
    void languageCodeIsNoPath()
    {
        const QString pid = QString::number(QCoreApplication::applicationPid());
        QDir elsewhere(QDir::tempPath());
        const QString target = QStringLiteral("nxsf_hostile_") + pid;
        if (elsewhere.path() != elsewhere.path().toLower())
            QSKIP("the codes are read in lower case; the temporary folder's path is not");
        QVERIFY(elsewhere.mkpath(target));
        auto removeTarget =
            qScopeGuard([&] { QDir(elsewhere.filePath(target)).removeRecursively(); });
        QVERIFY(QFile::copy(QStringLiteral(":/i18n/NxINDUSTRY_en.qm"),
                            elsewhere.filePath(target + QStringLiteral("/nxindustry_en.qm"))));

        QDir appDir(QCoreApplication::applicationDirPath());
        const QString stem = QStringLiteral("hostile") + pid;
        QVERIFY(appDir.mkdir(QStringLiteral("NxINDUSTRY_") + stem));
        auto removeStem = qScopeGuard([&] { appDir.rmdir(QStringLiteral("NxINDUSTRY_") + stem); });

        const QString climb = stem + u'/' + QStringLiteral("../").repeated(64) +
                              elsewhere.filePath(target).mid(1) + QStringLiteral("/nxindustry_en");
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + climb + u';');
        QCOMPARE(Language::text(Texts::filterCaption()), Texts::filterCaption());
    }
};

QTEST_GUILESS_MAIN(tst_HostileProps)
#include "tst_hostileprops.moc"
