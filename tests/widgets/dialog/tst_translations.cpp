// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Every text the component can show has an English entry, and the built-in translation
// serves it: a key added to the texts without a translation fails here.

#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"
#include "testsupport/cjk.h"
#include "testsupport/processstate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

#include <QFile>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

using namespace NxSerialFilter;

using NxSerialFilter::Testing::hasCjk;

namespace {

QString sourceFile(const QString &relative)
{
    const QString root = qEnvironmentVariable("NXSF_SOURCE_DIR");
    return root.isEmpty() ? QString() : root + u'/' + relative;
}

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

/// The source texts declared in texts.h and in the demo host's own list, read from the
/// sources themselves so that none is missed.
QStringList declaredKeys(int *declarations)
{
    QStringList keys;
    *declarations = 0;
    // The macros' names are put together so that no tool reading this file takes them for a use.
    for (const auto &[path, prefix] :
         {std::pair{QStringLiteral("src/core/text/texts.h"), QStringLiteral("NXSF_")},
          std::pair{QStringLiteral("apps/demo/demotexts.h"), QStringLiteral("NXSF_DEMO_")}}) {
        const QString header = readAll(sourceFile(path));
        const QString macro = prefix + QStringLiteral("TEXT");
        const QRegularExpression entry(
            macro + QStringLiteral("\\(\\s*\\w+\\s*,\\s*\"((?:[^\"\\\\]|\\\\.)*)\"\\s*\\)"));
        const QRegularExpression any(QStringLiteral("^\\s*") + macro + QStringLiteral("\\s*\\("),
                                     QRegularExpression::MultilineOption);
        for (auto it = entry.globalMatch(header); it.hasNext();)
            keys << it.next().captured(1);
        for (auto it = any.globalMatch(header); it.hasNext(); it.next())
            ++*declarations;
    }
    return keys;
}

struct TsEntry
{
    QString translation;
    bool finished = true;
    int count = 0;
};

/// The English entries of the context NxINDUSTRY, by source text.
QHash<QString, TsEntry> englishEntries()
{
    QHash<QString, TsEntry> entries;
    QFile file(sourceFile(QStringLiteral("translations/NxINDUSTRY_en.ts")));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation") &&
                   context == QLatin1String("NxINDUSTRY")) {
            TsEntry &e = entries[source];
            e.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            e.translation = xml.readElementText();
            ++e.count;
        }
    }
    return entries;
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void everyTextHasAnEnglishEntry_data();
    void everyTextHasAnEnglishEntry();
    void chineseShowsTheKeys_data();
    void chineseShowsTheKeys();
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
};

void tst_Translations::init()
{
    Testing::freshProcessState();
}

void tst_Translations::everyTextHasAnEnglishEntry_data()
{
    QTest::addColumn<QString>("key");
    int declarations = 0;
    const QStringList keys = declaredKeys(&declarations);
    QVERIFY2(!keys.isEmpty(), "NXSF_SOURCE_DIR must name the source tree");
    // A declaration the pattern cannot read would slip through unchecked.
    QCOMPARE(keys.size(), declarations);
    for (const QString &key : keys)
        QTest::newRow(key.toUtf8().constData()) << key;
}

void tst_Translations::everyTextHasAnEnglishEntry()
{
    QFETCH(QString, key);
    static const QHash<QString, TsEntry> entries = englishEntries();
    QVERIFY2(entries.contains(key), "no English entry");
    const TsEntry &entry = entries.value(key);
    QCOMPARE(entry.count, 1);
    QVERIFY2(entry.finished, "the entry is not finished");
    QVERIFY(!entry.translation.trimmed().isEmpty());
    // Only a text kept on purpose (a language's own name) may stay in Chinese.
    if (entry.translation != key)
        QVERIFY2(!hasCjk(entry.translation), qPrintable(entry.translation));
    // Accelerators and the colon before an appended value survive the translation.
    QCOMPARE(entry.translation.count(u'&') > 0, key.count(u'&') > 0);
    if (key.endsWith(QStringLiteral("：")))
        QVERIFY2(entry.translation.trimmed().endsWith(u':'), qPrintable(entry.translation));
    // The hint follows the field's name directly: Chinese needs nothing between them, English
    // would run the words together.
    if (key == Texts::lookupHint())
        QVERIFY2(!entry.translation.at(0).isLetterOrNumber(), qPrintable(entry.translation));

    // The library serves the entry through the language look-up.
    ContextStore::setPropsString(QStringLiteral("LANGUAGE=en;"));
    QCOMPARE(Language::text(key), entry.translation);
}

void tst_Translations::chineseShowsTheKeys_data()
{
    QTest::addColumn<QString>("props");
    QTest::newRow("no LANGUAGE entry") << QString();
    QTest::newRow("chs") << QStringLiteral("LANGUAGE=chs;");
    QTest::newRow("CHS") << QStringLiteral("LANGUAGE=CHS;");
}

void tst_Translations::chineseShowsTheKeys()
{
    QFETCH(QString, props);
    ContextStore::setPropsString(props);
    int declarations = 0;
    for (const QString &key : declaredKeys(&declarations))
        QCOMPARE(Language::text(key), key);
}

void tst_Translations::qtTextsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("props");
    QTest::addColumn<bool>("chinese");
    QTest::newRow("chs") << QStringLiteral("LANGUAGE=chs;") << true;
    QTest::newRow("no LANGUAGE entry") << QString() << true;
    QTest::newRow("cht") << QStringLiteral("LANGUAGE=cht;") << true;
    QTest::newRow("en") << QStringLiteral("LANGUAGE=en;") << false;
}

// A question's buttons speak the dialog's language while a window of the component is shown,
// whichever language came before, and Qt's own texts are the host's again after.
void tst_Translations::qtTextsFollowTheLanguage()
{
    QFETCH(QString, props);
    QFETCH(bool, chinese);
    const auto yes = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text();
    };
    for (const QString &before :
         {QStringLiteral("LANGUAGE=en;"), QStringLiteral("LANGUAGE=chs;")}) {
        {
            const QtTranslations::Shown shown;
            for (const QString &language : {before, props}) {
                Testing::freshProcessState();
                ContextStore::setPropsString(language);
                Language::text(Texts::alertTitle());
            }
            const QString shownYes = yes();
            if (chinese)
                QVERIFY2(hasCjk(shownYes), qPrintable(before + shownYes));
            else
                QCOMPARE(shownYes, u"&Yes"_qs);
        }
        QCOMPARE(yes(), u"&Yes"_qs);
    }
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
