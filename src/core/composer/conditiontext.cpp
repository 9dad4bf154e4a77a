// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A condition's words, written and read back: one grammar for FilterText, the dialog's text
// line and the tool's --where.
#include <NxSerialFilter/conditiontext.h>

#include "core/composer/conditionwords.h"
#include "core/conditions/datetext.h"
#include "core/conditions/offrows.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <QHash>

#include <algorithm>

namespace NxSerialFilter {

namespace {

constexpr int MaxValueWords = 3; // "last 7 days", the longest value word

bool isAsciiWordChar(QChar c)
{
    return c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_');
}

bool isOpenParen(QChar c)
{
    return c == u'(' || c == u'（';
}

bool isCloseParen(QChar c)
{
    return c == u')' || c == u'）';
}

bool isComma(QChar c)
{
    return c == u',' || c == u'，' || c == u'、';
}

/// The closing quote of a quote that c opens; a null QChar when c opens none.
QChar closingQuote(QChar c)
{
    switch (c.unicode()) {
    case u'「':
        return u'」';
    case u'"':
        return u'"';
    case u'“':
        return u'”';
    default:
        return {};
    }
}

/// c with its letter case folded; the Chinese letters, most of a condition's, have none.
QChar folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return u >= u'A' && u <= u'Z' ? QChar(u + (u'a' - u'A')) : c;
    return u >= 0x3000 && u < 0xA000 ? c : c.toCaseFolded();
}

/// Whether c is a blank; the Chinese letters, most of a condition's, are none.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x3001 || u >= 0xA000 ? c.isSpace() : false;
}

/// Whether text at pos begins with word, letter case ignored, and a word of letters ends there.
bool startsWith(QStringView text, qsizetype pos, QStringView word)
{
    // The first letter rules out nearly every word at once, before a comparison that folds
    // the case of each letter.
    if (word.isEmpty() || text.size() - pos < word.size() ||
        folded(text.at(pos)) != folded(word.front()) ||
        text.mid(pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype end = pos + word.size();
    return end == text.size() || !isAsciiWordChar(word.back()) || !isAsciiWordChar(text.at(end));
}

/// A word of the grammar and what it means: a logic or comparison list position.
struct Word
{
    QString text;
    int meaning = -1;
    QChar first = {}; ///< the first letter, its case folded: most words are ruled out by it
};

/// The longest of words that text holds at pos; null when none.
const Word *longestAt(const QList<Word> &words, QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return nullptr;
    const QChar first = folded(text.at(pos));
    const Word *found = nullptr;
    for (const Word &word : words) {
        if (word.first == first && (!found || word.text.size() > found->text.size()) &&
            startsWith(text, pos, word.text))
            found = &word;
    }
    return found;
}

/// A template's text before and after its "%1".
std::pair<QString, QString> aroundArgument(const QString &pattern)
{
    const qsizetype at = pattern.indexOf(QLatin1String("%1"));
    return at < 0 ? std::pair{pattern, QString()}
                  : std::pair{pattern.left(at), pattern.mid(at + 2)};
}

/// The words of every language the component ships.
struct Grammar
{
    QList<Word> logic;
    QList<Word> compare;
    /// Logic words that end a value without a blank before them: 并且 in "50并且".
    QStringList logicWithoutBlank;
    /// Another field as a value: the text before and after its caption, 【 and 】 among them.
    QList<std::pair<QString, QString>> fieldMarks;
    QStringList askedMarks;

    Grammar()
    {
        const auto every = [](const QStringList &items, QList<Word> &into) {
            for (const QStringList &language : Vocabulary::inShippedLanguages(items)) {
                for (qsizetype i = 0; i < language.size(); ++i)
                    if (!language.at(i).isEmpty())
                        into.append({language.at(i), int(i), folded(language.at(i).front())});
            }
        };
        every(Vocabulary::logicItems(), logic);
        every(Vocabulary::compareItems(), compare);
        for (const Word &word : std::as_const(logic)) {
            if (!word.text.isEmpty() && word.text.front().unicode() >= 128)
                logicWithoutBlank.append(word.text);
        }
        const QStringList marks{Texts::fieldValueCell(), Texts::fieldValue(), Texts::askedMark()};
        for (const QStringList &language : Vocabulary::inShippedLanguages(marks)) {
            fieldMarks.append(aroundArgument(language.at(0)));
            fieldMarks.append(aroundArgument(language.at(1)));
            askedMarks.append(language.at(2));
        }
    }

    /// Whether a logic word that needs no blank before it begins at pos.
    bool logicAt(QStringView text, qsizetype pos) const
    {
        // Such a word begins with a letter beyond ASCII.
        if (text.at(pos).unicode() < 128)
            return false;
        return std::any_of(logicWithoutBlank.cbegin(), logicWithoutBlank.cend(),
                           [&](const QString &word) { return startsWith(text, pos, word); });
    }
};

/// The grammar, read once, as the relative dates' words are: the translations are built in.
const Grammar &grammar()
{
    static const Grammar built;
    return built;
}

/// The catalog's captions by their first letter, longest first: a caption is found where the
/// text holds it, blanks and parentheses inside it included.
class Captions
{
public:
    explicit Captions(const FieldCatalog &catalog)
        : m_catalog(catalog)
    {
        for (int k = 1; k < catalog.count(); ++k) {
            const QString caption = catalog.caption(k);
            if (!caption.isEmpty())
                m_byFirst[folded(caption.front())].append(k);
            m_longest = std::max(m_longest, caption.size());
        }
        for (QList<int> &fields : m_byFirst) {
            std::stable_sort(fields.begin(), fields.end(), [&](int a, int b) {
                return catalog.data().entries.at(a).caption.size() >
                       catalog.data().entries.at(b).caption.size();
            });
        }
    }

    /// The field whose caption text holds at pos, the longest; -1 when none.
    int at(QStringView text, qsizetype pos) const
    {
        const auto fields = m_byFirst.constFind(folded(text.at(pos)));
        if (fields == m_byFirst.cend())
            return -1;
        for (const int k : *fields) {
            if (startsWith(text, pos, m_catalog.data().entries.at(k).caption))
                return k;
        }
        return -1;
    }

    /// The length of the longest caption.
    qsizetype longest() const { return m_longest; }

private:
    const FieldCatalog &m_catalog;
    QHash<QChar, QList<int>> m_byFirst;
    qsizetype m_longest = 0;
};

/// Reads one text; each part reads from m_pos and moves it past what it read, or records the
/// failure and returns false.
class Reader
{
public:
    Reader(const FieldCatalog &catalog, const Grammar &grammar, QStringView text,
           const QString &language = QString())
        : m_catalog(catalog)
        , m_grammar(grammar)
        , m_text(text)
    {
        m_failure.language = language;
    }

    ConditionTextRead run()
    {
        ConditionTextRead read;
        skipBlanks();
        if (m_pos == m_text.size())
            return read;
        // A row takes a dozen characters at the least: room for the rows at once, within reason.
        read.condition.rows().reserve(std::min<qsizetype>(m_text.size() / 12 + 1, 4096));
        for (;;) {
            ConditionRow row;
            if (!read.condition.isEmpty() && !readLogic(row))
                break;
            if (!readRow(row))
                break;
            read.condition.rows().append(std::move(row));
            skipBlanks();
            if (m_pos == m_text.size())
                return read;
        }
        read.condition = {};
        read.failure = m_failure;
        return read;
    }

    /// Reads a value of a row on field compared by op, as a whole text: whether it reads
    /// back as value exactly.
    bool readsAs(int field, CompareOp op, const ConditionValue &value)
    {
        ConditionRow row;
        row.field = field;
        row.compare = op;
        if (!readValue(row))
            return false;
        skipBlanks();
        return m_pos == m_text.size() && row.value.text() == value.text();
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    bool fail(ConditionTextFailure::Expected expected, const ConditionRow &row = {},
              qsizetype at = -1, const QString &detail = QString())
    {
        m_failure.position = at < 0 ? m_pos : at;
        m_failure.expected = expected;
        m_failure.field = row.field;
        m_failure.compare = row.compare;
        m_failure.detail = detail;
        return false;
    }

    bool readLogic(ConditionRow &row)
    {
        const Word *word = longestAt(m_grammar.logic, m_text, m_pos);
        if (!word)
            return fail(ConditionTextFailure::Expected::Logic);
        row.logic = LogicOp(word->meaning);
        m_pos += word->text.size();
        skipBlanks();
        return true;
    }

    bool readRow(ConditionRow &row)
    {
        using Expected = ConditionTextFailure::Expected;
        if (!m_captions)
            m_captions.emplace(m_catalog);
        // A caption may begin with a parenthesis of its own: it is looked for first.
        while (m_pos < m_text.size() && (row.field = m_captions->at(m_text, m_pos)) < 0 &&
               isOpenParen(m_text.at(m_pos))) {
            row.open += u'(';
            ++m_pos;
            skipBlanks();
        }
        if (row.field < 0)
            return fail(Expected::Field, row, -1,
                        m_catalog.count() > 1 ? m_catalog.caption(1) : QString());
        m_pos += m_catalog.data().entries.at(row.field).caption.size();
        skipBlanks();
        const Word *compare = longestAt(m_grammar.compare, m_text, m_pos);
        if (!compare)
            return fail(Expected::Compare, row);
        row.compare = CompareOp(compare->meaning);
        m_pos += compare->text.size();
        skipBlanks();
        if (!readValue(row))
            return false;
        skipBlanks();
        while (m_pos < m_text.size() && isCloseParen(m_text.at(m_pos))) {
            row.close += u')';
            ++m_pos;
            skipBlanks();
        }
        return true;
    }

    /// What a part found at m_pos: nothing of its own, itself, or itself unfinished.
    enum class Found : quint8 { None, Read, Failed };

    /// The quoted text at m_pos into text, its closing quote doubled inside.
    Found readQuoted(QString &text)
    {
        const QChar close = m_pos < m_text.size() ? closingQuote(m_text.at(m_pos)) : QChar();
        if (close.isNull())
            return Found::None;
        const qsizetype start = m_pos++;
        text.clear();
        for (; m_pos < m_text.size(); ++m_pos) {
            if (m_text.at(m_pos) != close) {
                text += m_text.at(m_pos);
            } else if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == close) {
                text += close;
                ++m_pos;
            } else {
                ++m_pos;
                return Found::Read;
            }
        }
        fail(ConditionTextFailure::Expected::QuoteEnd, {}, start);
        return Found::Failed;
    }

    /// The end of the unquoted word at from: a blank, a parenthesis, a comma, a quote or a
    /// logic word ends it.
    qsizetype bareEnd(qsizetype from) const
    {
        qsizetype end = from;
        while (end < m_text.size()) {
            const QChar c = m_text.at(end);
            if (isBlank(c) || isOpenParen(c) || isCloseParen(c) || isComma(c) ||
                !closingQuote(c).isNull() || (end > from && m_grammar.logicAt(m_text, end)))
                break;
            ++end;
        }
        return end;
    }

    /// One value or list piece, quoted or not; quoted tells which.
    bool readPiece(const ConditionRow &row, QString &piece, bool &quoted)
    {
        const Found found = readQuoted(piece);
        quoted = found == Found::Read;
        if (found != Found::None)
            return quoted;
        const qsizetype end = bareEnd(m_pos);
        // A logic word where the value belongs is a value left out; a value that is such a
        // word is written quoted.
        if (end == m_pos || longestAt(m_grammar.logic, m_text, m_pos))
            return fail(ConditionTextFailure::Expected::Value, row);
        piece = m_text.mid(m_pos, end - m_pos).toString();
        m_pos = end;
        return true;
    }

    bool readValue(ConditionRow &row)
    {
        using Expected = ConditionTextFailure::Expected;
        const ValueKind kind = rowValueKind(m_catalog, row.field, row.compare);
        if (row.compare == CompareOp::IsEmpty || row.compare == CompareOp::IsNotEmpty) {
            row.value = ConditionValue::fromText(kind, QString());
            return true;
        }
        for (const Found found : {readAsked(row), readOtherField(row)}) {
            if (found != Found::None)
                return found == Found::Read;
        }
        if (kind == ValueKind::List)
            return readList(row);
        if (readWord(row, kind))
            return true;
        const qsizetype start = m_pos;
        QString piece;
        bool quoted = false;
        if (!readPiece(row, piece, quoted))
            return false;
        // Dates are typed as the grid takes them; a quoted value is taken as it is.
        if (!quoted && kind == ValueKind::Date && row.compare <= CompareOp::NotEqual) {
            const QDate date = DateText::parse(piece);
            if (!date.isValid())
                return fail(Expected::Value, row, start, piece);
            piece = date.toString(Qt::ISODate);
        }
        row.value = ConditionValue::fromText(kind, piece);
        return true;
    }

    /// A value word of up to MaxValueWords words: a relative date on a date field, 当前用户 on
    /// a field that takes it; kept in the current language, as the grid keeps them.
    bool readWord(ConditionRow &row, ValueKind kind)
    {
        const bool date = kind == ValueKind::Date && row.compare <= CompareOp::NotEqual;
        const bool user = CurrentUser::takesWord(m_catalog.valueKind(row.field), row.compare);
        if (!date && !user)
            return false;
        qsizetype ends[MaxValueWords];
        qsizetype n = 0;
        for (qsizetype at = m_pos; n < MaxValueWords; ++n) {
            const qsizetype end = bareEnd(at);
            if (end == at)
                break;
            ends[n] = end;
            at = end;
            while (at < m_text.size() && m_text.at(at) == u' ')
                ++at;
        }
        for (; n > 0; --n) {
            const QStringView span = m_text.mid(m_pos, ends[n - 1] - m_pos);
            QString word;
            if (date) {
                if (const std::optional<RelativeDate> relative = RelativeDate::read(span))
                    word = relative->word();
            } else if (CurrentUser::isWord(span)) {
                word = CurrentUser::word();
            }
            if (!word.isEmpty()) {
                row.value = ConditionValue::fromText(kind, word);
                m_pos = ends[n - 1];
                return true;
            }
        }
        return false;
    }

    /// A question asked when the condition runs: the mark, then the question quoted, or
    /// nothing for the field's caption.
    Found readAsked(ConditionRow &row)
    {
        for (const QString &mark : m_grammar.askedMarks) {
            if (!startsWith(m_text, m_pos, mark))
                continue;
            m_pos += mark.size();
            QString question;
            if (readQuoted(question) == Found::Failed)
                return Found::Failed;
            row.value = ConditionValue::fromText(ValueKind::Asked, question);
            RunFacts::setOff(row, row.off); // the row's facts say that it asks
            return Found::Read;
        }
        return Found::None;
    }

    /// Another field: its caption between the marks of any language, 【订购数量】 among them.
    Found readOtherField(ConditionRow &row)
    {
        for (const auto &[before, after] : m_grammar.fieldMarks) {
            if (before.isEmpty() || after.isEmpty() || !startsWith(m_text, m_pos, before))
                continue;
            const qsizetype from = m_pos + before.size();
            // No caption is longer than the longest: an unclosed mark costs no more than that.
            if (!m_captions)
                m_captions.emplace(m_catalog);
            const qsizetype window =
                std::min(m_text.size() - from, m_captions->longest() + after.size());
            const qsizetype found = m_text.mid(from, window).indexOf(after);
            if (found < 0)
                continue;
            const qsizetype end = from + found;
            const QString caption = m_text.mid(from, end - from).toString();
            const int other = m_catalog.indexOfCaption(caption);
            if (other < 1) {
                fail(ConditionTextFailure::Expected::Value, row, m_pos, caption);
                return Found::Failed;
            }
            row.value = ConditionValue::ofField(other, m_catalog.caption(other));
            m_pos = end + after.size();
            return Found::Read;
        }
        return Found::None;
    }

    /// Pieces separated by commas, kept joined by "," as the grid's list cell holds them.
    bool readList(ConditionRow &row)
    {
        QStringList pieces;
        for (;;) {
            const qsizetype start = m_pos;
            QString piece;
            bool quoted = false;
            if (!readPiece(row, piece, quoted))
                return false;
            // The list keeps its pieces joined by ",": a quoted one holding it would split.
            if (piece.contains(u','))
                return fail(ConditionTextFailure::Expected::Value, row, start, piece);
            pieces.append(piece);
            const qsizetype after = m_pos;
            skipBlanks();
            if (m_pos == m_text.size() || !isComma(m_text.at(m_pos))) {
                m_pos = after;
                break;
            }
            ++m_pos;
            skipBlanks();
        }
        row.value = ConditionValue::fromText(ValueKind::List, pieces.join(u','));
        return true;
    }

    const FieldCatalog &m_catalog;
    const Grammar &m_grammar;
    std::optional<Captions> m_captions; // built when a row is read: the writer reads values only
    QStringView m_text;
    qsizetype m_pos = 0;
    ConditionTextFailure m_failure;
};

/// Whether a value must be quoted to read back as itself: it holds what ends or begins another
/// word, or a word of the grammar.
bool needsQuotes(const Grammar &grammar, const QString &text)
{
    if (text.isEmpty())
        return true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isBlank(c) || isOpenParen(c) || isCloseParen(c) || isComma(c) ||
            !closingQuote(c).isNull() || c == u'」' || c == u'”' || grammar.logicAt(text, i))
            return true;
    }
    // A value that begins with a logic word reads as that word ("And中" as And).
    if (longestAt(grammar.logic, text, 0))
        return true;
    const auto whole = [&text](const Word &word) {
        return word.text.compare(text, Qt::CaseInsensitive) == 0;
    };
    return std::any_of(grammar.logic.cbegin(), grammar.logic.cend(), whole) ||
           std::any_of(grammar.compare.cbegin(), grammar.compare.cend(), whole);
}

/// text in the language's quotes, its closing quote doubled.
QString quoted(const std::pair<QString, QString> &quotes, const QString &text)
{
    QString inner = text;
    if (!quotes.second.isEmpty())
        inner.replace(quotes.second, quotes.second + quotes.second);
    return quotes.first + inner + quotes.second;
}

/// The writer's side: the words of one row's value, quoted where the reader needs it.
class ValueWriter
{
public:
    ValueWriter(const FieldCatalog &catalog, const Grammar &grammar, const QString &language)
        : m_catalog(catalog)
        , m_grammar(grammar)
        , m_book(language)
        , m_quotes(aroundArgument(Vocabulary::translated(Texts::quotedValue(), language)))
        , m_asked(Vocabulary::translated(Texts::askedMark(), language))
        , m_fieldMark(Vocabulary::translated(Texts::fieldValueCell(), language))
    {
        // A quote the reader does not know would not read back: the source language's then.
        if (m_quotes.first.size() != 1 ||
            closingQuote(m_quotes.first.front()) !=
                (m_quotes.second.size() == 1 ? m_quotes.second.front() : QChar()))
            m_quotes = aroundArgument(Texts::quotedValue());
    }

    QString write(const ConditionRow &row)
    {
        if (row.compare == CompareOp::IsEmpty || row.compare == CompareOp::IsNotEmpty)
            return {};
        if (row.value.kind() == ValueKind::Field)
            return m_fieldMark.arg(row.value.text());
        if (row.value.kind() == ValueKind::Asked)
            return m_asked + (row.value.isEmpty() ? QString() : quoted(m_quotes, row.value.text()));
        if (row.compare == CompareOp::InList || row.compare == CompareOp::NotInList) {
            QStringList pieces = row.value.text().split(u',');
            for (QString &piece : pieces)
                piece = piece.isEmpty() || needsQuotes(m_grammar, piece) ? quoted(m_quotes, piece)
                                                                         : piece;
            return pieces.join(QLatin1String(", "));
        }
        const ValueKind fieldKind = m_catalog.valueKind(row.field);
        const QString shown = m_book.value(row.value, fieldKind, row.compare);
        // A relative date or 当前用户 is a word of the grammar, read as the word it is.
        if ((fieldKind == ValueKind::Date && row.compare <= CompareOp::NotEqual &&
             RelativeDate::read(row.value.text())) ||
            (CurrentUser::takesWord(fieldKind, row.compare) && CurrentUser::isWord(shown)))
            return shown;
        if (!needsQuotes(m_grammar, shown) && readsBack(row, shown))
            return shown;
        return quoted(m_quotes, shown);
    }

    const Vocabulary::WordBook &book() const { return m_book; }

private:
    bool readsBack(const ConditionRow &row, const QString &shown)
    {
        Reader reader(m_catalog, m_grammar, shown);
        return reader.readsAs(row.field, row.compare, row.value);
    }

    const FieldCatalog &m_catalog;
    const Grammar &m_grammar;
    Vocabulary::WordBook m_book;
    std::pair<QString, QString> m_quotes;
    QString m_asked;
    QString m_fieldMark;
};

} // namespace

QString conditionWords(const FieldCatalog &catalog, const Condition &condition,
                       const QString &language)
{
    // Rows switched off are left out of the words as out of the condition.
    Condition on;
    for (const ConditionRow &row : condition) {
        if (!row.off)
            on.append(row);
    }
    const qsizetype rows = rowsInUse(catalog, on);
    if (rows == 0)
        return {};
    ValueWriter values(catalog, grammar(), language);
    const Vocabulary::WordBook &book = values.book();
    QStringList words;
    for (qsizetype r = 0; r < rows; ++r) {
        const ConditionRow &row = on.at(r);
        if (r > 0)
            words << (row.unmatched.logic.isEmpty() ? book.logic(row.logic) : row.unmatched.logic);
        QString field = row.unmatched.field;
        if (field.isEmpty() && row.field == 0)
            field = book.noField();
        else if (field.isEmpty() && row.field < catalog.count())
            field = catalog.caption(row.field);
        const QString compare =
            row.unmatched.compare.isEmpty() ? book.compare(row.compare) : row.unmatched.compare;
        QStringList phrase{field, compare, values.write(row)};
        phrase.removeAll(QString());
        words << row.open + phrase.join(u' ') + row.close;
    }
    words.removeAll(QString());
    return words.join(u' ');
}

QString ConditionTextFailure::message(const QString &explainedIn) const
{
    using Vocabulary::translated;
    const QString &in = explainedIn.isEmpty() ? language : explainedIn;
    QString what;
    switch (expected) {
    case Expected::Field:
        what = translated(Texts::textWantsField(), in).arg(detail);
        break;
    case Expected::Compare:
        what = translated(Texts::textWantsCompare(), in).arg(translated(Texts::compareEqual(), in));
        break;
    case Expected::Value:
        what = detail.isEmpty() ? translated(Texts::textWantsValue(), in)
                                : translated(Texts::textBadValue(), in).arg(detail);
        break;
    case Expected::Logic:
        what = translated(Texts::textWantsLogic(), in).arg(translated(Texts::logicAnd(), in));
        break;
    case Expected::QuoteEnd:
        what = translated(Texts::textQuoteOpen(), in);
        break;
    }
    return translated(Texts::textAtCharacter(), in).arg(QString::number(position + 1), what);
}

namespace ConditionText {

QString valueWords(const FieldCatalog &catalog, const ConditionRow &row, const QString &language)
{
    return ValueWriter(catalog, grammar(), language).write(row);
}

ConditionTextRead parse(const FieldCatalog &catalog, QStringView text, const QString &language)
{
    return Reader(catalog, grammar(), text, language).run();
}

} // namespace ConditionText
} // namespace NxSerialFilter
