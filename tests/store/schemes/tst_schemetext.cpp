// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The grid written as scheme text, and stored texts loaded back into the grid.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "store/schemes/schemeloader.h"
#include "testsupport/collidingwords.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include "testsupport/storefixture.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemestore.h>
#include <NxSerialFilter/schemetext.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;
using namespace Qt::StringLiterals;

namespace {

/// A grid of `rows` rows whose cells are given as "row,col=text" pairs separated by "|".
void fill(ConditionGrid &grid, int rows, const QString &cells)
{
    grid.SetMaxRows(rows);
    for (const QString &cell : cells.split(u'|', Qt::SkipEmptyParts)) {
        const QString at = cell.section(u'=', 0, 0);
        grid.SetCellText(at.section(u',', 0, 0).toInt(), at.section(u',', 1).toInt(),
                         cell.section(u'=', 1));
    }
}

/// Loads as the scheme list does: a failed load shows the dialog's one message.
void loadScheme(ConditionGrid &grid, ValueCells &cells, qint32 id)
{
    if (!SchemeText::LoadScheme(grid, cells, id))
        nxAlert::ShowAlert(Language::text(Texts::schemeLoadFailed()), nxAlert::Information);
}

const QString T = u"\t"_s;
const QString NL = u"\r\n"_s;

} // namespace

class tst_SchemeText : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    HostFields m_state;
    std::unique_ptr<ConditionGrid> m_grid;
    std::unique_ptr<ValueCells> m_cells;
    std::shared_ptr<ScriptedAlerts> m_alerts;

    qint32 store(const QString &text)
    {
        return SchemeStore(m_dir.filePath(u"text.sqlite"_s))
            .save({0, m_state.ScreenID, QString::number(qHash(text)), text, {}});
    }

private Q_SLOTS:
    void init();
    void cleanup()
    {
        SchemeStore::closeConnections();
        nxAlert::setPresenter(nullptr);
        Language::reload();
    }
    void writing_data();
    void writing();
    void writeThenLoadKeepsShape_data();
    void writeThenLoadKeepsShape();
    void loading_data();
    void loading();
    void corpusReadsAsTheGridReads_data();
    void corpusReadsAsTheGridReads();
    void loadFailures_data();
    void loadFailures();
    void savedInAnotherLanguage_data();
    void savedInAnotherLanguage();
    void parsing_data();
    void parsing();
    void oneWordTwoPositions();

private:
    /// A text stored as another tool could have written it, past the store's own checks.
    qint32 storeRaw(const QString &text);
    /// The dialog's state as it loads in serial mode for a user of a language; with captions,
    /// the host gives the fields English captions for a user of English.
    void openSerial(const QString &language, bool captions = false);
    /// The condition OK would compose, or the failure's description.
    QString composed() const
    {
        try {
            return SqlBuilder::compose(*m_grid);
        } catch (...) {
            return describeFailure(std::current_exception());
        }
    }
};

qint32 tst_SchemeText::storeRaw(const QString &text)
{
    SchemeStore{m_dir.filePath(u"text.sqlite"_s)}; // the table exists
    qint32 id = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(m_dir.filePath(u"text.sqlite"_s));
        if (db.open()) {
            QSqlQuery insert(db);
            insert.prepare(u"INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, "
                           "fcreated, fchanged) VALUES (?, ?, ?, '', '', '')"_s);
            insert.addBindValue(u"raw"_s);
            insert.addBindValue(QString::number(text.size()));
            insert.addBindValue(text);
            if (insert.exec())
                id = insert.lastInsertId().toInt();
        }
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    return id;
}

void tst_SchemeText::openSerial(const QString &language, bool captions)
{
    ContextStore::setPropsString(u"LANGUAGE="_s + language + u";SCHEMEDB="_s +
                                 m_dir.filePath(u"text.sqlite"_s) + u';');
    Language::reload();
    m_state = HostFields();
    m_state.SerialUse = true;
    m_state.SerialDesc =
        captions && language == u"en"_s
            ? serialDescription({serialField(1, u"FSERIALNUM"_s, u"Serial number"_s, 1, 1),
                                 serialField(2, u"FITEM"_s, u"Item"_s, 0, 2, 0, 4),
                                 serialField(3, u"FQTY"_s, u"Quantity"_s, 0, 0),
                                 serialField(4, u"FDATE"_s, u"Date"_s, 0, 4)},
                                {serialField(5, u"FSUB"_s, u"Grade"_s, 1, 3, 0, 7),
                                 serialField(6, u"FSYSN"_s, u"System number"_s, 1, -10, 0),
                                 serialField(7, u"FSYST"_s, u"System text"_s, 1, -10, 1)})
            : standardSerialDescription();
    m_grid = std::make_unique<ConditionGrid>();
    Testing::setFields(m_state, *m_grid);
    m_cells = std::make_unique<ValueCells>(m_state, *m_grid);
    Testing::alertFailures(*m_cells);
}

void tst_SchemeText::init()
{
    m_alerts = ScriptedAlerts::install();
    useStore(m_dir.filePath(u"text.sqlite"_s));
    m_state = HostFields();
    m_state.CommonField = standardCommonValues(uniqueScreen());
    m_grid = std::make_unique<ConditionGrid>();
    Testing::setFields(m_state, *m_grid);
    m_cells = std::make_unique<ValueCells>(m_state, *m_grid);
    Testing::alertFailures(*m_cells);
}

void tst_SchemeText::writing_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cells by TAB, rows by CR LF, the field's identifier in the code cell")
        << 2 << u"1,3=名称|1,4=等于|1,5=a|2,1=并且|2,5=d"_s
        << T + T + u"名称"_s + T + u"等于"_s + T + u"a"_s + T + u"field=t1.FName"_s + T + NL +
               u"并且"_s + T + T + T + T + u"d"_s + T + T;
    // The identifier follows the field the row names now; facts of other keys stay as stored.
    QTest::newRow("other facts kept, the identifier written anew")
        << 1 << u"1,3=名称|1,6=off=1;field=t1.FQty;x"_s
        << T + T + u"名称"_s + T + T + T + u"off=1;x;field=t1.FName"_s + T;
    QTest::newRow("a typed value drops the field it was compared with")
        << 1 << u"1,3=数量|1,4=大于|1,5=5|1,6=value=field;valuefield=t1.FRate;x"_s
        << T + T + u"数量"_s + T + u"大于"_s + T + u"5"_s + T + u"x;field=t1.FQty"_s + T;
    QTest::newRow("no field, no identifier")
        << 1 << u"1,3=(无)|1,6=field=t1.FQty"_s << T + T + u"(无)"_s + T + T + T + T;
    // Quotes are doubled only for a host's service, never in the text itself.
    QTest::newRow("quotes kept single")
        << 1 << u"1,5=O'Neil''s"_s << T + T + T + T + u"O'Neil''s"_s + T + T;
    QTest::newRow("spaces dropped only at the very ends")
        << 2 << u"1,1=  x |1,5= in |2,7= ) "_s
        << u"x "_s + T + T + T + T + u" in "_s + T + T + NL + T + T + T + T + T + T + u" )"_s;
    QTest::newRow("breaks inside a cell become spaces")
        << 1 << u"1,5=a\tb\r\nc|1,6=\n"_s << T + T + T + T + u"a b  c"_s + T + u" "_s + T;
}

// The text a save sends: a fault here changes every stored scheme.
void tst_SchemeText::writing()
{
    QFETCH(int, rows);
    QFETCH(QString, cells);
    QFETCH(QString, expected);
    fill(*m_grid, rows, cells);
    QCOMPARE(SchemeText::gridText(*m_grid), expected);
    QCOMPARE(m_grid->activeRow(), 1);
    QCOMPARE(m_grid->activeCol(), 1);
}

void tst_SchemeText::writeThenLoadKeepsShape_data()
{
    QTest::addColumn<QString>("cells");
    QTest::newRow("tab in a value") << u"1,3=名称|1,4=等于|1,5=a\tb"_s;
    QTest::newRow("line break in a value") << u"1,3=名称|1,4=等于|1,5=a\r\nb\nc"_s;
    QTest::newRow("quote and cjk") << u"1,3=仓库|1,4=等于|1,5=北京'一号'"_s;
}

// Saving and loading never changes the number of rows or cells, whatever a cell held.
void tst_SchemeText::writeThenLoadKeepsShape()
{
    QFETCH(QString, cells);
    fill(*m_grid, 3, cells);
    const QString sent = SchemeText::gridText(*m_grid);
    const QStringList lines = sent.split(NL);
    QCOMPARE(lines.size(), 3);
    for (const QString &line : lines)
        QCOMPARE(line.count(u'\t'), ConditionGrid::ColumnCount - 1);
    loadScheme(*m_grid, *m_cells, store(sent));
    QVERIFY(m_alerts->shown.isEmpty());
    QCOMPARE(m_grid->MaxRows(), 3);
    QCOMPARE(SchemeText::gridText(*m_grid), sent);
}

void tst_SchemeText::loading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("values");     // value cells after loading, "|" between rows
    QTest::addColumn<QString>("lockedRows"); // rows whose value cell is locked
    QTest::addColumn<QString>("fieldIndexes");
    const QString number = T + T + u"数量"_s + T + u"大于"_s + T + u"12.5"_s + T + T;
    const QString empty = u"并且"_s + T + T + u"名称"_s + T + u" 为空 "_s + T + T + T;
    const QString filled = u"或者"_s + T + T + u"代码"_s + T + u"不为空"_s + T + T + T;
    QTest::newRow("values kept, empty tests locked")
        << number + NL + empty + NL + filled << 3 << u"12.5||"_s << u"2,3"_s << u"1,2,3"_s;
    QTest::newRow("trailing line break gives an empty row")
        << number + NL << 2 << u"12.5|"_s << QString() << u"1,-1"_s;
    QTest::newRow("empty text loads as one empty row")
        << QString() << 1 << QString() << QString() << u"-1"_s;
    QTest::newRow("unknown field stays unmatched")
        << T + T + u"没有的字段"_s + T + u"等于"_s + T + u"x"_s << 1 << u"x"_s << QString()
        << u"-1"_s;
    QTest::newRow("short and long lines")
        << u"a"_s + NL + T + T + u"名称"_s + T + u"等于"_s + T + u"v"_s + T + T + T + u"extra"_s
        << 2 << u"|v"_s << QString() << u"-1,2"_s;
    QTest::newRow("lone CR and NUL stay in their cells as spaces")
        << T + T + u"名称"_s + T + u"等于"_s + T + u"a\rb"_s + QChar(0) + u"c"_s + NL +
               u"或者\r"_s + T + T + u"名称"_s
        << 2 << u"a b c|"_s << QString() << u"2,2"_s;
    // A row saved before its field left the list, or written by hand: no field, no alert.
    const QString none = T + T + u"(无)"_s + T + u"等于"_s + T + u"x"_s;
    QTest::newRow("rows naming no field")
        << none + NL + u"并且"_s + none << 2 << u"x|x"_s << QString() << u"0,0"_s;
}

// A stored text comes back row for row with its values (value cells set up for their field
// must not overwrite them) and the empty tests locked.
void tst_SchemeText::loading()
{
    QFETCH(QString, text);
    QFETCH(int, rows);
    QFETCH(QString, values);
    QFETCH(QString, lockedRows);
    QFETCH(QString, fieldIndexes);
    fill(*m_grid, 6, u"1,5=old|4,5=old"_s);
    m_grid->setLocked(5, ConditionGrid::ColValue, true);
    loadScheme(*m_grid, *m_cells, store(text));

    QVERIFY(m_alerts->shown.isEmpty());
    QVERIFY(!m_cells->loadingScheme());
    QCOMPARE(m_grid->MaxRows(), rows);
    QStringList gotValues, gotLocked, gotFields;
    for (int r = 1; r <= rows; ++r) {
        gotValues.append(m_grid->GetCellText(r, ConditionGrid::ColValue));
        if (m_grid->isLocked(r, ConditionGrid::ColValue))
            gotLocked.append(QString::number(r));
        gotFields.append(QString::number(m_grid->GetComboIndex(r, ConditionGrid::ColField)));
    }
    QCOMPARE(gotValues.join(u'|'), values);
    QCOMPARE(gotLocked.join(u','), lockedRows);
    QCOMPARE(gotFields.join(u','), fieldIndexes);
    QCOMPARE(m_grid->cellKind(1, ConditionGrid::ColLogic), CellKind::Text);
    QVERIFY(m_grid->isLocked(1, ConditionGrid::ColLogic));
    QCOMPARE(m_grid->activeRow(), 1);
    QCOMPARE(m_grid->activeCol(), int(ConditionGrid::ColLeftParen));
    // Read without a grid: the same fields and values, written back as the grid saves them.
    const SchemeText::Parsed parsed = SchemeText::parse(text, m_grid->catalog());
    QVERIFY(parsed.ok());
    QCOMPARE(parsed.condition.size(), rows);
    for (int r = 1; r <= rows; ++r) {
        QCOMPARE(parsed.condition.at(r - 1).field, gotFields.at(r - 1).toInt());
        QCOMPARE(parsed.condition.at(r - 1).value.text(), gotValues.at(r - 1));
    }
    QCOMPARE(SchemeText::write(parsed.condition, m_grid->catalog()), SchemeText::gridText(*m_grid));
}

void tst_SchemeText::corpusReadsAsTheGridReads_data()
{
    QTest::addColumn<QString>("text");
    // The fuzzer's inputs: a mode byte, a byte whose low bit chooses UTF-16, then the text.
    const QDir corpus(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../fuzz/corpus/fuzz_schemesql"));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        QFile file(corpus.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (bytes.size() < 2)
            continue;
        const QByteArray body = bytes.mid(2);
        QString text;
        if (bytes.at(1) & 1) {
            for (qsizetype i = 0; i + 1 < body.size(); i += 2)
                text += QChar(char16_t(uchar(body.at(i)) | (uchar(body.at(i + 1)) << 8)));
        } else {
            text = QString::fromUtf8(body);
        }
        QTest::newRow(qPrintable(name)) << text;
    }
}

// Whatever a stored text holds, parse and write give what loading into the grid and saving
// give, byte for byte.
void tst_SchemeText::corpusReadsAsTheGridReads()
{
    QFETCH(QString, text);
    loadScheme(*m_grid, *m_cells, store(text));
    const QString saved = SchemeText::gridText(*m_grid);
    const SchemeText::Parsed parsed = SchemeText::parse(text, m_grid->catalog());
    QVERIFY(parsed.ok());
    const QString written = SchemeText::write(parsed.condition, m_grid->catalog());
    QCOMPARE(written, saved);
    QCOMPARE(SchemeText::write(SchemeText::parse(written, m_grid->catalog()).condition,
                               m_grid->catalog()),
             written);
}

void tst_SchemeText::loadFailures_data()
{
    QTest::addColumn<int>("id"); // -1: the id of the stored text
    QTest::addColumn<bool>("brokenStore");
    QTest::addColumn<int>("alerts");
    QTest::addColumn<QString>("stored"); // written past the store's checks
    QTest::newRow("new-scheme item only empties") << 0 << false << 0 << QString();
    QTest::newRow("no record for the id") << 999999 << false << 1 << QString();
    QTest::newRow("store cannot be opened") << 1 << true << 1 << QString();
    // Another tool may write what the dialog could never load without freezing.
    QTest::newRow("text over the cap")
        << -1 << false << 1 << QString(SchemeText::MaxTextLength + 1, u'\t');
    QTest::newRow("cell over the cap")
        << -1 << false << 1 << T + QString(SchemeText::MaxCellLength + 1, u'x');
    QTest::newRow("too many rows")
        << -1 << false << 1 << QStringList(SchemeText::MaxRows + 1, QString()).join(NL);
}

// A failed load says so once, leaves the grid emptied with its row count and the first logic
// cell locked, and does not leave the loading flag on (later field changes fill defaults).
void tst_SchemeText::loadFailures()
{
    QFETCH(int, id);
    QFETCH(bool, brokenStore);
    QFETCH(int, alerts);
    QFETCH(QString, stored);
    if (id < 0)
        QVERIFY((id = storeRaw(stored)) > 0);
    fill(*m_grid, 4, u"1,3=名称|1,5=old|3,5=old"_s);
    m_grid->setCellKind(1, ConditionGrid::ColLogic, CellKind::List);
    m_grid->setLocked(1, ConditionGrid::ColLogic, false);
    if (brokenStore)
        useStore(m_dir.filePath(u"missing/folder/x.sqlite"_s));
    loadScheme(*m_grid, *m_cells, id);
    QCOMPARE(m_alerts->shown.size(), alerts);
    if (alerts) {
        QCOMPARE(m_alerts->shown.first().message, Texts::schemeLoadFailed());
        QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
    }
    QVERIFY(!m_cells->loadingScheme());
    QCOMPARE(m_grid->MaxRows(), 4);
    for (int r = 1; r <= 4; ++r)
        QCOMPARE(m_grid->GetCellText(r, ConditionGrid::ColValue), QString());
    QVERIFY(m_grid->isLocked(1, ConditionGrid::ColLogic));
    QCOMPARE(m_grid->activeCol(), int(ConditionGrid::ColLeftParen));
}

void tst_SchemeText::savedInAnotherLanguage_data()
{
    QTest::addColumn<QString>("savedIn");
    QTest::addColumn<QString>("loadedIn");
    QTest::addColumn<bool>("captions");    // the host gives the fields captions of the language
    QTest::addColumn<QStringList>("rows"); // logic index|(|column|comparison index|value|)
    QTest::addColumn<QString>("sql");
    const struct
    {
        const char *row;
        QStringList rows;
        QString sql;
    } examples[] = {
        {"contains", {u"-1||FSERIALNUM|6|A01|"_s}, u" ( (tf.FSERIALNUM Like '%A01%') ) "_s},
        {"at least", {u"-1||FQTY|4|12.50kg|"_s}, u" ( (tf.FQTY >= 12.5) ) "_s},
        {"not empty", {u"-1||FDATE|9||"_s}, u" ( ((tf.FDATE Is not null and tf.FDATE<>'' )) ) "_s},
        {"or and parentheses",
         {u"-1|(|FSERIALNUM|0|B7|"_s, u"1||FITEM|8||)"_s},
         u" ( (( tf.FSERIALNUM = 'B7'   Or  (t_FITEM.FName Is null or t_FITEM.FName='' or "
         "t_FITEM.FName='*') )) ) "_s},
    };
    for (const bool captions : {false, true}) {
        for (const auto &[from, to] : {std::pair{"chs", "en"}, std::pair{"en", "chs"}}) {
            for (const auto &e : examples) {
                QTest::addRow("%s saved in %s%s", e.row, from,
                              captions ? ", captions of the language" : "")
                    << QString::fromLatin1(from) << QString::fromLatin1(to) << captions << e.rows
                    << e.sql;
            }
        }
    }
}

// A store shared by users of two languages: a scheme keeps the words of the user who saved
// it, and loads for a user of the other language with the same condition and no alert, also
// when the host gives the fields that user's captions.
void tst_SchemeText::savedInAnotherLanguage()
{
    QFETCH(QString, savedIn);
    QFETCH(QString, loadedIn);
    QFETCH(bool, captions);
    QFETCH(QStringList, rows);
    QFETCH(QString, sql);
    openSerial(savedIn, captions);
    m_grid->SetMaxRows(int(rows.size()) + 1);
    for (int r = 1; r <= rows.size(); ++r) {
        const QStringList cells = rows.at(r - 1).split(u'|');
        if (cells.at(0).toInt() >= 0)
            m_grid->SetComboIndex(r, ConditionGrid::ColLogic, cells.at(0).toInt());
        m_grid->SetCellText(r, ConditionGrid::ColLeftParen, cells.at(1));
        m_grid->SetComboIndex(r, ConditionGrid::ColField,
                              m_grid->catalog().indexOfColumn(cells.at(2)));
        m_grid->SetComboIndex(r, ConditionGrid::ColCompare, cells.at(3).toInt());
        m_grid->SetCellText(r, ConditionGrid::ColValue, cells.at(4));
        m_grid->SetCellText(r, ConditionGrid::ColRightParen, cells.at(5));
    }
    QCOMPARE(composed(), sql);
    const QString saved = SchemeText::gridText(*m_grid);
    const qint32 id = store(saved);

    openSerial(loadedIn, captions);
    loadScheme(*m_grid, *m_cells, id);
    QVERIFY(m_alerts->shown.isEmpty());
    QCOMPARE(composed(), sql);
    // The store and the tool read it alike.
    const SchemeText::Parsed parsed = SchemeText::parse(saved, m_grid->catalog());
    QVERIFY(parsed.problems.isEmpty());
    QCOMPARE(compose(m_grid->catalog(), parsed.condition).text, sql);
    // Saved again, it speaks the language of the user who saves.
    QVERIFY(SchemeText::gridText(*m_grid) != saved);
}

void tst_SchemeText::parsing_data()
{
    QTest::addColumn<QString>("text");
    // the rows' field positions, "," between rows; "1>5": field 1 compared with field 5
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("problems"); // "row:cell:word", "|" between them
    QTest::addColumn<QString>("written");  // write's text; the text itself when null
    const QString equal = u"等于"_s;
    const auto line = [equal](const QString &logic, const QString &field, const QString &code) {
        return logic + T + T + field + T + equal + T + u"x"_s + T + code + T;
    };
    // The standard fields: 数量 1, 名称 2, 代码 3, 仓库 4, 比率 5; 分号 6.
    QTest::newRow("the first row's logic cell is never read")
        << line(u"其他"_s, u"名称"_s, u"field=t1.FName"_s) << u"2"_s << QString() << QString();
    QTest::newRow("a later row's unknown logic word")
        << line({}, u"名称"_s, u"field=t1.FName"_s) + NL + line(u"其他"_s, u"名称"_s, {})
        << u"2,2"_s << u"2:logic:其他"_s
        << line({}, u"名称"_s, u"field=t1.FName"_s) + NL +
               line(u"其他"_s, u"名称"_s, u"field=t1.FName"_s);
    QTest::newRow("unknown field and comparison")
        << T + T + u"无此字段"_s + T + u"相等"_s + T + u"x"_s + T + T << u"-1"_s
        << u"1:field:无此字段|1:compare:相等"_s << QString();
    // Saved under another caption (another language's, or renamed by the host).
    QTest::newRow("field found by identifier under another caption")
        << line({}, u"Name"_s, u"field=t1.FName"_s) << u"2"_s << QString()
        << line({}, u"名称"_s, u"field=t1.FName"_s);
    QTest::newRow("identifier this list lacks: found by caption")
        << line({}, u"名称"_s, u"field=t9.Gone;off=1"_s) << u"2"_s << QString()
        << line({}, u"名称"_s, u"off=1;field=t1.FName"_s);
    QTest::newRow("neither found: the cell kept as stored")
        << line({}, u"Gone"_s, u"a;field=t9.Gone;b=%3B"_s) << u"-1"_s << u"1:field:Gone"_s
        << QString();
    QTest::newRow("an empty field cell names no field, whatever the code cell says")
        << line({}, {}, u"field=t1.FName;x"_s) << u"-1"_s << QString() << line({}, {}, u"x"_s);
    QTest::newRow("text an older scheme kept in the code cell")
        << line({}, u"代码"_s, u"V01"_s) << u"3"_s << QString()
        << line({}, u"代码"_s, u"V01;field=t1.FCode"_s);
    // The facts a row keeps for running stay where they stood, the identifier after them.
    QTest::newRow("switched off, asked, and unknown facts in their places")
        << line({}, u"代码"_s, u"x=1;off=1;ask=1;field=t1.FCode;y"_s) << u"3"_s << QString()
        << line({}, u"代码"_s, u"x=1;off=1;ask=1;y;field=t1.FCode"_s);
    QTest::newRow("a value of off this build does not write is kept")
        << line({}, u"名称"_s, u"off=0;field=t1.FName"_s) << u"2"_s << QString() << QString();
    // A field compared with a field keeps the other one's identifier after its own.
    const auto compared = [](const QString &value, const QString &code) {
        return T + T + u"数量"_s + T + u"大于"_s + T + value + T + code + T;
    };
    const QString qtyRate = u"field=t1.FQty;value=field;valuefield=t1.FRate"_s;
    QTest::newRow("a field compared with a field")
        << compared(u"比率"_s, qtyRate) << u"1>5"_s << QString() << QString();
    QTest::newRow("the field compared with found by identifier, other facts kept")
        << compared(u"Rate"_s, u"x;value=field;field=t1.FQty;valuefield=t1.FRate;y"_s) << u"1>5"_s
        << QString() << compared(u"比率"_s, u"x;y;"_s + qtyRate);
    QTest::newRow("the field compared with found by caption")
        << compared(u"比率"_s, u"value=field"_s) << u"1>5"_s << QString()
        << compared(u"比率"_s, qtyRate);
    QTest::newRow("the field compared with lacking from the list: kept as stored")
        << compared(u"Gone"_s, u"field=t1.FQty;value=field;valuefield=t9.Gone"_s) << u"1>-1"_s
        << QString() << QString();
    QTest::newRow("another value fact is no field")
        << compared(u"比率"_s, u"value=later"_s) << u"1"_s << QString()
        << compared(u"比率"_s, u"value=later;field=t1.FQty"_s);
    QTest::newRow("identifier with the separators inside")
        << line({}, u"Semicolon"_s, u"field=t1.\"a%3Bb%25=\""_s) << u"6"_s << QString()
        << line({}, u"分号"_s, u"field=t1.\"a%3Bb%25=\""_s);
}

// One reader for the grid, the store and the tool: what a stored text names, found by the
// field's identifier before its caption, and the words that named nothing.
void tst_SchemeText::parsing()
{
    QFETCH(QString, text);
    QFETCH(QString, fields);
    QFETCH(QString, problems);
    QFETCH(QString, written);
    m_state.CommonField = commonValues(
        {commonField(u"数量"_s, 3, u"t1.FQty"_s), commonField(u"名称"_s, 200, u"t1.FName"_s),
         commonField(u"代码"_s, 129, u"t1.FCode"_s), commonField(u"仓库"_s, 200, u"t1.FStock"_s, 5),
         commonField(u"比率"_s, 5, u"t1.FRate"_s), commonField(u"分号"_s, 200, u"t1.\"a;b%=\""_s)},
        uniqueScreen());
    Testing::setFields(m_state, *m_grid);
    const FieldCatalog &catalog = m_grid->catalog();
    const SchemeText::Parsed parsed = SchemeText::parse(text, catalog);
    QStringList gotFields, gotProblems;
    for (const ConditionRow &row : parsed.condition)
        gotFields << QString::number(row.field) + (row.value.kind() == ValueKind::Field
                                                       ? u'>' + QString::number(row.value.field())
                                                       : QString());
    const char *cells[] = {"logic", "field", "compare", "value"};
    for (const SchemeText::RowProblem &p : parsed.problems)
        gotProblems << QString::number(p.row) + u':' + QLatin1StringView(cells[int(p.cell)]) +
                           u':' + p.word;
    QCOMPARE(gotFields.join(u','), fields);
    QCOMPARE(gotProblems.join(u'|'), problems);
    const QString expected = written.isNull() ? text : written;
    QCOMPARE(SchemeText::write(parsed.condition, catalog), expected);
    // The grid loads it so and saves it so.
    loadScheme(*m_grid, *m_cells, store(text));
    QCOMPARE(m_grid->condition().rows().first().field, parsed.condition.at(0).field);
    QCOMPARE(SchemeText::gridText(*m_grid), expected);
}

// A translation that gives two comparisons one word: the grid, the store and the tool all
// take the first, as the list finds it, and compose the same condition.
void tst_SchemeText::oneWordTwoPositions()
{
    const CollidingWords words(u"SCHEMEDB="_s + m_dir.filePath(u"text.sqlite"_s) + u';');
    Testing::setFields(m_state, *m_grid);
    const QString text = T + T + u"名称"_s + T + u"Contains"_s + T + u"x"_s + T + T;
    loadScheme(*m_grid, *m_cells, store(text));
    QCOMPARE(m_grid->GetComboIndex(1, ConditionGrid::ColCompare), int(CompareOp::Equal));
    const SchemeText::Parsed parsed = SchemeText::parse(text, m_grid->catalog());
    QCOMPARE(parsed.condition.at(0).compare, CompareOp::Equal);
    QCOMPARE(composed(), u" ( (t1.FName = 'x') ) "_s);
}

QTEST_MAIN(tst_SchemeText)
#include "tst_schemetext.moc"
