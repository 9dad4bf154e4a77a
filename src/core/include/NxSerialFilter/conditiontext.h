// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// A condition as the words a user types: read into a Condition, written back by compose's
/// words (SqlForm::words()).
///
/// The words are rows of field, comparison and value joined by 并且 or 或者, each row in
/// parentheses as it groups: `数量 大于 50 并且 (序列号 包含 「SN 1」 或者 仓库 为空)`. Every
/// language the component ships is read, mixed in one text. A value is quoted in 「…」 or
/// "…" (the quote doubled inside) when it holds a blank, a quote, a parenthesis, a comma or a
/// word of the grammar; a value list is `a, b, c`; another field is `【订购数量】`; a question
/// asked when the condition runs is `？` (the field's caption asked) or `？「本次数量」`; dates
/// are typed as the grid takes them, relative dates (`本月`, `过去7天`) and the word 当前用户
/// as the grid shows them.

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace NxSerialFilter {

/// Why a condition text does not read, and where: the first character that could not be read
/// and what was wanted there.
struct ConditionTextFailure
{
    /// What the reader wanted at the position.
    enum class Expected : quint8 {
        Field,   ///< a field's caption (or "(" at the start of a row)
        Compare, ///< a comparison the field takes
        Value,   ///< a value of the field's kind
        Logic,   ///< 并且 or 或者 (or ")" or the end)
        QuoteEnd ///< the end of a quoted value begun earlier
    };
    /// The character index, from 0, where reading stopped: the start of the word that could not
    /// be read, or the end of the text.
    qsizetype position = 0;
    Expected expected = Expected::Field; ///< what was wanted
    /// The catalog position of the row's field when one was read (Compare and Value), else -1;
    /// completion offers the field's comparisons or values from it.
    int field = -1;
    /// The comparison of the row when one was read (Value), else CompareOp::None.
    CompareOp compare = CompareOp::None;
    /// Field: a caption to give as the example. Value: the word that is no value of the field
    /// ("2024-02-30" on a date field, a caption in 【】 the catalog lacks); empty when no word
    /// was there at all.
    QString detail;
    /// The language the reader was asked to explain in ("en", ...; empty for the current one).
    QString language;

    /// "第12个字符：这里需要比较方式，例如 等于", in explainedIn, else in the language the reader
    /// was asked for. The position is counted from 1 for people.
    NXSF_CORE_EXPORT QString message(const QString &explainedIn = QString()) const;

    /// Equal when every part is.
    friend bool operator==(const ConditionTextFailure &, const ConditionTextFailure &) = default;
};

/// What a condition text read as, or why it did not.
struct ConditionTextRead
{
    Condition condition;                         ///< the rows read; empty on failure
    std::optional<ConditionTextFailure> failure; ///< set when the text does not read

    /// True when the text read.
    bool ok() const { return !failure.has_value(); }
};

namespace ConditionText {

/// Reads text, the words of a condition over catalog, as the grid would hold them: field
/// captions as the catalog lists them, the logic and comparison words of every language the
/// component ships, values by the grid's rules for the field's kind (a date as yyyy-mm-dd,
/// yyyy/m/d or yyyymmdd, kept as yyyy-mm-dd; a quoted value as it is). An empty text is the
/// empty condition. language is the one a failure explains itself in ("en", ...; empty for
/// the current one). Linear in the text's length; pure.
NXSF_CORE_EXPORT ConditionTextRead parse(const FieldCatalog &catalog, QStringView text,
                                         const QString &language = QString());

} // namespace ConditionText

} // namespace NxSerialFilter
