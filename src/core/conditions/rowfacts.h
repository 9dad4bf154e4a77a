// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace NxSerialFilter {

/// The facts a stored row keeps in its hidden value-code cell, which older readers carry and
/// never use in the condition: "key=value" pieces joined by ";" ("field=102;off=1"). A piece
/// this build does not know (another key, or any text an older scheme held there) is kept in
/// its place and written back as it was. In a value, "%", ";" and control characters are
/// written as %XX.
class RowFacts
{
public:
    /// The name under which a row keeps its field's identifier.
    static QString fieldKey() { return QStringLiteral("field"); }
    /// "value=field": the row compares its field with the field named by "valuefield=", an
    /// identifier as "field=" holds one.
    static QString valueKey() { return QStringLiteral("value"); }
    static QString valueFieldKey() { return QStringLiteral("valuefield"); }

    RowFacts() = default;
    /// The facts of a cell's text; an empty cell holds none.
    static RowFacts read(QStringView cell);
    /// The cell's text: read gives back what it read, byte for byte.
    QString text() const { return m_pieces.join(u';'); }
    bool isEmpty() const { return m_pieces.isEmpty(); }

    /// The value of the first piece of key; a null text when there is none.
    QString value(QStringView key) const;
    /// Sets key's first piece to value, or appends one.
    void set(QStringView key, const QString &value);
    /// Drops every piece of key.
    void remove(QStringView key);

    friend bool operator==(const RowFacts &, const RowFacts &) = default;

private:
    qsizetype find(QStringView key) const;

    QStringList m_pieces;
};

} // namespace NxSerialFilter
