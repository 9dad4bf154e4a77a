// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "clioutcome.h"
#include "core/schemes/schemetext.h"
#include <NxSerialFilter/descriptionjson.h>

#include <NxSerialFilter/schemestore.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

/// Runs the command-line tool as a batch job would and checks its three outputs.
class tst_CliSql : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void run_data();
    void run();
    void help();

private:
    QString m_program;
    QString m_examples;
    QTemporaryDir m_dir;
};

namespace {

const QByteArray serialExample = QByteArrayLiteral(
    " ( (( tf.FSERIALNUM = 'B7'   Or  (t_FITEM.FName Is null or t_FITEM.FName='' or "
    "t_FITEM.FName='*') )) ) \n");

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

void tst_CliSql::initTestCase()
{
    const QString build = qEnvironmentVariable("NXSF_BUILD_DIR");
    const QString source = qEnvironmentVariable("NXSF_SOURCE_DIR");
    QVERIFY2(!build.isEmpty() && !source.isEmpty(), "NXSF_BUILD_DIR and NXSF_SOURCE_DIR");
    m_program = build + QStringLiteral("/bin/serialfilter");
    if (!QFile::exists(m_program))
        QSKIP("the command-line tool is not built");
    m_examples = source + QStringLiteral("/apps/cli/examples/");
    QVERIFY(m_dir.isValid());
    const auto write = [this](const char *name, const QByteArray &bytes) {
        QFile file(m_dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("malformed.json", QByteArrayLiteral("{\"SerialUse\": true, \"Header\": ["));
    write("noheader.json", QByteArrayLiteral("{\"SerialUse\": true, \"SerialclassID\": 3}"));
    write("array.json", QByteArrayLiteral("[1, 2]"));
    QFile scheme(m_examples + QStringLiteral("serial-scheme.txt"));
    QVERIFY(scheme.open(QIODevice::ReadOnly));
    NxSerialFilter::SchemeStore(m_dir.filePath(QStringLiteral("store.sqlite")))
        .save({0,
               QStringLiteral("Serial_12"),
               QStringLiteral("B7 or no item"),
               QString::fromUtf8(scheme.readAll()),
               {}});
    NxSerialFilter::SchemeStore(m_dir.filePath(QStringLiteral("store.sqlite")))
        .save({0,
               QStringLiteral("Serial_12"),
               QStringLiteral("serials of a customer"),
               QStringLiteral("\t\t序列号\t等于\t客户\task=1\t"),
               {}});
    NxSerialFilter::SchemeStore::closeConnections();
    write("huge.json", '{' + QByteArray(NxSerialFilter::DescriptionJson::MaxBytes, ' ') + '}');
}

void tst_CliSql::run_data()
{
    QTest::addColumn<QStringList>("args"); // "@" stands for the examples folder, "~" the temp one
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // standard error must start with it

    const QStringList serial{u"--fields"_qs, u"@serial-fields.json"_qs};
    const QStringList common{u"--fields"_qs, u"@common-fields.json"_qs};
    const QByteArray none;

    QTest::newRow("serial example")
        << serial + QStringList{u"--scheme"_qs, u"@serial-scheme.txt"_qs} << none << 0
        << serialExample << none;
    QTest::newRow("serial ignores --screen")
        << serial +
               QStringList{u"--scheme=@serial-scheme.txt"_qs, u"--screen"_qs, u"StorageCheck"_qs}
        << none << 0 << serialExample << none;
    QTest::newRow("common example, screen from the file")
        << common + QStringList{u"--scheme"_qs, u"@common-scheme.txt"_qs} << none << 0
        << QByteArrayLiteral(" ( ((t1.FQty=0)  And  (t1.FName<>'')) ) \n") << none;
    QTest::newRow("common, --screen, scheme from standard input")
        << common + QStringList{u"--screen"_qs, u"Items"_qs}
        << utf8(u"\t\t数量\t为空\t\t\t\r\n并且\t\t名称\t不为空\t\t\t"_qs) << 0
        << QByteArrayLiteral(" ( ((t1.FQty Is null or t1.FQty=0)  And  (t1.FName Is not null and "
                             "t1.FName <> '' )) ) \n")
        << none;
    QTest::newRow("scheme - reads standard input")
        << serial + QStringList{u"--scheme"_qs, u"-"_qs} << utf8(u"\t\t序列号\t包含\tA01\t\t"_qs)
        << 0 << QByteArrayLiteral(" ( (tf.FSERIALNUM Like '%A01%') ) \n") << none;
    QTest::newRow("bare LF between rows")
        << serial << utf8(u"\t(\t序列号\t等于\tB7\t\t\n或者\t\t物料\t为空\t\t\t)\n"_qs) << 0
        << serialExample << none;
    QTest::newRow("no row in use")
        << serial << QByteArray() << 0 << QByteArrayLiteral("\n") << none;
    QTest::newRow("language chs") << serial + QStringList{u"--language"_qs, u"chs"_qs}
                                  << utf8(u"\t\t数量\t大于或等于\t12.50kg\t\t"_qs) << 0
                                  << QByteArrayLiteral(" ( (tf.FQTY >= 12.5) ) \n") << none;
    // An unknown code would give the keys' language without a word.
    QTest::newRow("unknown language")
        << serial + QStringList{u"--language"_qs, u"eng"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown language 'eng' (known: chs, en)");
    QTest::newRow("words") << serial + QStringList{u"--words"_qs, u"--scheme"_qs,
                                                   u"@serial-scheme.txt"_qs}
                           << none << 0 << utf8(u"(序列号 等于 B7 或者 物料 为空)\n"_qs) << none;
    QTest::newRow("words in English")
        << serial + QStringList{u"--words"_qs, u"--language=EN"_qs, u"--scheme"_qs,
                                u"@serial-scheme.txt"_qs}
        << none << 0 << utf8(u"(序列号 Equal to B7 Or 物料 Is empty)\n"_qs) << none;
    QTest::newRow("words, no row in use") << serial + QStringList{u"--words"_qs} << QByteArray()
                                          << 0 << QByteArrayLiteral("\n") << none;
    QTest::newRow("words and bound")
        << serial + QStringList{u"--words"_qs, u"--bound"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: --words and --bound exclude each other");
    QTest::newRow("quote from a stored text")
        << serial << utf8(u"\t\t序列号\t等于\tO'Brien %1 :name ?\t\t"_qs) << 0
        << QByteArrayLiteral(" ( (tf.FSERIALNUM = 'O''Brien %1 :name ?') ) \n") << none;

    // Relative dates: the SQL holds the days of --as-of, the words keep the word.
    const QStringList asOf = serial + QStringList{u"--as-of"_qs, u"2026-12-08"_qs};
    QTest::newRow("as of, this month")
        << asOf << utf8(u"\t\t日期\t等于\t本月\t\t"_qs) << 0
        << QByteArrayLiteral(" ( ((tf.FDATE >= '2026-12-01' And tf.FDATE < '2027-01-01')) ) \n")
        << none;
    QTest::newRow("as of, English words of a Chinese scheme")
        << asOf + QStringList{u"--words"_qs, u"--language=en"_qs}
        << utf8(u"\t\t日期\t小于或等于\t上周\t\t"_qs) << 0
        << utf8(u"日期 Less than or equal to last week\n"_qs) << none;
    QTest::newRow("as of, English scheme bound")
        << asOf + QStringList{u"--bound"_qs, u"--language=en"_qs}
        << utf8(u"\t\t日期\tGreater than\tlast 3 days\t\t"_qs) << 0
        << QByteArrayLiteral("{\"sql\":\" ( (tf.FDATE >= ?) ) \",\"values\":[\"2026-12-09\"]}\n")
        << none;
    // Weeks start where the host starts them for the dialog; 2026-12-08 is a Tuesday.
    QTest::newRow("as of, this week from Sunday")
        << asOf + QStringList{u"--week-starts=Sunday"_qs} << utf8(u"\t\t日期\t等于\t本周\t\t"_qs)
        << 0
        << QByteArrayLiteral(" ( ((tf.FDATE >= '2026-12-06' And tf.FDATE < '2026-12-13')) ) \n")
        << none;
    QTest::newRow("as of, this week from Monday")
        << asOf << utf8(u"\t\t日期\t等于\t本周\t\t"_qs) << 0
        << QByteArrayLiteral(" ( ((tf.FDATE >= '2026-12-07' And tf.FDATE < '2026-12-14')) ) \n")
        << none;
    QTest::newRow("no such day") << serial + QStringList{u"--week-starts"_qs, u"Sun"_qs} << none
                                 << 2 << QByteArray()
                                 << QByteArrayLiteral(
                                        "serialfilter sql: unknown value 'Sun' of --week-starts");
    QTest::newRow("as of, no date")
        << serial + QStringList{u"--as-of"_qs, u"2026-02-30"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown value '2026-02-30' of --as-of");
    QTest::newRow("as of, a date and more")
        << serial + QStringList{u"--as-of"_qs, u"2026-12-08xyz"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown value '2026-12-08xyz' of --as-of");
    // A date the condition cannot write is refused, never compared as a text that finds nothing.
    QTest::newRow("this year on the calendar's last day")
        << serial + QStringList{u"--as-of=9999-12-31"_qs} << utf8(u"\t\t日期\t小于\t本年\t\t"_qs)
        << 1 << QByteArray()
        << utf8(u"第1行：“本年”所指的日期超出了日历的范围（1年至9999年）\n"_qs);
    QTest::newRow("last year on the calendar's last day")
        << serial + QStringList{u"--as-of=9999-12-31"_qs} << utf8(u"\t\t日期\t等于\t上年\t\t"_qs)
        << 0
        << QByteArrayLiteral(" ( ((tf.FDATE >= '9998-01-01' And tf.FDATE < '9999-01-01')) ) \n")
        << none;
    QTest::newRow("impossible day, bound")
        << serial + QStringList{u"--bound"_qs}
        << utf8(u"\t\t序列号\t等于\tB7\t\t\r\n并且\t\t日期\t等于\t2024-02-30\t\t"_qs) << 1
        << QByteArray() << utf8(u"第2行：“2024-02-30”不是日期，也不是能识别的相对日期\n"_qs);
    QTest::newRow("impossible day, words")
        << serial + QStringList{u"--words"_qs} << utf8(u"\t\t日期\t大于\t2024-02-30\t\t"_qs) << 1
        << QByteArray() << utf8(u"第1行：“2024-02-30”不是日期，也不是能识别的相对日期\n"_qs);

    // A field compared with a field: the two columns, no value, in every form.
    const QByteArray qtyOverOrdered =
        utf8(u"\t\t数量\t大于\t订购数量\tvalue=field;valuefield=6\t"_qs);
    QTest::newRow("a field compared with a field")
        << serial << qtyOverOrdered << 0 << QByteArrayLiteral(" ( (tf.FQTY > tf.FORDERQTY) ) \n")
        << none;
    QTest::newRow("a field compared with a field, bound for PostgreSQL")
        << serial + QStringList{u"--bound"_qs, u"--engine=postgresql"_qs} << qtyOverOrdered << 0
        << QByteArrayLiteral("{\"sql\":\" ( (tf.FQTY > tf.FORDERQTY) ) \",\"values\":[]}\n")
        << none;
    QTest::newRow("a field compared with a field, in English words")
        << serial + QStringList{u"--words"_qs, u"--language=en"_qs} << qtyOverOrdered << 0
        << utf8(u"数量 Greater than [订购数量]\n"_qs) << none;
    QTest::newRow("an empty test takes no field")
        << serial << utf8(u"\t\t数量\t为空\t订购数量\tvalue=field;valuefield=6\t"_qs) << 1
        << QByteArray() << utf8(u"第1行：包含、不包含、为空、不为空和值列表不能与字段比较\n"_qs);
    // The current user: whoever runs the scheme, given by --user.
    QTest::newRow("the current user")
        << serial + QStringList{u"--user"_qs, u"o'neil"_qs}
        << utf8(u"\t\t序列号\t等于\t当前用户\t\t"_qs) << 0
        << QByteArrayLiteral(" ( (tf.FSERIALNUM = 'o''neil') ) \n") << none;
    QTest::newRow("the current user, bound, in an English scheme")
        << serial + QStringList{u"--bound"_qs, u"--user=bob"_qs, u"--language=en"_qs}
        << utf8(u"\t\t物料\tNot equal to\tcurrent user\t\t"_qs) << 0
        << QByteArrayLiteral("{\"sql\":\" ( (t_FITEM.FName <> ?) ) \",\"values\":[\"bob\"]}\n")
        << none;
    QTest::newRow("the current user in English words")
        << serial + QStringList{u"--words"_qs, u"--language=en"_qs, u"--user=bob"_qs}
        << utf8(u"\t\t序列号\t等于\t当前用户\t\t"_qs) << 0
        << utf8(u"序列号 Equal to current user\n"_qs) << none;
    QTest::newRow("the current user without --user")
        << serial << utf8(u"\t\t序列号\t等于\t当前用户\t\t"_qs) << 1 << QByteArray()
        << utf8(u"第1行：没有设置当前用户，不能使用“当前用户”\n"_qs);

    // The bound form: one JSON object, no value in the text.
    const QStringList bound = serial + QStringList{u"--bound"_qs};
    QTest::newRow("bound serial example")
        << bound + QStringList{u"--scheme"_qs, u"@serial-scheme.txt"_qs} << none << 0
        << QByteArrayLiteral(
               "{\"sql\":\" ( (( tf.FSERIALNUM = ?   Or  (t_FITEM.FName Is null or "
               "t_FITEM.FName=? or t_FITEM.FName=?) )) ) \",\"values\":[\"B7\",\"\",\"*\"]}\n")
        << none;
    QTest::newRow("bound quote and backslash")
        << bound + QStringList{u"--placeholders=qmark"_qs, u"--engine"_qs, u"sqlite"_qs}
        << utf8(u"\t\t序列号\t等于\t\\' OR 1=1 --\t\t"_qs) << 0
        << QByteArrayLiteral("{\"sql\":\" ( (tf.FSERIALNUM = ?) ) \",\"values\":[\"\\\\' OR 1=1 "
                             "--\"]}\n")
        << none;
    QTest::newRow("bound for libpq on PostgreSQL")
        << bound + QStringList{u"--placeholders"_qs, u"dollar"_qs, u"--engine=postgresql"_qs}
        << utf8(u"\t\t数量\t包含\t12.50kg\t\t\r\n并且\t\t日期\t为空\t\t\t\r\n"
                u"并且\t\t数量\t小于\t1e400\t\t"_qs)
        << 0
        << QByteArrayLiteral(
               "{\"sql\":\" ( (CAST(tf.FQTY AS TEXT) COLLATE \\\"C\\\" ILike $1 ESCAPE $2  And  "
               "(tf.FDATE Is null)  "
               "And  tf.FQTY < $3) ) \",\"values\":[12.5,\"\",1.7976931348623157e+308]}\n")
        << none;
    QTest::newRow("bound, no row in use")
        << bound << QByteArray() << 0 << QByteArrayLiteral("{\"sql\":\"\",\"values\":[]}\n")
        << none;
    QTest::newRow("bound refused")
        << bound << utf8(u"\t((\t序列号\t等于\tB7\t\t)"_qs) << 1 << QByteArray()
        << utf8(u"左、右括号不匹配，请改正后继续。\n"_qs);
    QTest::newRow("unknown placeholders")
        << bound + QStringList{u"--placeholders"_qs, u"named"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown value 'named' of --placeholders");
    QTest::newRow("engine without --bound")
        << serial + QStringList{u"--engine"_qs, u"postgresql"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: --placeholders and --engine need --bound");

    // A saved scheme, read from the store as picking it in the dialog would.
    const QStringList stored = serial + QStringList{u"--store"_qs, u"~store.sqlite"_qs};
    QTest::newRow("saved scheme by name")
        << stored + QStringList{u"--scheme-name"_qs, u" B7 or no item "_qs} << none << 0
        << serialExample << none;
    QTest::newRow("saved scheme, bound")
        << stored + QStringList{u"--scheme-name=B7 or no item"_qs, u"--bound"_qs} << none << 0
        << QByteArrayLiteral("{\"sql\":\" ( (( tf.FSERIALNUM = ?   Or  "
                             "(t_FITEM.FName Is null or t_FITEM.FName=? or "
                             "t_FITEM.FName=?) )) ) \",\"values\":[\"B7\","
                             "\"\",\"*\"]}\n")
        << none;
    // A name the store does not have is the store's answer, not a mistake in the call.
    QTest::newRow("no saved scheme of that name")
        << stored + QStringList{u"--scheme-name"_qs, u"nope"_qs} << none << 1 << QByteArray()
        << utf8(u"没有这个过滤方案：nope\n"_qs);
    QTest::newRow("saved scheme, a question answered")
        << stored +
               QStringList{u"--scheme-name=serials of a customer"_qs, u"--ask"_qs, u"客户=SN1"_qs}
        << none << 0 << QByteArrayLiteral(" ( (tf.FSERIALNUM = 'SN1') ) \n") << none;
    QTest::newRow("store without a name")
        << stored << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: --store and --scheme-name go together");

    // A row switched off and a value asked when run: "off=1" and "ask=1" in the code cell.
    const QByteArray offAndAsked =
        utf8(u"\t\t序列号\t等于\t客户\task=1\t\r\n或者\t\t数量\t大于\t5\toff=1\t"_qs);
    const QStringList ask{u"--ask"_qs, u"客户=SN'1"_qs};
    QTest::newRow("off row left out, question answered")
        << serial + ask << offAndAsked << 0 << utf8(u" ( (tf.FSERIALNUM = 'SN''1') ) \n"_qs)
        << none;
    QTest::newRow("off row left out, question answered, bound")
        << bound + QStringList{u"--ask=客户=a=b"_qs} << offAndAsked << 0
        << utf8(u"{\"sql\":\" ( (tf.FSERIALNUM = ?) ) \",\"values\":[\"a=b\"]}\n"_qs) << none;
    QTest::newRow("off row left out, question answered, words")
        << serial + ask + QStringList{u"--words"_qs} << offAndAsked << 0
        << utf8(u"序列号 等于 SN'1\n"_qs) << none;
    QTest::newRow("question unanswered")
        << serial + QStringList{u"--ask"_qs, u"别的=1"_qs} << offAndAsked << 1 << QByteArray()
        << utf8(u"第1行：运行时输入的“客户”没有回答\n"_qs);
    QTest::newRow("answer without a question")
        << serial + QStringList{u"--ask"_qs, u"=1"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown value '=1' of --ask");

    // A condition in words instead of a scheme: the same condition as the rows, in every form,
    // with every setting of the composer.
    const QStringList where = serial + QStringList{u"--where"_qs};
    QTest::newRow("where gives the scheme's condition")
        << where + QStringList{u"(序列号 等于 B7 或者 物料 为空)"_qs} << none << 0 << serialExample
        << none;
    QTest::newRow("where, bound for libpq on PostgreSQL")
        << where + QStringList{u"序列号 包含 「SN 1」 并且 数量 大于 【订购数量】"_qs,
                               u"--bound"_qs, u"--engine=postgresql"_qs,
                               u"--placeholders=dollar"_qs}
        << none << 0
        << QByteArrayLiteral("{\"sql\":\" ( (tf.FSERIALNUM COLLATE \\\"C\\\" ILike $1 ESCAPE $2   "
                             "And  tf.FQTY > tf.FORDERQTY) ) \",\"values\":[\"%SN 1%\",\"\"]}\n")
        << none;
    QTest::newRow("where in English, words in Chinese")
        << where + QStringList{u"序列号 Equal to B7 Or 物料 Is empty"_qs, u"--words"_qs} << none
        << 0 << utf8(u"序列号 等于 B7 或者 物料 为空\n"_qs) << none;
    QTest::newRow("where, asked, current user, as of")
        << where +
               QStringList{
                   u"序列号 等于 ？「客户」 并且 物料 不等于 当前用户 并且 日期 等于 本月"_qs,
                   u"--ask=客户=SN'1"_qs, u"--user=bob"_qs, u"--as-of=2026-12-08"_qs}
        << none << 0
        << utf8(u" ( (tf.FSERIALNUM = 'SN''1'   And  t_FITEM.FName <> 'bob'   And  "
                u"(tf.FDATE >= '2026-12-01' And tf.FDATE < '2027-01-01')) ) \n"_qs)
        << none;
    QTest::newRow("where does not read") << where + QStringList{u"数量 大于"_qs} << none << 1
                                         << QByteArray() << utf8(u"第6个字符："_qs);
    QTest::newRow("where, a row refused as OK would")
        << where + QStringList{u"序列号 等于 当前用户"_qs} << none << 1 << QByteArray()
        << utf8(u"第1行：没有设置当前用户，不能使用“当前用户”\n"_qs);
    QTest::newRow("where over a description without groups")
        << QStringList{u"--fields"_qs, u"~noheader.json"_qs, u"--where"_qs, u"数量 大于 5"_qs}
        << none << 2 << QByteArray() << utf8(u"对象未设置：Header\n"_qs);
    QTest::newRow("where and a scheme file")
        << where + QStringList{u"数量 大于 5"_qs, u"--scheme=-"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: --where and --scheme exclude each other");
    QTest::newRow("where and a saved scheme")
        << stored + QStringList{u"--scheme-name=B7 or no item"_qs, u"--where=数量 大于 5"_qs}
        << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: --where and --scheme-name exclude each other");

    QTest::newRow("tautology in a parenthesis cell")
        << serial << utf8(u"\t1=1 or (\t序列号\t等于\tB7\t\t)       "_qs) << 1 << QByteArray()
        << utf8(u"括号栏只能填写括号，请改正后继续。\n"_qs);
    QTest::newRow("unbalanced") << serial << utf8(u"\t((\t序列号\t等于\tB7\t\t)"_qs) << 1
                                << QByteArray() << utf8(u"左、右括号不匹配，请改正后继续。\n"_qs);
    QTest::newRow("row without logic")
        << serial << utf8(u"\t\t序列号\t等于\tB7\t\t\r\n\t\t数量\t等于\t1\t\t"_qs) << 1
        << QByteArray() << utf8(u"第2行：没有选择逻辑\n"_qs);
    QTest::newRow("row without a field before a filled row")
        << serial
        << utf8(u"\t\t数量\t大于\t50\t\t\r\n\t\t\t\t\t\t\r\n并且\t\t序列号\t等于\tB7\t\t"_qs) << 1
        << QByteArray()
        << utf8(u"第2行：没有选择字段，但下面还有条件；请选择字段或删除这一行\n"_qs);

    QTest::newRow("no arguments") << QStringList{} << none << 2 << QByteArray()
                                  << QByteArrayLiteral("serialfilter sql: --fields is required");
    QTest::newRow("unknown option")
        << serial + QStringList{u"--verbose"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: unknown argument");
    QTest::newRow("option without value")
        << QStringList{u"--fields"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: option --fields");
    QTest::newRow("missing fields file")
        << QStringList{u"--fields"_qs, u"~nothing.json"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: cannot read");
    QTest::newRow("missing scheme file")
        << serial + QStringList{u"--scheme"_qs, u"~nothing.txt"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: cannot read");
    QTest::newRow("malformed JSON") << QStringList{u"--fields"_qs, u"~malformed.json"_qs} << none
                                    << 2 << QByteArray() << QByteArrayLiteral("serialfilter sql: ");
    QTest::newRow("JSON not an object")
        << QStringList{u"--fields"_qs, u"~array.json"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: ");
    QTest::newRow("description without groups")
        << QStringList{u"--fields"_qs, u"~noheader.json"_qs} << none << 2 << QByteArray()
        << utf8(u"对象未设置：Header\n"_qs);
    // Inputs far beyond any real one end in a message, not in a frozen or killed job.
    QTest::newRow("scheme over the cap")
        << serial << QByteArray(NxSerialFilter::SchemeText::MaxTextLength + 1, '\t') << 2
        << QByteArray() << utf8(u"serialfilter sql: 过滤方案太长"_qs);
    QTest::newRow("fields over the cap")
        << QStringList{u"--fields"_qs, u"~huge.json"_qs} << none << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: ~huge.json: larger than");
    QTest::newRow("scheme not UTF-8")
        << serial << QByteArrayLiteral("\t\t\xff\xfe") << 2 << QByteArray()
        << QByteArrayLiteral("serialfilter sql: standard input");
}

void tst_CliSql::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);

    err.replace('~', m_dir.path().toUtf8() + '/');
    for (QString &arg : args) {
        arg.replace(u'@', m_examples);
        arg.replace(u'~', m_dir.path() + u'/');
    }
    QProcess process;
    process.start(m_program, QStringList{u"sql"_qs} + args);
    QVERIFY(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    CliTesting::checkOutcome(process, err, out, exitCode);
}

void tst_CliSql::help()
{
    QProcess process;
    process.start(m_program, {u"sql"_qs, u"--help"_qs});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray text = process.readAllStandardOutput();
    for (const char *word :
         {"--fields", "--scheme", "--where", "--screen", "--language", "--bound", "--placeholders",
          "--engine", "--words", "one of chs, en.", "standard input", "Exit status"})
        QVERIFY2(text.contains(word), word);
}

QTEST_GUILESS_MAIN(tst_CliSql)
#include "tst_cli_sql.moc"
