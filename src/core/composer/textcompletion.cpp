// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/composer/textcompletion.h"

#include "core/conditions/fieldlist.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"

#include <algorithm>

namespace NxSerialFilter::TextCompletion {

namespace {

/// The words a user's partial word finds, letter case ignored.
QStringList found(const QStringList &words, QStringView partial)
{
    QStringList kept;
    for (const QString &word : words) {
        if (word.contains(partial, Qt::CaseInsensitive))
            kept.append(word);
    }
    return kept;
}

QStringList logicWords(const Vocabulary::WordBook &book)
{
    return {book.logic(LogicOp::And), book.logic(LogicOp::Or)};
}

bool takesValue(CompareOp op)
{
    return op != CompareOp::IsEmpty && op != CompareOp::IsNotEmpty;
}

} // namespace

Offer offer(const FieldCatalog &catalog, QStringView typed, const ConditionTextRead &read)
{
    Offer offer;
    const Vocabulary::WordBook book;
    if (read.ok()) {
        // A whole row and a blank after it: the row is followed by a logic word.
        if (!typed.trimmed().isEmpty() && typed.back().isSpace()) {
            offer.kind = Offer::Kind::Logic;
            offer.from = typed.size();
            offer.words = logicWords(book);
        }
        return offer;
    }
    const ConditionTextFailure &failure = *read.failure;
    offer.from = std::clamp<qsizetype>(failure.position, 0, typed.size());
    const QStringView partial = typed.mid(offer.from);
    offer.field = failure.field;
    offer.compare = failure.compare;
    switch (failure.expected) {
    case ConditionTextFailure::Expected::Field: {
        offer.kind = Offer::Kind::Fields;
        for (int k = 1; k < catalog.count(); ++k) {
            const QString caption = catalog.caption(k);
            if (!caption.isEmpty() && FieldList::captionFound(caption, partial))
                offer.words.append(caption);
        }
        break;
    }
    case ConditionTextFailure::Expected::Compare: {
        offer.kind = Offer::Kind::Compares;
        QStringList words;
        for (int op = int(CompareOp::Equal); op <= int(CompareOp::NotInList); ++op)
            words.append(book.compare(CompareOp(op)));
        offer.words = found(words, partial);
        break;
    }
    case ConditionTextFailure::Expected::Value: {
        offer.kind = Offer::Kind::Values;
        if (failure.field < 1 || failure.field >= catalog.count() || !takesValue(failure.compare))
            break;
        const ValueKind kind = catalog.valueKind(failure.field);
        QStringList words;
        // A relative date is a range of days, which the six plain comparisons compare with.
        if (kind == ValueKind::Date && failure.compare <= CompareOp::NotEqual) {
            for (const RelativeDate &date : RelativeDate::offered())
                words.append(date.word());
        }
        if (CurrentUser::takesWord(kind, failure.compare))
            words.append(CurrentUser::word());
        offer.words = found(words, partial);
        offer.lookUp = catalog.hasLookUp(failure.field);
        break;
    }
    case ConditionTextFailure::Expected::Logic:
        offer.kind = Offer::Kind::Logic;
        offer.words = found(logicWords(book), partial);
        break;
    case ConditionTextFailure::Expected::QuoteEnd:
        break;
    }
    return offer;
}

QString valueWords(const FieldCatalog &catalog, int field, CompareOp compare, const QString &value)
{
    ConditionRow row;
    row.field = field;
    row.compare = compare;
    row.value = ConditionValue::fromText(rowValueKind(catalog, field, compare), value);
    return ConditionText::valueWords(catalog, row);
}

} // namespace NxSerialFilter::TextCompletion
