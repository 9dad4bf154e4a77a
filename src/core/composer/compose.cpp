// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The composer: a condition over a catalog to FilterSQL, a bound form or words.
#include <NxSerialFilter/compose.h>

#include "core/composer/conditionwords.h"
#include "core/conditions/fieldcompare.h"
#include "core/composer/questions.h"
#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/columnexpression.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/host/busypointer.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/text/leadingnumber.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxalert.h>

#include <QHash>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace NxSerialFilter {

namespace {

/// A parenthesis cell may only repeat its one character: anything else would be SQL of the
/// user's (or a scheme text's) own making inside the condition.
bool onlyOf(const QString &text, char16_t paren)
{
    for (const QChar ch : text) {
        if (ch != paren)
            return false;
    }
    return true;
}

using Reason = ComposeFailure::Reason;

/// Ends the walk with a failure; compose returns it as a value.
struct Refusal
{
    ComposeFailure failure;
};

[[noreturn]] void refuse(Reason reason, QStringList arguments = {})
{
    throw Refusal{{0, reason, std::move(arguments)}};
}

[[noreturn]] void rowFailure(int row, Reason reason, QStringList arguments = {})
{
    throw Refusal{{row, reason, std::move(arguments)}};
}

/// A short SQL word held in a block of fixed size, so that writing it copies the whole block
/// in a few moves instead of a character at a time.
struct Word
{
    static constexpr qsizetype Room = 16;

    template <size_t N>
    constexpr Word(const char16_t (&word)[N])
        : size(N - 1)
    {
        static_assert(N <= Room);
        for (size_t i = 0; i + 1 < N; ++i)
            text[i] = word[i];
    }

    char16_t text[Room] = {};
    qsizetype size = 0;
};

/// Words chosen between at run time; named, so that a choice picks a block instead of building
/// one on the stack.
namespace Words {
constexpr Word blank = u" ";
constexpr Word openBlank = u" (";
constexpr Word close = u")";
constexpr Word blankClose = u" )";
constexpr Word is = u"=";
constexpr Word isNot = u"<>";
constexpr Word spacedIsNot = u" <> ";
constexpr Word orJoin = u" or ";
constexpr Word andJoin = u" and ";
constexpr Word atLeast = u" >= ";
constexpr Word below = u" < ";
constexpr Word andWord = u" And ";
constexpr Word orWord = u" Or ";
} // namespace Words

/// The SQL words of the logic and of each comparison, by their positions, each after a blank.
constexpr Word logicSql[] = {u" And", u" Or"};
constexpr Word compareSql[] = {u" =",       u" >",           u" <",    u" <=",
                               u" >=",      u" <>",          u" Like", u" Not Like",
                               u" Is null", u" Is not null", u" In",   u" Not In"};

/// The text being composed, written through a pointer into room made ahead: a piece costs no
/// call into QString and no check beyond the one for room. The first four characters are kept
/// free for the opening " ( (" of the finished text.
class SqlText
{
public:
    qsizetype size() const { return m_at - m_begin; }
    QStringView view() const { return QStringView(m_begin, m_at); }

    // The pieces are inlined into the walk even where the compiler would rather call them: a
    // call costs more than the piece, and makes it reload the text's pointers.

    /// Room for at least n more characters.
    Q_ALWAYS_INLINE void reserve(qsizetype n)
    {
        if (m_limit - m_at < n)
            grow(n);
    }

    /// Several pieces after one check for room, through a pointer held in a register.
    template <class... Pieces> Q_ALWAYS_INLINE void append(const Pieces &...pieces)
    {
        reserve((room(pieces) + ...));
        char16_t *at = m_at;
        ((at = put(at, pieces)), ...);
        m_at = at;
    }

    template <class Piece> Q_ALWAYS_INLINE SqlText &operator+=(const Piece &piece)
    {
        append(piece);
        return *this;
    }
    /// before, the text quoted with each "'" doubled (and "%" on both sides inside the quotes
    /// for a pattern), and after.
    template <class Before, class After>
    Q_ALWAYS_INLINE void appendQuoted(const Before &before, QStringView text, const After &after,
                                      bool pattern = false)
    {
        reserve(room(before) + 4 + text.size() * 2 + room(after));
        char16_t *at = put(m_at, before);
        *at++ = u'\'';
        if (pattern)
            *at++ = u'%';
        for (const QChar ch : text) {
            *at++ = ch.unicode();
            if (ch == u'\'')
                *at++ = u'\'';
        }
        if (pattern)
            *at++ = u'%';
        *at++ = u'\'';
        m_at = put(at, after);
    }

    /// Writes text over the characters from position at.
    void overwrite(qsizetype at, QLatin1StringView text)
    {
        for (const char ch : text)
            m_begin[at++] = uchar(ch);
    }

    /// Drops the characters from position n on.
    void truncate(qsizetype n) { m_at = m_begin + n; }

    /// The text from position from on, the room left behind it dropped.
    QString take(qsizetype from)
    {
        m_text.resize(size());
        m_text.remove(0, from); // at the front, Qt moves the start, not the characters
        m_begin = m_at = m_limit = nullptr;
        return std::move(m_text);
    }

private:
    static constexpr qsizetype room(char16_t) { return 1; }
    static constexpr qsizetype room(const Word &) { return Word::Room; }
    template <size_t N> static constexpr qsizetype room(const char16_t (&)[N]) { return N - 1; }
    static qsizetype room(QLatin1StringView text) { return text.size(); }
    static qsizetype room(QStringView text) { return text.size(); }
    static qsizetype room(const QString &text) { return text.size(); }

    static char16_t *put(char16_t *at, char16_t ch)
    {
        *at = ch;
        return at + 1;
    }
    /// A word: its whole block, of which the characters past its end are written over next.
    static char16_t *put(char16_t *at, const Word &word)
    {
        copy<Word::Room>(at, word.text);
        return at + word.size;
    }
    template <size_t N> static char16_t *put(char16_t *at, const char16_t (&text)[N])
    {
        copy<N - 1>(at, text);
        return at + (N - 1);
    }
    static char16_t *put(char16_t *at, QLatin1StringView text)
    {
        for (const char ch : text)
            *at++ = uchar(ch);
        return at;
    }
    static char16_t *put(char16_t *at, QStringView text)
    {
        const qsizetype n = text.size();
        const char16_t *from = text.utf16();
        // Parenthesis cells, column names and values are mostly short: two blocks that
        // overlap in the middle cover them without a call, and read and write nothing outside
        // the text.
        if (n < 4) {
            for (qsizetype i = 0; i < n; ++i)
                at[i] = from[i];
        } else if (n < 8) {
            copy<4>(at, from);
            copy<4>(at + n - 4, from + n - 4);
        } else if (n <= 16) {
            copy<8>(at, from);
            copy<8>(at + n - 8, from + n - 8);
        } else {
            std::copy(from, from + n, at);
        }
        return at + n;
    }
    static char16_t *put(char16_t *at, const QString &text) { return put(at, QStringView(text)); }

    /// A copy of a fixed count of characters as one block: a few moves, as memcpy would make
    /// them, but of a type that the compiler knows is no pointer of this text, which it then
    /// keeps in registers from one piece to the next (after memcpy it must read them again).
    template <size_t N> static void copy(char16_t *to, const char16_t *from)
    {
        if constexpr (N > 0) {
            struct Block
            {
                char16_t text[N];
            };
            *reinterpret_cast<Block *>(to) = *reinterpret_cast<const Block *>(from);
        }
    }

    Q_NEVER_INLINE void grow(qsizetype n)
    {
        const qsizetype used = size();
        m_text.resize(std::max({used + n, 2 * used, qsizetype(64)}));
        m_begin = reinterpret_cast<char16_t *>(m_text.data());
        m_at = m_begin + used;
        m_limit = m_begin + m_text.size();
    }

    QString m_text;
    char16_t *m_begin = nullptr;
    char16_t *m_at = nullptr;
    char16_t *m_limit = nullptr;
};

/// Where the composer writes: values as literals with their quotes doubled (FilterSQL), or a
/// "?" for each value with the value kept beside it (the bound form, for one engine).
class Sink
{
public:
    Sink() { sql += "    "_L1; }
    explicit Sink(SqlEngine engine)
        : Sink()
    {
        m_bound = true;
        m_engine = engine;
    }

    SqlText sql;

    bool postgres() const { return m_bound && m_engine == SqlEngine::PostgreSQL; }

    void reserve(int rows)
    {
        sql.reserve(qsizetype(rows) * 48);
        if (m_bound) {
            m_values.reserve(rows);
            m_at.reserve(rows);
        }
    }

    // The values are written with the SQL just before and after them (before and after, of
    // no more than a few characters), in one piece where the form allows.

    /// A text.
    template <size_t N = 1, size_t M = 1>
    Q_ALWAYS_INLINE void text(QStringView value, const char16_t (&before)[N] = u"",
                              const char16_t (&after)[M] = u"")
    {
        if (!m_bound) {
            sql.appendQuoted(before, value, after);
            return;
        }
        sql += before;
        boundText(value);
        sql += after;
    }

    /// The value with "%" on both sides.
    void pattern(const QString &value)
    {
        if (m_bound) {
            placeholder(u'%' + value + u'%');
            return;
        }
        sql.appendQuoted(u"", value, u"", true);
    }

    /// The leading number of the text.
    template <size_t N = 1> void number(QStringView value, const char16_t (&before)[N] = u"")
    {
        if (m_bound) {
            sql += before;
            placeholder(Numbers::sqlLeadingNumberValue(value));
            return;
        }
        Numbers::SqlDigits digits;
        if (const QLatin1StringView literal = Numbers::sqlLeadingLiteral(value, digits);
            !literal.isEmpty())
            sql.append(before, literal);
        else
            sql.append(before, Numbers::sqlLeadingNumber(value));
    }

    /// A value list as one value, so that the placeholders do not grow with the list:
    /// PostgreSQL compares with an array, SQLite reads a JSON array.
    void list(const QStringList &pieces, bool texts, bool notIn)
    {
        const bool pg = postgres();
        if (pg)
            sql += notIn ? " <> ALL("_L1 : " = ANY("_L1;
        else
            sql += notIn ? " Not In (SELECT value FROM json_each("_L1
                         : " In (SELECT value FROM json_each("_L1;
        QString array;
        qsizetype size = 2;
        for (const QString &piece : pieces)
            size += piece.size() + 3;
        array.reserve(size);
        array += pg ? u'{' : u'[';
        bool first = true;
        for (const QString &piece : pieces) {
            if (!first)
                array += u',';
            first = false;
            if (!texts) {
                array += Numbers::sqlLeadingNumber(piece);
                continue;
            }
            array += u'"';
            for (const QChar ch : piece) {
                if (ch == u'"' || ch == u'\\') {
                    array += u'\\';
                    array += ch;
                } else if (!pg && ch.unicode() < 0x20) {
                    array += "\\u00"_L1;
                    array += QString::number(ch.unicode(), 16).rightJustified(2, u'0');
                } else {
                    array += ch;
                }
            }
            array += u'"';
        }
        array += pg ? u'}' : u']';
        placeholder(std::move(array));
        sql += pg ? ")"_L1 : "))"_L1;
    }

    bool isBound() const { return m_bound; }

    void zero()
    {
        if (m_bound)
            placeholder(qint64(0));
        else
            sql += u'0';
    }

    /// The text written, without the spaces at both ends; unless empty, wrapped twice in " ("
    /// and ") ".
    QString finish()
    {
        const QStringView written = sql.view();
        qsizetype begin = Prefix;
        qsizetype end = written.size();
        while (begin < end && written[begin] == u' ')
            ++begin;
        while (end > begin && written[end - 1] == u' ')
            --end;
        if (begin == end)
            return QString();
        // The four characters before the first one written are free: the prefix, or spaces.
        const qsizetype from = begin - Prefix;
        sql.overwrite(from, " ( ("_L1);
        sql.truncate(end);
        sql += ") ) "_L1;
        for (qsizetype &at : m_at)
            at -= from;
        return sql.take(from);
    }

    BoundCondition bound(QString sqlText, Placeholders placeholders) const
    {
        if (placeholders == Placeholders::QMark || m_at.isEmpty())
            return {sqlText, m_values};
        QString numbered;
        numbered.reserve(sqlText.size() + m_at.size() * 4);
        qsizetype from = 0;
        for (qsizetype i = 0; i < m_at.size(); ++i) {
            numbered.append(QStringView(sqlText).sliced(from, m_at.at(i) - from));
            numbered.append(u'$').append(QString::number(i + 1));
            from = m_at.at(i) + 1;
        }
        numbered.append(QStringView(sqlText).sliced(from));
        return {numbered, m_values};
    }

private:
    static constexpr qsizetype Prefix = 4; // room kept for " ( ("

    void boundText(QStringView value)
    {
        // A null text would be bound as NULL, which equals nothing.
        placeholder(value.isNull() ? QStringLiteral("") : value.toString());
    }

    void placeholder(QVariant &&value)
    {
        m_at.append(sql.size());
        sql += u'?';
        m_values.append(std::move(value));
    }

    bool m_bound = false;
    SqlEngine m_engine = SqlEngine::SQLite;
    QVariantList m_values;
    QList<qsizetype> m_at; // where each "?" stands in sql
};

/// Whether the walk reads the row: the grid ends the condition at the first row whose field
/// cell shows nothing.
bool inUse(const FieldCatalog::Data &catalog, const ConditionRow &row)
{
    // A row on a field of the list needs no look at its unmatched words, which lie apart.
    if (row.field == 0 || row.field >= catalog.entries.size())
        return true;
    if (row.field > 0 && !catalog.entries.at(row.field).caption.isEmpty())
        return true;
    return !row.unmatched.field.isEmpty();
}

qsizetype rowsInUseOf(const FieldCatalog::Data &catalog, const Condition &condition)
{
    qsizetype n = 0;
    while (n < condition.size() && inUse(catalog, condition.at(n)))
        ++n;
    return n;
}

class Composer
{
public:
    Composer(const FieldCatalog &catalog, const Condition &condition, Sink &out,
             const SqlForm &form)
        : m_catalog(catalog.data())
        , m_condition(condition)
        , m_out(out)
        , m_asOf(form.asOf)
        , m_firstDayOfWeek(form.firstDayOfWeek)
        , m_user(form.currentUser)
        , m_storageCheck(
              catalog.screenId().compare(QLatin1String("STORAGECHECK"), Qt::CaseInsensitive) == 0)
    {}

    /// Writes the condition into the sink.
    void run();
    /// The day relative dates counted from; null when no row held one.

private:
    using Field = CatalogEntry;
    const Field &field(int row, int f) const;
    /// The field's column as the engine reads it: PostgreSQL takes a name in "…", not in […].
    const QString &column(const Field &fld) const
    {
        return m_out.postgres() ? fld.postgresColumn : fld.column;
    }

    template <class... Parts> Q_ALWAYS_INLINE void append(const Parts &...parts)
    {
        m_out.sql.append(parts...);
    }
    /// How many parentheses a parenthesis cell holds; refuses a cell of anything else.
    static qsizetype parens(const QString &cell, char16_t paren)
    {
        // Most cells are empty, and most others hold one parenthesis.
        if (cell.size() > 1 ? !onlyOf(cell, paren) : cell.size() == 1 && cell.front() != paren)
            refuse(Reason::ParenthesisCellsOnly, {cell});
        return cell.size();
    }
    void appendEmptyTest(const Field &fld, bool empty);
    void appendPattern(const Field &fld, const QString &value);
    void appendList(const Field &fld, const QString &value, bool notIn);
    void appendPlain(const Field &fld, const QString &value);
    bool appendPeriod(const Field &fld, CompareOp op, const ConditionValue &value);
    bool appendField(const ConditionRow &row, const Field &fld);
    /// The value's text; for the word 当前用户, the current user's name.
    const QString &valueText(const Field &fld, CompareOp op, const ConditionValue &value) const
    {
        if (!CurrentUser::takesWord(fld.kind, op) || !CurrentUser::isWord(value.text()))
            return value.text();
        if (m_user.isEmpty())
            rowFailure(m_row, Reason::NoCurrentUser);
        return m_user;
    }

    const FieldCatalog::Data &m_catalog;
    const Condition &m_condition;
    Sink &m_out;
    QDate m_asOf; // asked of the clock when first needed: reading it costs a time zone look-up
    const Qt::DayOfWeek m_firstDayOfWeek;
    const QString m_user;
    const bool m_storageCheck;

public:
    int m_row = 0; // the row being written, for failures that name it
};

void Composer::run()
{
    const qsizetype rows = rowsInUseOf(m_catalog, m_condition);
    qsizetype open = 0;
    qsizetype close = 0;
    for (int r = 1; r <= rows; ++r) {
        m_row = r;
        const ConditionRow &row = m_condition.at(r - 1);
        if (r == 1) // one allocation for a typical row, instead of growing the text step by step
            m_out.reserve(int(std::min<qsizetype>(rows, Limits::MaxConditionRows)));
        // Beyond these the host's engine would refuse the condition after OK had passed it.
        if (r > Limits::MaxConditionRows)
            rowFailure(r, Reason::TooManyRows, {QString::number(Limits::MaxConditionRows)});

        if (r > 1 && row.logic == LogicOp::None)
            rowFailure(r, Reason::NoLogic);
        open += parens(row.open, u'(');
        if (r > 1)
            append(logicSql[int(row.logic)], u' ', row.open);
        else
            append(u' ', row.open);
        const Field &fld = field(r, row.field);
        if (open - close + fld.nesting > Limits::MaxParenthesisDepth)
            rowFailure(r, Reason::ParenthesesTooDeep,
                       {QString::number(Limits::MaxParenthesisDepth)});

        const CompareOp k = row.compare;
        if (appendField(row, fld) || appendPeriod(fld, k, row.value)) {
            close += parens(row.close, u')');
            append(u' ', row.close);
            if (close > open)
                refuse(Reason::Unbalanced);
            continue;
        }
        const bool emptyTest = k == CompareOp::IsEmpty || k == CompareOp::IsNotEmpty;
        const bool like = k == CompareOp::Contains || k == CompareOp::NotContains;
        const bool list = k == CompareOp::InList || k == CompareOp::NotInList;
        const bool compared = !(m_storageCheck && emptyTest) && !(list && m_out.isBound());
        if (compared && k == CompareOp::None)
            rowFailure(r, Reason::NoCompare);
        const Word &before = emptyTest ? Words::openBlank : Words::blank;
        const bool postgresLike = like && m_out.postgres();
        if (postgresLike && !fld.textColumn) // PostgreSQL has no Like for numbers or dates
            append(before, u"CAST(", column(fld), u" AS TEXT)");
        else if (compared && !postgresLike) // most rows: one piece
            append(before, column(fld), compareSql[int(k)]);
        else
            append(before, column(fld));
        // SQLite's Like ignores the case of ASCII letters only; PostgreSQL's ILike does the
        // same under the "C" collation, whatever the database's own collation folds.
        if (compared && postgresLike)
            m_out.sql += k == CompareOp::Contains ? R"( COLLATE "C" ILike)"_L1
                                                  : R"( COLLATE "C" Not ILike)"_L1;

        switch (k) {
        case CompareOp::IsEmpty:
        case CompareOp::IsNotEmpty:
            appendEmptyTest(fld, k == CompareOp::IsEmpty);
            break;
        case CompareOp::Contains:
        case CompareOp::NotContains:
            appendPattern(fld, valueText(fld, k, row.value));
            break;
        case CompareOp::InList:
        case CompareOp::NotInList:
            appendList(fld, row.value.text(), k == CompareOp::NotInList);
            break;
        default:
            appendPlain(fld, valueText(fld, k, row.value));
        }

        close += parens(row.close, u')');
        append(u' ', row.close);
        if (close > open)
            refuse(Reason::Unbalanced);
    }
    // Rows the grid shows below a gap would silently drop out of the condition.
    for (qsizetype later = rows + 1; later < m_condition.size(); ++later) {
        if (inUse(m_catalog, m_condition.at(later)))
            rowFailure(int(rows + 1), Reason::EmptyFieldBeforeRows);
    }
    m_row = 0; // parentheses that never close belong to no one row
    if (open != close)
        refuse(Reason::Unbalanced);
}

const Composer::Field &Composer::field(int row, int f) const
{
    const int count = int(m_catalog.entries.size());
    if (m_catalog.serialUse ? (f < 0 || f >= count) : (f < 1 || f >= count))
        rowFailure(row, m_catalog.serialUse ? Reason::NoFieldEntry : Reason::NoCommonField);
    const Field &fld = m_catalog.entries.at(f);
    if (fld.problem) {
        ComposeFailure failure = *fld.problem;
        failure.row = row;
        throw Refusal{failure};
    }
    return fld;
}

void Composer::appendEmptyTest(const Field &fld, bool empty)
{
    const QString &c = column(fld);
    const Word &is = empty ? Words::is : Words::isNot;
    if (!m_catalog.serialUse) {
        if (m_storageCheck)
            m_out.sql += is;
        else
            append(empty ? Words::orJoin : Words::andJoin, c,
                   empty ? Words::is : Words::spacedIsNot);
        if (fld.kind != ValueKind::Number)
            m_out.text(QString());
        else
            m_out.zero();
        m_out.sql += empty || m_storageCheck ? Words::close : Words::blankClose;
        return;
    }
    const Word &join = empty ? Words::orJoin : Words::andJoin;
    switch (fld.dataType) {
    case 0:
        append(join, c, is);
        m_out.zero();
        m_out.sql += u')';
        break;
    case 4:
    case -10:
        // A date or number column cannot hold '', and PostgreSQL refuses to compare it with ''.
        if (!fld.textColumn && m_out.postgres()) {
            m_out.sql += u')';
            break;
        }
        append(join, c, is);
        m_out.text(QString());
        m_out.sql += empty ? Words::close : Words::blankClose;
        break;
    default: // 1, 2 and 3: a "*" stands for no value as well
        append(join, c, is);
        m_out.text(QString());
        append(join, c, is);
        m_out.text(u"*");
        m_out.sql += u')';
        break;
    }
}

void Composer::appendPattern(const Field &fld, const QString &value)
{
    // A value with a wildcard of its own is the user's pattern, written as it is.
    const auto wildcard = [](QChar ch) { return ch == u'%' || ch == u'_'; };
    if (fld.kind == ValueKind::Number) {
        m_out.number(value, u" ");
    } else if (std::any_of(value.begin(), value.end(), wildcard)) {
        m_out.text(value, u" ");
    } else {
        m_out.sql += u' ';
        m_out.pattern(value);
    }
    // PostgreSQL reads a backslash in a pattern as an escape; SQLite reads it as itself.
    if (m_out.postgres()) {
        m_out.sql += u" ESCAPE ";
        m_out.text(QString());
    }
    if (fld.kind != ValueKind::Number && m_catalog.serialUse)
        m_out.sql += u' ';
}

void Composer::appendList(const Field &fld, const QString &value, bool notIn)
{
    // Every field that is not of a character type takes numbers, here as in every other
    // value part; writing no list at all would leave a broken condition.
    const bool text = fld.kind != ValueKind::Number;
    // An empty value is no piece for numbers but one empty text, so that both forms find
    // the same rows.
    if (m_out.isBound()) {
        m_out.list(value.isEmpty() ? (text ? QStringList{QString()} : QStringList{})
                                   : value.split(u','),
                   text, notIn);
        return;
    }
    m_out.sql += u" (";
    if (value.isEmpty()) {
        if (text)
            m_out.text(QStringView());
    } else {
        // The pieces as views into the value: a list costs no allocation per piece.
        for (qsizetype from = 0, comma = 0; comma >= 0; from = comma + 1) {
            comma = value.indexOf(u',', from);
            const QStringView piece =
                QStringView(value).sliced(from, (comma < 0 ? value.size() : comma) - from);
            if (text)
                from == 0 ? m_out.text(piece) : m_out.text(piece, u",");
            else
                from == 0 ? m_out.number(piece) : m_out.number(piece, u",");
        }
    }
    m_out.sql += u')';
}

void Composer::appendPlain(const Field &fld, const QString &value)
{
    if (fld.kind == ValueKind::Number)
        m_out.number(value, u" ");
    else
        m_out.text(value, u" ", u" ");
}

/// A relative date compares as the range of days it means today: "等于 本月" is within the
/// month, "大于 本月" after its last day. Returns false, writing nothing, for any other value;
/// refuses a date field's value that is neither a date nor a relative date.
bool Composer::appendPeriod(const Field &fld, CompareOp op, const ConditionValue &value)
{
    if (fld.kind != ValueKind::Date)
        return false;
    // Compared as a text, it would find nothing, as if no record matched: an impossible day of
    // a stored scheme (2024-02-30), a word of a newer build, "过去0天".
    if (namesNoDate(op, value))
        rowFailure(m_row, Reason::UnknownDate, {value.text()});
    // A value made as a date was read as no relative date when it was made.
    if (op < CompareOp::Equal || op > CompareOp::NotEqual || value.kind() == ValueKind::Date)
        return false;
    const std::optional<RelativeDate> word = RelativeDate::read(value.text());
    if (!word)
        return false;
    if (!m_asOf.isValid())
        m_asOf = QDate::currentDate();
    const auto [first, end] = word->range(m_asOf, m_firstDayOfWeek);
    // A day past the calendar's ends has no yyyy-MM-dd: the condition would compare with ''.
    const QString firstText = first.toString(Qt::ISODate);
    const QString endText = end.toString(Qt::ISODate);
    if (firstText.isEmpty() || endText.isEmpty())
        rowFailure(m_row, Reason::DateOutOfRange, {value.text()});
    const auto side = [this, &fld](const Word &compare, const QString &date) {
        append(column(fld), compare);
        m_out.text(date);
    };
    m_out.sql += u' ';
    switch (op) {
    case CompareOp::Equal:
    case CompareOp::NotEqual:
        m_out.sql += u'(';
        side(op == CompareOp::Equal ? Words::atLeast : Words::below, firstText);
        m_out.sql += op == CompareOp::Equal ? Words::andWord : Words::orWord;
        side(op == CompareOp::Equal ? Words::below : Words::atLeast, endText);
        m_out.sql += u')';
        break;
    case CompareOp::Greater:
        side(Words::atLeast, endText);
        break;
    case CompareOp::GreaterOrEqual:
        side(Words::atLeast, firstText);
        break;
    case CompareOp::Less:
        side(Words::below, firstText);
        break;
    default: // LessOrEqual
        side(Words::below, endText);
        break;
    }
    m_out.sql += u' ';
    return true;
}

/// A field compared with another field: the two columns, with no value between them. Returns
/// false, writing nothing, for any other value.
bool Composer::appendField(const ConditionRow &row, const Field &fld)
{
    if (row.value.kind() != ValueKind::Field || row.compare == CompareOp::None)
        return false; // a row without a comparison is told so
    if (const auto reason = FieldCompare::refusal(m_catalog, row.field, row.compare, row.value))
        rowFailure(m_row, *reason, {row.value.text()});
    append(Words::blank, column(fld), compareSql[int(row.compare)], Words::blank,
           column(m_catalog.entries.at(row.value.field())));
    return true;
}

} // namespace

qsizetype rowsInUse(const FieldCatalog &catalog, const Condition &condition)
{
    return rowsInUseOf(catalog.data(), condition);
}

Composed compose(const FieldCatalog &catalog, const Condition &condition, const SqlForm &asked)
{
    SqlForm form = asked;
    form.firstDayOfWeek = weekStart(form.firstDayOfWeek);
    Composed result;
    // Rows switched off are left out, questions answered, before any form reads the rows.
    RunningCondition run =
        Questions::running(catalog, condition, form.answers, form.kind != SqlForm::Kind::Words);
    if (run.failure) {
        result.failure = std::move(run.failure);
        return result;
    }
    if (form.kind == SqlForm::Kind::Words) {
        result.text = conditionWords(catalog, run.condition, form.language);
        return result;
    }
    Sink out = form.kind == SqlForm::Kind::Bound ? Sink(form.engine) : Sink();
    Composer composer(catalog, run.condition, out, form);
    try {
        composer.run();
    } catch (Refusal &refusal) {
        if (refusal.failure.row == 0)
            refusal.failure.row = composer.m_row;
        refusal.failure.row = run.originalRow(refusal.failure.row);
        result.failure = std::move(refusal.failure);
        return result;
    }
    if (form.kind == SqlForm::Kind::Bound) {
        BoundCondition bound = out.bound(out.finish(), form.placeholders);
        result.text = std::move(bound.sql);
        result.values = std::move(bound.values);
    } else {
        result.text = out.finish();
    }
    return result;
}

} // namespace NxSerialFilter
