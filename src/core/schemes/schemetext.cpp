// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/schemes/schemetext.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/offrows.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/conditions/rowfacts.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemetext.h>

#include <QHash>
#include <QMultiHash>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace NxSerialFilter::SchemeText {

namespace {

/// Reads the words of one list cell: the current language first, then every language the
/// component ships, so that a scheme saved in one language reads in every other.
class WordMatcher
{
public:
    explicit WordMatcher(QStringList designItems)
        : m_design(std::move(designItems))
    {
        m_current.reserve(m_design.size());
        for (const QString &item : std::as_const(m_design))
            m_current.append(Language::designText(item));
    }

    /// The position of word; -1 when no language has it.
    int find(QStringView word)
    {
        // A short list: comparing costs less than hashing. Of two items with the same word,
        // the first is found, as the list finds it.
        for (qsizetype i = 0; i < m_current.size(); ++i) {
            const QString &item = m_current.at(i);
            if (item.size() == word.size() && (word.isEmpty() || item.front() == word.front()) &&
                item == word)
                return int(i);
        }
        if (!m_shippedRead) {
            m_shippedRead = true;
            for (const QStringList &list : Vocabulary::inShippedLanguages(m_design)) {
                for (qsizetype i = 0; i < list.size(); ++i) {
                    if (!m_shipped.contains(list.at(i)))
                        m_shipped.insert(list.at(i), int(i));
                }
            }
        }
        return m_shipped.value(word.toString(), -1);
    }

private:
    QStringList m_design;
    QStringList m_current;
    QHash<QString, int> m_shipped;
    bool m_shippedRead = false;
};

/// The cells of one line of a scheme text, read in place; cells beyond the grid's columns are
/// ignored.
class Cells
{
public:
    /// Reads the line that starts at position at of text; moves at to the next line's start.
    /// Returns false for the last line.
    bool read(QStringView text, qsizetype &at)
    {
        std::fill(std::begin(m_cells), std::end(m_cells), QStringView());
        std::fill(std::begin(m_present), std::end(m_present), false);
        const qsizetype n = text.size();
        qsizetype start = at;
        int col = 0;
        bool more = false;
        for (; at < n; ++at) {
            const QChar ch = text[at];
            if (ch == u'\t') {
                take(col++, text.sliced(start, at - start));
                start = at + 1;
            } else if (ch == u'\r' && at + 1 < n && text[at + 1] == u'\n') {
                more = true;
                break;
            }
        }
        take(col, text.sliced(start, at - start));
        if (more)
            at += 2;
        return more;
    }

    /// The cell in grid column col as the grid holds it: a stored copy.
    QString text(int col) const
    {
        const int i = col - 1;
        return m_present[i] ? wellFormedCell(m_cells[i].toString()) : QString();
    }

    /// The cell in grid column col for a look-up: in place unless it needs mending, then in
    /// held.
    QStringView word(int col, QString &held) const
    {
        const QStringView cell = m_cells[col - 1];
        if (isWellFormedCell(cell))
            return cell;
        held = wellFormedCell(cell.toString());
        return held;
    }

private:
    static constexpr int Count = ConditionGrid::ColRightParen;

    void take(int col, QStringView cell)
    {
        if (col < Count) {
            m_cells[col] = cell;
            m_present[col] = true;
        }
    }

    QStringView m_cells[Count];
    bool m_present[Count] = {};
};

/// Where a stored row's field identifier leads: the positions of each identifier, read from
/// the catalog when a row first names one.
class FieldIds
{
public:
    explicit FieldIds(const QList<CatalogEntry> &entries)
        : m_entries(entries)
    {}

    /// The position of the field with identifier id, the one of them captioned caption when
    /// several share it; -1 when none has it.
    int find(const QString &id, QStringView caption)
    {
        if (!m_read) {
            m_read = true;
            for (qsizetype k = m_entries.size() - 1; k >= 1; --k)
                m_ids.insert(m_entries.at(k).identifier, int(k));
        }
        int first = -1;
        for (auto it = m_ids.constFind(id); it != m_ids.constEnd() && it.key() == id; ++it) {
            if (m_entries.at(it.value()).caption == caption)
                return it.value();
            first = first < 0 ? it.value() : std::min(first, it.value());
        }
        return first;
    }

private:
    const QList<CatalogEntry> &m_entries;
    QMultiHash<QString, int> m_ids;
    bool m_read = false;
};

} // namespace

Parsed parse(const QString &text, const FieldCatalog &catalog)
{
    Parsed parsed;
    try {
        checkSize(text);
    } catch (const FilterError &e) {
        parsed.refusal = e.description();
        return parsed;
    }
    WordMatcher logicWords(Vocabulary::logicItems());
    // The value lists are no item of the comparison list: a stored text does not name them.
    WordMatcher compareWords(Vocabulary::compareItems());
    // The first position of each caption, as the list finds it; the keys are the catalog's.
    const QString noField = Language::text(Texts::noField());
    QHash<QStringView, int> fields;
    fields.reserve(catalog.count());
    const QList<CatalogEntry> &entries = catalog.data().entries;
    for (qsizetype k = entries.size() - 1; k >= 1; --k)
        fields.insert(entries.at(k).caption, int(k));
    fields.insert(noField, 0);
    fields.remove(QStringView()); // an empty text is no choice
    FieldIds ids(entries);
    QList<ConditionRow> &rows = parsed.condition.rows();
    rows.reserve(text.count(u'\n') + 1);
    qsizetype at = 0;
    int r = 0;
    Cells cells;
    // One row per line; an empty text reads as one empty row, as a grid never has fewer.
    for (bool more = true; more;) {
        more = cells.read(text, at);
        ++r;
        ConditionRow row;
        QString held[3]; // the look-up cells that needed mending
        const QStringView logic = cells.word(ConditionGrid::ColLogic, held[0]);
        const int logicAt = logic.isEmpty() ? -1 : logicWords.find(logic);
        if (logicAt >= 0) {
            row.logic = LogicOp(logicAt);
        } else if (!logic.isEmpty()) {
            row.unmatched.logic = logic.toString();
            if (r > 1) // the first row's logic is never read
                parsed.problems.append({r, RowProblem::Cell::Logic, row.unmatched.logic});
        }
        row.open = cells.text(ConditionGrid::ColLeftParen);
        const QStringView field = cells.word(ConditionGrid::ColField, held[1]);
        // The field's identifier finds it under any caption (another language's, say); a text
        // saved before it was kept, or whose identifier this list lacks, by its caption.
        row.code = cells.text(ConditionGrid::ColValueCode);
        RowFacts facts = RowFacts::read(row.code);
        const QString id = facts.value(RowFacts::fieldKey());
        row.field = id.isEmpty() || field.isEmpty() ? -1 : ids.find(id, field);
        if (row.field < 0)
            row.field = fields.value(field, -1);
        if (row.field >= 0) { // written anew from the field the row names
            facts.remove(RowFacts::fieldKey());
            row.code = facts.text();
        }
        if (row.field < 0 && !field.isEmpty()) {
            row.unmatched.field = field.toString();
            parsed.problems.append({r, RowProblem::Cell::Field, row.unmatched.field});
        }
        const QStringView compare = cells.word(ConditionGrid::ColCompare, held[2]);
        const int compareAt = compare.isEmpty() ? -1 : compareWords.find(compare);
        if (compareAt >= 0) {
            row.compare = CompareOp(compareAt);
        } else if (!compare.isEmpty()) {
            row.unmatched.compare = compare.toString();
            parsed.problems.append({r, RowProblem::Cell::Compare, row.unmatched.compare});
        }
        row.off = RunFacts::off(facts);
        const QString value = cells.text(ConditionGrid::ColValue);
        if (facts.value(RowFacts::valueKey()) == u"field") {
            // The other field is found as the row's own is: by identifier, else by caption.
            const QString otherId = facts.value(RowFacts::valueFieldKey());
            int other = otherId.isEmpty() ? -1 : ids.find(otherId, value);
            if (other < 1)
                other = fields.value(value, -1);
            row.value = ConditionValue::ofField(other > 0 ? other : -1,
                                                other > 0 ? catalog.caption(other) : value);
        } else {
            row.value = ConditionValue::fromText(
                RunFacts::asks(facts) ? ValueKind::Asked
                                      : rowValueKind(catalog, row.field, row.compare),
                value);
        }
        if (holdsUnknownDate(catalog, row))
            parsed.problems.append({r, RowProblem::Cell::Value, row.value.text()});
        row.close = cells.text(ConditionGrid::ColRightParen);
        rows.append(std::move(row));
    }
    return parsed;
}

namespace {

/// The value-code cell as written: the row's facts with its field's identifier.
QString codeCell(const ConditionRow &row, const FieldCatalog &catalog)
{
    // A row whose field was not found keeps the identifier it was stored with; a row that
    // names no field keeps none.
    RowFacts facts = RowFacts::read(row.code);
    RunFacts::write(facts, row);
    if (row.field < 0 && !row.unmatched.field.isEmpty())
        return facts.text();
    // A field the value names follows the row's own, written anew as it is: one the list
    // lacks keeps the identifier it was stored with.
    const bool otherField = facts.value(RowFacts::valueKey()) == u"field";
    const QString storedOther = facts.value(RowFacts::valueFieldKey());
    if (otherField) {
        facts.remove(RowFacts::valueKey());
        facts.remove(RowFacts::valueFieldKey());
    }
    facts.remove(RowFacts::fieldKey());
    if (const QString id = catalog.identifier(row.field); row.field > 0 && !id.isEmpty())
        facts.set(RowFacts::fieldKey(), id);
    if (row.value.kind() == ValueKind::Field) {
        const QString other =
            row.value.field() > 0 ? catalog.identifier(row.value.field()) : storedOther;
        facts.set(RowFacts::valueKey(), QStringLiteral("field"));
        if (!other.isEmpty())
            facts.set(RowFacts::valueFieldKey(), other);
    }
    return facts.text();
}

} // namespace

QString write(const Condition &condition, const FieldCatalog &catalog, const QString &language)
{
    const Vocabulary::WordBook book(language);
    QString text;
    text.reserve(condition.size() * 32);
    bool first = true;
    for (const ConditionRow &row : condition) {
        if (!first)
            text += u"\r\n"_qs;
        first = false;
        text += row.unmatched.logic.isEmpty() ? book.logic(row.logic) : row.unmatched.logic;
        text += u'\t';
        text += row.open;
        text += u'\t';
        if (!row.unmatched.field.isEmpty())
            text += row.unmatched.field;
        else if (row.field == 0)
            text += book.noField();
        else
            text += catalog.caption(row.field);
        text += u'\t';
        text += row.unmatched.compare.isEmpty() ? book.compare(row.compare) : row.unmatched.compare;
        text += u'\t';
        // A relative date is stored in the saver's language, as the comparison is.
        text += catalog.valueKind(row.field) == ValueKind::Date &&
                        row.value.kind() != ValueKind::Asked && row.value.kind() != ValueKind::Field
                    ? book.dateValue(row.value.text(), row.compare)
                    : row.value.text();
        text += u'\t';
        text += codeCell(row, catalog);
        text += u'\t';
        text += row.close;
    }
    return trimSpaces(text);
}

} // namespace NxSerialFilter::SchemeText
