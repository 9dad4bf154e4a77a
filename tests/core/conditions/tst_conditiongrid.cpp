// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The condition grid model: design state, user edits against the dialog's own writes, block
// text, row count and the key rule; the rows a typed condition makes of the grid, and what
// completion offers while it is typed.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/conditionrows.h"
#include "core/conditions/typedcondition.h"
#include "core/conditions/vocabulary.h"
#include "testsupport/descriptions.h"

#include <NxSerialFilter/limits.h>

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace NxSerialFilter;

Q_DECLARE_METATYPE(CellKind)

namespace {

using G = ConditionGrid;

QModelIndex at(const ConditionGrid &grid, int row, int col)
{
    return grid.index(row - 1, col - 1);
}

const QString tab = QStringLiteral("\t");

/// Rows written "field:value", field "-" for none, "&" or "|" before it for And or Or, "!"
/// after it for a row switched off: "1:a &3:b!".
Condition rowsOf(const QString &text)
{
    Condition rows;
    for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
        ConditionRow row;
        if (word.startsWith(u'&') || word.startsWith(u'|')) {
            row.logic = word.front() == u'&' ? LogicOp::And : LogicOp::Or;
            word.remove(0, 1);
        }
        row.off = word.endsWith(u'!');
        if (row.off)
            word.chop(1);
        const QString field = word.section(u':', 0, 0);
        row.field = field == u"-" ? -1 : field.toInt();
        row.value = word.section(u':', 1);
        rows.append(row);
    }
    return rows;
}

QString textOf(const Condition &rows)
{
    QStringList words;
    for (const ConditionRow &row : rows) {
        QString word = row.logic == LogicOp::And  ? u"&"_qs
                       : row.logic == LogicOp::Or ? u"|"_qs
                                                  : QString();
        word += (row.field < 0 ? u"-"_qs : QString::number(row.field)) + u':' + row.value.text();
        if (row.off)
            word += u'!';
        words << word;
    }
    return words.join(u' ');
}

} // namespace

class tst_ConditionGrid : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ConditionGrid> m_grid;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<QSignalSpy> m_changed;

private Q_SLOTS:
    void init()
    {
        // Any complaint of the model tester or of checkIndex is a fault of the model.
        QTest::failOnWarning(QRegularExpression(u"."_qs));
        m_grid = std::make_unique<ConditionGrid>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_grid.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_changed = std::make_unique<QSignalSpy>(m_grid.get(), &ConditionGrid::cellChanged);
    }

    void cleanup()
    {
        m_changed.reset();
        m_tester.reset();
        m_grid.reset();
    }

    void designState_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("twips");
        QTest::addColumn<CellKind>("kind");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("logic") << 1 << u"逻辑"_qs << 570 << CellKind::List
                               << QStringList{u"并且"_qs, u"或者"_qs};
        QTest::newRow("left paren") << 2 << u"("_qs << 645 << CellKind::ListText
                                    << QStringList{u"("_qs, u"(("_qs, u"((("_qs, u"(((("_qs};
        QTest::newRow("field") << 3 << u"字段"_qs << 1110 << CellKind::List << QStringList{};
        QTest::newRow("compare") << 4 << u"比较"_qs << 900 << CellKind::List
                                 << QStringList{u"等于"_qs,       u"大于"_qs,       u"小于"_qs,
                                                u"小于或等于"_qs, u"大于或等于"_qs, u"不等于"_qs,
                                                u"包含"_qs,       u"不包含"_qs,     u"为空"_qs,
                                                u"不为空"_qs,     u"包括"_qs,       u"不包括"_qs};
        QTest::newRow("value") << 5 << u"数值"_qs << 1185 << CellKind::Text << QStringList{};
        QTest::newRow("value code (hidden)")
            << 6 << u"比较值代码"_qs << 0 << CellKind::Text << QStringList{};
        QTest::newRow("right paren") << 7 << u")"_qs << 645 << CellKind::ListText
                                     << QStringList{u")"_qs, u"))"_qs, u")))"_qs, u"))))"_qs};
    }

    void designState()
    {
        QFETCH(int, col);
        QFETCH(QString, header);
        QFETCH(int, twips);
        QFETCH(CellKind, kind);
        QFETCH(QStringList, items);
        QCOMPARE(m_grid->MaxRows(), 8);
        QCOMPARE(m_grid->MaxCols(), 7);
        QCOMPARE(m_grid->GetCellText(0, col), header);
        QCOMPARE(m_grid->headerData(col - 1, Qt::Horizontal).toString(), header);
        QCOMPARE(ConditionGrid::columnWidthTwips(col), twips);
        QCOMPARE(m_grid->cellKind(2, col), kind);
        QCOMPARE(m_grid->columnItems(col), items);
        QCOMPARE(m_grid->GetComboIndex(2, col), -1);
        QCOMPARE(ConditionGrid::columnWidthTwips(0), 0); // rows show no numbers
    }

    // The first condition has no logic word: a plain, locked, empty cell.
    void firstLogicCellIsPlainAndLocked()
    {
        QCOMPARE(m_grid->cellKind(1, G::ColLogic), CellKind::Text);
        QVERIFY(m_grid->isLocked(1, G::ColLogic));
        QVERIFY(!(m_grid->flags(at(*m_grid, 1, G::ColLogic)) & Qt::ItemIsEditable));
        QVERIFY(!m_grid->setData(at(*m_grid, 1, G::ColLogic), u"并且"_qs));
        QCOMPARE(m_grid->GetCellText(1, G::ColLogic), QString());
        QCOMPARE(m_grid->cellKind(2, G::ColLogic), CellKind::List);
        QVERIFY(!m_grid->isLocked(2, G::ColLogic));
    }

    void userEdits_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<CellKind>("kind");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("events");

        const CellKind text = CellKind::Text;
        QTest::newRow("value text")
            << 5 << text << false << u"abc"_qs << true << u"abc"_qs << -1 << 1;
        QTest::newRow("quote dropped from a pasted value")
            << 5 << text << false << u"O'Brien"_qs << true << u"OBrien"_qs << -1 << 1;
        QTest::newRow("tab and line breaks of a paste become spaces")
            << 5 << text << false << u"a\tb\r\nc"_qs << true << u"a b  c"_qs << -1 << 1;
        QTest::newRow("NUL of a paste becomes a space")
            << 5 << text << false << u"a"_qs + QChar(0) + u"b"_qs << true << u"a b"_qs << -1 << 1;
        QTest::newRow("left paren keeps only (")
            << 2 << CellKind::ListText << false << u"(a)('"_qs << true << u"(("_qs << 1 << 1;
        QTest::newRow("left paren text not an item")
            << 2 << CellKind::ListText << false << u"((((("_qs << true << u"((((("_qs << -1 << 1;
        QTest::newRow("right paren keeps only )")
            << 7 << CellKind::ListText << false << u"x)')"_qs << true << u"))"_qs << 1 << 1;
        QTest::newRow("paste with nothing allowed leaves the cell as it was")
            << 7 << CellKind::ListText << false << u"abc"_qs << true << QString() << -1 << 0;
        QTest::newRow("locked cell refuses")
            << 5 << text << true << u"abc"_qs << false << QString() << -1 << 0;
        QTest::newRow("integer") << 5 << CellKind::Integer << false << u"-12"_qs << true
                                 << u"-12"_qs << -1 << 1;
        QTest::newRow("integer refuses a fraction")
            << 5 << CellKind::Integer << false << u"1.5"_qs << false << QString() << -1 << 0;
        QTest::newRow("integer refuses a lone minus")
            << 5 << CellKind::Integer << false << u"-"_qs << false << QString() << -1 << 0;
        QTest::newRow("date") << 5 << CellKind::Date << false << u"2024-03-05"_qs << true
                              << u"2024-03-05"_qs << -1 << 1;
        QTest::newRow("date refuses a day that does not exist")
            << 5 << CellKind::Date << false << u"2024-02-30"_qs << false << QString() << -1 << 0;
        QTest::newRow("date of one-digit month and day kept as shown")
            << 5 << CellKind::Date << false << u"2023-7-9"_qs << true << u"2023-07-09"_qs << -1
            << 1;
        QTest::newRow("date with slashes") << 5 << CellKind::Date << false << u" 2024/02/29 "_qs
                                           << true << u"2024-02-29"_qs << -1 << 1;
        QTest::newRow("date of digits only") << 5 << CellKind::Date << false << u"20240131"_qs
                                             << true << u"2024-01-31"_qs << -1 << 1;
        QTest::newRow("date of digits refuses a day that does not exist")
            << 5 << CellKind::Date << false << u"20240230"_qs << false << QString() << -1 << 0;
        QTest::newRow("date refuses month 13")
            << 5 << CellKind::Date << false << u"2024-13-45"_qs << false << QString() << -1 << 0;
        QTest::newRow("date refuses mixed separators")
            << 5 << CellKind::Date << false << u"2024-03/05"_qs << false << QString() << -1 << 0;
        QTest::newRow("list cell takes its item by text")
            << 4 << CellKind::List << false << u"不等于"_qs << true << u"不等于"_qs << 5 << 1;
    }

    // User edits obey the key rule and the cell's kind, and each real change raises one event.
    void userEdits()
    {
        QFETCH(int, col);
        QFETCH(CellKind, kind);
        QFETCH(bool, locked);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, stored);
        QFETCH(int, index);
        QFETCH(int, events);
        const int row = 3;
        m_grid->setCellKind(row, col, kind);
        m_grid->setLocked(row, col, locked);
        QCOMPARE(m_grid->setData(at(*m_grid, row, col), typed), accepted);
        QCOMPARE(m_grid->GetCellText(row, col), stored);
        QCOMPARE(m_grid->GetComboIndex(row, col), index);
        QCOMPARE(m_changed->count(), events);
        if (events)
            QCOMPARE(m_changed->first(), (QVariantList{col, row}));
    }

    // The dialog's own writes must not come back as cell events, or its handlers would run
    // on their own output.
    void dialogWritesRaiseNoEvent()
    {
        m_grid->SetCellText(2, G::ColValue, u"x"_qs);
        m_grid->SetComboIndex(2, G::ColCompare, 3);
        m_grid->setCellKind(2, G::ColValue, CellKind::Integer);
        m_grid->setLocked(2, G::ColValue, true);
        m_grid->SetMaxRows(12);
        m_grid->DeleteRow(4);
        m_grid->SelectBlock(1, 2, 1, 7);
        m_grid->setBlockText(u"a\tb"_qs);
        QCOMPARE(m_changed->count(), 0);

        QVERIFY(m_grid->setData(at(*m_grid, 3, G::ColCompare), 8, G::ComboIndexRole));
        QCOMPARE(m_changed->count(), 1);
        QCOMPARE(m_grid->GetCellText(3, G::ColCompare), u"为空"_qs);
        // Choosing the chosen item again is no change.
        QVERIFY(m_grid->setData(at(*m_grid, 3, G::ColCompare), 8, G::ComboIndexRole));
        QCOMPARE(m_changed->count(), 1);
        QVERIFY(!m_grid->setData(at(*m_grid, 3, G::ColCompare), 12, G::ComboIndexRole));
    }

    // Closing an editor without a change must not filter what a look-up wrote.
    void unchangedEditKeepsLookupValue()
    {
        m_grid->SetCellText(2, G::ColValue, u"O'Neil"_qs);
        QVERIFY(m_grid->setData(at(*m_grid, 2, G::ColValue), u"O'Neil"_qs));
        QCOMPARE(m_grid->GetCellText(2, G::ColValue), u"O'Neil"_qs);
        QCOMPARE(m_changed->count(), 0);
    }

    void blockTextRead()
    {
        m_grid->SetMaxRows(2);
        m_grid->SetCellText(1, 5, u"a"_qs);
        m_grid->SetCellText(1, 6, u"b"_qs);
        m_grid->setCellKind(1, 7, CellKind::Text);
        m_grid->SetCellText(1, 7, u"c"_qs);
        m_grid->SetCellText(2, 5, u"d"_qs);
        m_grid->setCellKind(2, 7, CellKind::Text);
        m_grid->SetCellText(2, 7, u"f"_qs);
        m_grid->SelectBlock(1, 2, 5, 7);
        QCOMPARE(m_grid->blockText(), u"a\tb\tc\r\nd\t\tf"_qs);

        // List cells give their chosen item's text; a whole grid has one line per row.
        m_grid->SetComboIndex(2, G::ColLogic, 1);
        m_grid->SetComboIndex(2, G::ColCompare, 9);
        m_grid->SelectBlock(1, 2, 1, 7);
        QCOMPARE(m_grid->blockText(), u"\t\t\t\ta\tb\tc\r\n或者\t\t\t不为空\td\t\tf"_qs);
    }

    void blockTextWrite_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("index");

        const QString line = u"并且\t((\t物料\t包含\tabc\tcode\t)"_qs;
        QTest::newRow("logic item chosen") << line << 2 << 1 << u"并且"_qs << 0;
        QTest::newRow("paren item chosen") << line << 2 << 2 << u"(("_qs << 1;
        QTest::newRow("field item chosen") << line << 2 << 3 << u"物料"_qs << 1;
        QTest::newRow("compare item chosen") << line << 2 << 4 << u"包含"_qs << 6;
        QTest::newRow("value") << line << 2 << 5 << u"abc"_qs << -1;
        QTest::newRow("value code") << line << 2 << 6 << u"code"_qs << -1;
        QTest::newRow("unknown field shown, no choice")
            << u"\t\t旧字段"_qs << 2 << 3 << u"旧字段"_qs << -1;
        QTest::newRow("empty list text is no choice") << u"\t\t\t"_qs << 2 << 4 << QString() << -1;
        QTest::newRow("cells beyond the block dropped")
            << u"\t\t\t\t\t\t)\textra"_qs << 2 << 7 << u")"_qs << 0;
        QTest::newRow("lines beyond the block dropped")
            << u"\r\n\r\n\r\n\t\t\t\tlate"_qs << 4 << 5 << u"kept"_qs << -1;
        QTest::newRow("cell that receives nothing keeps its text")
            << u"\t\t\t等于"_qs << 2 << 5 << u"kept"_qs << -1;
        QTest::newRow("lone line feed inside a cell becomes a space")
            << u"\t\t\t\ta\nb"_qs << 2 << 5 << u"a b"_qs << -1;
        // A stored text can hold what no keyboard types; the condition's SQL must not see it.
        QTest::newRow("NUL inside a cell becomes a space")
            << u"\t\t\t\ta"_qs + QChar(0) + u"b"_qs << 2 << 5 << u"a b"_qs << -1;
        QTest::newRow("unpaired high surrogate before a quote replaced")
            << u"\t\t\t\ta"_qs + QChar(0xD800) + u"'"_qs << 2 << 5 << u"a\uFFFD'"_qs << -1;
        QTest::newRow("unpaired low surrogate replaced")
            << u"\t\t\t\t"_qs + QChar(0xDC00) + u"x"_qs << 2 << 5 << u"\uFFFDx"_qs << -1;
        QTest::newRow("surrogate pair kept")
            << u"\t\t\t\t\U0001F600"_qs << 2 << 5 << u"\U0001F600"_qs << -1;
    }

    // The scheme text relies on block text: lines by CR LF, cells by TAB, list cells matched.
    void blockTextWrite()
    {
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, shown);
        QFETCH(int, index);
        m_grid->setColumnItems(G::ColField, {u"(无)"_qs, u"物料"_qs, u"数量"_qs});
        m_grid->SetCellText(row, 5, u"kept"_qs);
        m_grid->SetCellText(4, 5, u"kept"_qs);
        m_grid->SelectBlock(2, 3, 1, 7);
        m_grid->setBlockText(text);
        QCOMPARE(m_grid->GetCellText(row, col), shown);
        QCOMPARE(m_grid->GetComboIndex(row, col), index);
    }

    // The hidden code cell is the stored form of a row's off flag and question, and a question
    // stays one whatever its comparison reads: taken for a value, its text would be compared.
    void codeCellCarriesOffAndQuestion()
    {
        ConditionRow row;
        row.compare = CompareOp::InList;
        row.value = ConditionValue::fromText(ValueKind::Asked, u"客户"_qs);
        m_grid->setCondition(Condition{row, ConditionRow{}});
        QCOMPARE(m_grid->condition().at(0).value.kind(), ValueKind::Asked);
        m_grid->SetCellText(2, G::ColValue, u"a,b"_qs);
        m_grid->SetCellText(2, G::ColValueCode, u"x;off=1;ask=1"_qs);
        QVERIFY(m_grid->condition().at(1).off);
        QCOMPARE(m_grid->condition().at(1).value,
                 ConditionValue::fromText(ValueKind::Asked, u"a,b"_qs));
        m_grid->SetCellText(2, G::ColValueCode, u"x"_qs);
        QVERIFY(!m_grid->condition().at(1).off);
        QCOMPARE(m_grid->condition().at(1).value.kind(), ValueKind::Text);
    }

    void blockTextRoundTrip()
    {
        m_grid->setColumnItems(G::ColField, {u"(无)"_qs, u"物料"_qs});
        const QString text = u"\t(\t物料\t等于\tx y\t\t)\r\n或者\t\t物料\t为空\t\t\t"_qs;
        m_grid->SelectBlock(1, 2, 1, 7);
        m_grid->setBlockText(text);
        QCOMPARE(m_grid->blockText(), text);
        QCOMPARE(m_grid->GetComboIndex(2, G::ColLogic), 1);
        QCOMPARE(m_grid->GetComboIndex(2, G::ColCompare), 8);
    }

    void rowCount_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("rows");
        QTest::newRow("more") << 1000 << 1000;
        QTest::newRow("fewer") << 3 << 3;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("zero keeps one row") << 0 << 1;
        QTest::newRow("negative keeps one row") << -4 << 1;
    }

    void rowCount()
    {
        QFETCH(int, asked);
        QFETCH(int, rows);
        m_grid->setActiveCell(8, 3);
        m_grid->SetMaxRows(asked);
        QCOMPARE(m_grid->MaxRows(), rows);
        QCOMPARE(m_grid->rowCount(), rows);
        QVERIFY(m_grid->activeRow() <= rows);
    }

    void deleteRow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("middle") << 5 << 3 << QStringList{u"1"_qs, u"2"_qs, u"4"_qs, u"5"_qs};
        QTest::newRow("first") << 5 << 1 << QStringList{u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs};
        QTest::newRow("last") << 5 << 5 << QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
        QTest::newRow("outside the grid") << 2 << 3 << QStringList{u"1"_qs, u"2"_qs};
        QTest::newRow("only row leaves an empty row") << 1 << 1 << QStringList{QString()};
    }

    void deleteRow()
    {
        QFETCH(int, rows);
        QFETCH(int, deleted);
        QFETCH(QStringList, values);
        m_grid->SetMaxRows(rows);
        for (int r = 1; r <= rows; ++r)
            m_grid->SetCellText(r, G::ColValue, QString::number(r));
        m_grid->DeleteRow(deleted);
        QStringList after;
        for (int r = 1; r <= m_grid->MaxRows(); ++r)
            after << m_grid->GetCellText(r, G::ColValue);
        QCOMPARE(after, values);
    }

    void rowCommands_data()
    {
        // Each step "delete:row" or "insert:row" on a condition of rows rows (the last one
        // blank), whose row 2 joins with a logic word no list holds; each step's answer.
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("deleting row 1") << 4 << u"delete:1"_qs << u"true"_qs << 3;
        QTest::newRow("inserting above row 2, then deleting row 1")
            << 4 << u"insert:2 delete:1 delete:1"_qs << u"true true true"_qs << 3;
        const int cap = int(Limits::MaxSchemeRows);
        QTest::newRow("an insert at one below the row cap, once")
            << cap - 1 << u"insert:1 insert:1 insert:3"_qs << u"true false false"_qs << cap;
        QTest::newRow("outside the rows")
            << 3 << u"delete:0 delete:4 insert:0 insert:5"_qs << u"false false false false"_qs << 3;
    }

    // The row commands keep the grid's row rules: the first row shows no logic word, not even
    // one no list holds, and the rows stay within the cap.
    void rowCommands()
    {
        QFETCH(int, rows);
        QFETCH(QString, steps);
        QFETCH(QString, answers);
        QFETCH(int, rowsAfter);
        Condition condition;
        condition.rows().resize(rows);
        for (int i = 0; i + 1 < rows; ++i) { // the last row blank, as the grid keeps it
            ConditionRow &row = condition[i];
            row.field = 1;
            row.value = QString::number(i + 1);
            row.logic = i == 0 ? LogicOp::None : LogicOp::And;
        }
        condition[1].logic = LogicOp::None;
        condition[1].unmatched.logic = u"其他"_qs;
        QStringList got;
        for (const QString &step : steps.split(u' ')) {
            const int row = step.section(u':', 1).toInt();
            const bool done = step.startsWith(u"delete"_qs)
                                  ? ConditionRows::deleteRow(condition, row)
                                  : ConditionRows::insertRows(condition, row);
            got << (done ? u"true"_qs : u"false"_qs);
        }
        QCOMPARE(got.join(u' '), answers);
        QCOMPARE(condition.size(), qsizetype(rowsAfter));
        QCOMPARE(condition.at(0).logic, LogicOp::None);
        QCOMPARE(condition.at(0).unmatched.logic, QString());
    }

    void typedRows_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("after"); // without the blank row the grid keeps last
        QTest::newRow("a switched-off row follows the rows read")
            << u"1:a &1:b! &1:c"_qs << u"3:x |3:y"_qs << u"3:x |3:y &1:b!"_qs;
        QTest::newRow("an empty text keeps the switched-off row, first now")
            << u"1:a! &1:b"_qs << QString() << u"1:a!"_qs;
        QTest::newRow("rows below the condition's end stay below it")
            << u"1:a -:b &1:c"_qs << u"3:x"_qs << u"3:x &-:b &1:c"_qs;
        QTest::newRow("no hidden row: the rows read alone")
            << u"1:a &1:b"_qs << u"3:x"_qs << u"3:x"_qs;
        QTest::newRow("a switched-off row without a field is no end of the condition")
            << u"1:a -:b! &1:c"_qs << u"3:x"_qs << u"3:x &-:b!"_qs;
    }

    // Typing the condition replaces the rows its words show and loses none of the others.
    void typedRows()
    {
        QFETCH(QString, grid);
        QFETCH(QString, read);
        QFETCH(QString, after);
        const FieldCatalog catalog =
            FieldCatalog::fromSerialDescription(Testing::standardSerialDescription());
        Condition rows = rowsOf(grid);
        rows.append(ConditionRow{}); // the grid's blank row for new input
        const Condition typed = TypedCondition::merged(catalog, rows, rowsOf(read));
        QCOMPARE(textOf(ConditionRows::withoutBlankEnd(typed)), after);
        QVERIFY(ConditionRows::isBlank(typed.at(typed.size() - 1)));
    }

    // The row replacing the only row is a first row: its logic cell plain and locked.
    void deletingOnlyRowKeepsAFirstRow()
    {
        m_grid->SetMaxRows(1);
        m_grid->setLocked(1, G::ColLogic, false);
        m_grid->setCellKind(1, G::ColLogic, CellKind::List);
        m_grid->SetComboIndex(1, G::ColLogic, 1);
        m_grid->DeleteRow(1);
        QCOMPARE(m_grid->MaxRows(), 1);
        QCOMPARE(m_grid->cellKind(1, G::ColLogic), CellKind::Text);
        QVERIFY(m_grid->isLocked(1, G::ColLogic));
        QCOMPARE(m_grid->GetCellText(1, G::ColLogic), QString());
        QVERIFY(!m_grid->isLocked(1, G::ColValue));
    }

    void wholeColumnBlockItems()
    {
        m_grid->SetMaxRows(3);
        m_grid->SelectBlock(-1, -1, G::ColField, G::ColField);
        QVERIFY(m_grid->blockMode());
        m_grid->setBlockItems(u"(无)\tA\tB"_qs);
        m_grid->setBlockMode(false);
        QCOMPARE(m_grid->columnItems(G::ColField), (QStringList{u"(无)"_qs, u"A"_qs, u"B"_qs}));
        QCOMPARE(m_grid->data(at(*m_grid, 3, G::ColField), G::ItemsRole).toStringList(),
                 m_grid->columnItems(G::ColField));
        m_grid->SelectBlock(-1, -1, G::ColCompare, G::ColCompare);
        QCOMPARE(m_grid->blockItems().split(tab), Vocabulary::compareItems());

        // A chosen index that a shorter list no longer has is no choice, even one just past
        // its end, and stays none when the list grows back.
        m_grid->SetComboIndex(2, G::ColField, 2);
        m_grid->SetComboIndex(3, G::ColField, 1);
        m_grid->setColumnItems(G::ColField, {u"(无)"_qs, u"A"_qs});
        QCOMPARE(m_grid->GetComboIndex(2, G::ColField), -1);
        QCOMPARE(m_grid->GetCellText(2, G::ColField), QString());
        QCOMPARE(m_grid->GetComboIndex(3, G::ColField), 1);
        m_grid->setColumnItems(G::ColField, {u"(无)"_qs, u"A"_qs, u"B"_qs});
        QCOMPARE(m_grid->GetComboIndex(2, G::ColField), -1);
        QCOMPARE(m_grid->GetCellText(2, G::ColField), QString());
        QCOMPARE(m_grid->GetComboIndex(3, G::ColField), 1);
    }

    // Clearing returns cells to their column's settings, as loading a scheme needs.
    void clearBlockDropsCellSettings()
    {
        m_grid->setCellKind(2, G::ColValue, CellKind::Date);
        m_grid->SetCellText(2, G::ColValue, u"2024-03-05"_qs);
        m_grid->setLocked(2, G::ColValue, true);
        m_grid->SetComboIndex(2, G::ColCompare, 2);
        m_grid->SelectBlock(1, m_grid->MaxRows(), 1, m_grid->MaxCols());
        m_grid->clearBlock();
        QCOMPARE(m_grid->cellKind(2, G::ColValue), CellKind::Text);
        QVERIFY(!m_grid->isLocked(2, G::ColValue));
        QCOMPARE(m_grid->GetCellText(2, G::ColValue), QString());
        QCOMPARE(m_grid->GetComboIndex(2, G::ColCompare), -1);
    }

    void changingKindKeepsShownText()
    {
        m_grid->SetCellText(2, G::ColValue, u"2024-03-05"_qs);
        m_grid->setCellKind(2, G::ColValue, CellKind::Date);
        QCOMPARE(m_grid->GetCellText(2, G::ColValue), u"2024-03-05"_qs);
        QCOMPARE(m_grid->data(at(*m_grid, 2, G::ColValue), G::KindRole).toInt(),
                 int(CellKind::Date));
        // A list cell made plain keeps the word it showed.
        m_grid->SetComboIndex(3, G::ColLogic, 1);
        m_grid->setCellKind(3, G::ColLogic, CellKind::Text);
        QCOMPARE(m_grid->GetCellText(3, G::ColLogic), u"或者"_qs);
        QCOMPARE(m_grid->GetComboIndex(3, G::ColLogic), -1);
    }

    void activeCell()
    {
        QSignalSpy moved(m_grid.get(), &ConditionGrid::activeCellChanged);
        m_grid->setActiveCell(1, G::ColLeftParen);
        QCOMPARE(m_grid->activeRow(), 1);
        QCOMPARE(m_grid->activeCol(), 2);
        m_grid->setActiveCell(99, 99);
        QCOMPARE(m_grid->activeRow(), 8);
        QCOMPARE(m_grid->activeCol(), 7);
        QCOMPARE(moved.count(), 2);
    }

    void keyRule_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("passes");
        for (int col = 1; col <= 7; ++col) {
            QTest::addRow("quote in column %d", col) << QChar(u'\'') << col << false;
            QTest::addRow("backspace in column %d", col) << QChar(8) << col << true;
        }
        QTest::newRow("( in column 2") << QChar(u'(') << 2 << true;
        QTest::newRow(") in column 2") << QChar(u')') << 2 << false;
        QTest::newRow("a in column 2") << QChar(u'a') << 2 << false;
        QTest::newRow(") in column 7") << QChar(u')') << 7 << true;
        QTest::newRow("( in column 7") << QChar(u'(') << 7 << false;
        QTest::newRow("digit in column 7") << QChar(u'1') << 7 << false;
        QTest::newRow("a in column 5") << QChar(u'a') << 5 << true;
        QTest::newRow("( in column 5") << QChar(u'(') << 5 << true;
        QTest::newRow("chinese in column 5") << QChar(u'值') << 5 << true;
    }

    void keyRule()
    {
        QFETCH(QChar, typed);
        QFETCH(int, col);
        QFETCH(bool, passes);
        QCOMPARE(Vocabulary::keptKey(typed.unicode(), col), passes ? typed.unicode() : ushort(0));
        QCOMPARE(ConditionGrid::userInputFor(col, QString(typed)),
                 passes ? QString(typed) : QString());
    }

    void wordTables()
    {
        QCOMPARE(Vocabulary::logicWords(), (QStringList{u"And"_qs, u"Or"_qs}));
        QCOMPARE(Vocabulary::compareWords(),
                 (QStringList{u"="_qs, u">"_qs, u"<"_qs, u"<="_qs, u">="_qs, u"<>"_qs, u"Like"_qs,
                              u"Not Like"_qs, u"Is null"_qs, u"Is not null"_qs, u"In"_qs,
                              u"Not In"_qs}));
        QCOMPARE(Vocabulary::compareItems().size(), Vocabulary::compareWords().size());
        QCOMPARE(Vocabulary::logicItems().size(), Vocabulary::logicWords().size());
    }
};

QTEST_GUILESS_MAIN(tst_ConditionGrid)
#include "tst_conditiongrid.moc"
