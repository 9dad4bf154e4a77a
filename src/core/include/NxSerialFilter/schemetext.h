// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The text a scheme is stored as, read into and written from a Condition.

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QList>
#include <QString>

namespace NxSerialFilter::SchemeText {

/// A word of a stored row that names nothing this catalog or language knows, or a date
/// field's value that is neither a date nor a relative date this build knows.
struct RowProblem
{
    /// Which cell.
    enum class Cell : quint8 { Logic, Field, Compare, Value };
    int row = 0;             ///< the row, from 1
    Cell cell = Cell::Field; ///< the cell
    QString word;            ///< the cell's text

    /// Equal when every part is.
    friend bool operator==(const RowProblem &, const RowProblem &) = default;
};

/// A scheme text read into a condition.
struct Parsed
{
    Condition condition;        ///< one row per line; an empty text gives one empty row
    QList<RowProblem> problems; ///< the words that named nothing, by row
    /// Why the text was refused as a whole (over the sizes of NxSerialFilter::Limits): the
    /// message the dialog shows, empty when read. The condition is then empty.
    QString refusal;

    /// True unless the text was refused.
    bool ok() const { return refusal.isEmpty(); }
};

/// Reads a stored scheme text: one row per CR LF line, the grid's seven cells by TAB (more are
/// dropped), quotes single. Logic and comparison words of every language the component ships
/// are read, the current language first; of two items with the same word the first is taken.
/// A field is found by the identifier its row keeps in the value-code cell ("field=…"), so
/// that a scheme survives other captions and languages, else by its caption as the list shows
/// it; that fact is then left out of ConditionRow::code, which write puts back. Cells are made
/// well-formed as the grid makes them (TAB, CR, LF and NUL become spaces). The dialog's grid,
/// the scheme store and the command-line tool read every text through it.
NXSF_CORE_EXPORT Parsed parse(const QString &text, const FieldCatalog &catalog);

/// The text a scheme of condition is stored as, with its words in language (empty for the
/// current one): every row, TAB between the seven cells, CR LF between rows, spaces at the
/// ends trimmed, quotes single. The value-code cell keeps the row's other facts and adds the
/// identifier of its field ("field=…"); a row whose field was not found keeps the cell as read.
/// parse and write give back a text write wrote byte for byte.
NXSF_CORE_EXPORT QString write(const Condition &condition, const FieldCatalog &catalog,
                               const QString &language = QString());

} // namespace NxSerialFilter::SchemeText
