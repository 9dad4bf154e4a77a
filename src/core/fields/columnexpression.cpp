// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/fields/columnexpression.h"

#include <NxSerialFilter/limits.h>

#include <QString>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace NxSerialFilter {

namespace {

/// Words that, read as a name, would change what the condition means: logic and comparison
/// operators, constants, the user and clock values, and the starts of queries and cases.
bool isKeyword(QStringView word)
{
    static constexpr QLatin1StringView words =
        " ALL AND ANY AS BETWEEN CASE COLLATE CURRENT_CATALOG CURRENT_DATE CURRENT_ROLE "
        "CURRENT_SCHEMA CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER DEFAULT DISTINCT DIV ELSE "
        "END ESCAPE EXCEPT EXISTS FALSE FROM GLOB ILIKE IN INTERSECT IS LIKE LOCALTIME "
        "LOCALTIMESTAMP MATCH MOD NOT NULL OR REGEXP RLIKE SELECT SESSION_USER SIMILAR SOME "
        "SYSTEM_USER THEN TRUE UNION UNKNOWN USER VALUES WHEN WHERE XOR "_L1;
    return words.contains(u' ' + word.toString() + u' ', Qt::CaseInsensitive);
}

/// SQLite's postfix null tests: a column of that name would read as "… Is null"; as function
/// names they are SQL Server's (ISNULL(t1.FQty,0)).
bool isNullTest(QStringView word)
{
    return word.compare("ISNULL"_L1, Qt::CaseInsensitive) == 0 ||
           word.compare("NOTNULL"_L1, Qt::CaseInsensitive) == 0;
}

bool isBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n';
}

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool isNameChar(QChar ch)
{
    return ch.isLetter() || isDigit(ch) || ch == u'_';
}

/// Recursive descent over the text; every method returns false at the first thing it refuses.
class Reader
{
public:
    explicit Reader(QStringView text)
        : m_text(text)
    {}

    ColumnExpression read()
    {
        ColumnExpression result;
        if (m_text.size() > Limits::MaxColumnNameLength)
            return result;
        if (!expression() || (skipBlanks(), m_at != m_text.size()) || m_columns == 0)
            return result;
        result.safe = true;
        // One reference only when nothing surrounds it: no sign, no parentheses.
        const QStringView trimmed = m_text.trimmed();
        const bool alone = m_terms == 1 && m_columns == 1 &&
                           m_refStart == trimmed.data() - m_text.data() &&
                           m_refEnd == m_refStart + trimmed.size();
        result.parts = alone ? m_lastParts : 0;
        result.plain = result.parts > 0 && m_lastPlain;
        result.brackets = m_brackets;
        result.nesting = m_deepest;
        return result;
    }

private:
    QChar peek() const { return m_at < m_text.size() ? m_text.at(m_at) : QChar(); }
    QChar peekNext() const { return m_at + 1 < m_text.size() ? m_text.at(m_at + 1) : QChar(); }

    void skipBlanks()
    {
        while (m_at < m_text.size() && isBlank(m_text.at(m_at)))
            ++m_at;
    }

    /// A binary operator at the reading point, consumed; refuses the comment openers.
    bool binaryOperator(bool &found)
    {
        skipBlanks();
        found = false;
        const QChar ch = peek();
        if ((ch == u'-' && peekNext() == u'-') || (ch == u'/' && peekNext() == u'*'))
            return false;
        if (ch == u'|') {
            if (peekNext() != u'|')
                return false;
            m_at += 2;
            found = true;
        } else if (ch == u'+' || ch == u'-' || ch == u'*' || ch == u'/' || ch == u'%') {
            ++m_at;
            found = true;
        }
        return true;
    }

    bool expression()
    {
        if (!term())
            return false;
        for (;;) {
            bool found = false;
            if (!binaryOperator(found))
                return false;
            if (!found)
                return true;
            if (!term())
                return false;
        }
    }

    bool term()
    {
        skipBlanks();
        if ((peek() == u'-' || peek() == u'+') && peekNext() != u'-') {
            ++m_at;
            skipBlanks();
        }
        if (++m_terms > Limits::MaxColumnTerms)
            return false;
        const QChar ch = peek();
        if (isDigit(ch))
            return number();
        if (ch == u'(') {
            ++m_at;
            return nested([this] { return expression(); });
        }
        int parts = 0;
        bool plain = true;
        const qsizetype start = m_at;
        if (!reference(parts, plain))
            return false;
        const qsizetype end = m_at;
        skipBlanks();
        if (peek() == u'(') { // a function call
            if (m_keyword)
                return false;
            ++m_at;
            return nested([this] { return arguments(); });
        }
        if (m_keyword || m_nullTest)
            return false;
        m_refStart = start;
        m_refEnd = end;
        ++m_columns;
        m_lastParts = parts;
        m_lastPlain = plain;
        return true;
    }

    template <class Inside> bool nested(Inside inside)
    {
        if (++m_depth > Limits::MaxColumnNesting)
            return false;
        m_deepest = std::max(m_deepest, m_depth);
        if (!inside())
            return false;
        skipBlanks();
        if (peek() != u')')
            return false;
        ++m_at;
        --m_depth;
        return true;
    }

    bool arguments()
    {
        skipBlanks();
        if (peek() == u')')
            return true;
        for (;;) {
            if (!expression())
                return false;
            skipBlanks();
            if (peek() != u',')
                return true;
            ++m_at;
        }
    }

    bool number()
    {
        while (isDigit(peek()))
            ++m_at;
        if (peek() == u'.') {
            ++m_at;
            if (!isDigit(peek()))
                return false;
            while (isDigit(peek()))
                ++m_at;
        }
        // "1e5", "0x1F", "1.2.3" and "1OR" are read differently by each engine, or as more.
        return !isNameChar(peek()) && peek() != u'.';
    }

    /// Names joined by ".", at most four.
    bool reference(int &parts, bool &plain)
    {
        m_keyword = false;
        m_nullTest = false;
        for (;;) {
            if (++parts > 4)
                return false;
            bool quoted = false;
            if (!name(quoted))
                return false;
            plain = plain && !quoted;
            skipBlanks();
            if (peek() != u'.')
                return true;
            ++m_at;
            skipBlanks();
        }
    }

    bool name(bool &quoted)
    {
        const QChar ch = peek();
        if (ch == u'"' || ch == u'[') {
            quoted = true;
            const QChar close = ch == u'"' ? QChar(u'"') : QChar(u']');
            m_brackets = m_brackets || ch == u'[';
            const qsizetype start = ++m_at;
            // A NUL would end the statement text early for some readers.
            while (m_at < m_text.size() && m_text.at(m_at) != close &&
                   m_text.at(m_at).unicode() >= 0x20)
                ++m_at;
            if (peek() != close || m_at == start)
                return false;
            ++m_at;
            return true;
        }
        // A leading digit would make it a number, not a column.
        if (!ch.isLetter() && ch != u'_')
            return false;
        const qsizetype start = m_at;
        while (isNameChar(peek()))
            ++m_at;
        const QStringView word = m_text.sliced(start, m_at - start);
        m_keyword = m_keyword || isKeyword(word);
        m_nullTest = m_nullTest || isNullTest(word);
        return true;
    }

    QStringView m_text;
    qsizetype m_at = 0;
    int m_terms = 0;
    int m_columns = 0;
    int m_depth = 0;
    int m_deepest = 0;
    int m_lastParts = 0;
    qsizetype m_refStart = -1; // where the last column reference stands
    qsizetype m_refEnd = -1;
    bool m_keyword = false;  // the reference being read holds a keyword
    bool m_nullTest = false; // … or ISNULL / NOTNULL
    bool m_lastPlain = false;
    bool m_brackets = false;
};

} // namespace

ColumnExpression ColumnExpression::read(QStringView text)
{
    return Reader(text).read();
}

QString ColumnExpression::doubleQuoted(QStringView text)
{
    // A safe expression holds no string literal or comment: its only quoted parts are names.
    QString result;
    result.reserve(text.size() + 2);
    QChar closing;
    for (const QChar ch : text) {
        if (closing.isNull()) {
            if (ch == u'"' || ch == u'[')
                closing = ch == u'"' ? QChar(u'"') : QChar(u']');
            result += ch == u'[' ? QChar(u'"') : ch;
        } else if (ch == closing) {
            closing = QChar();
            result += u'"';
        } else {
            if (ch == u'"') // inside […]
                result += u'"';
            result += ch;
        }
    }
    return result;
}

} // namespace NxSerialFilter
