// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// What a condition that does not compose says, and the failure number of its alert.
#include <NxSerialFilter/compose.h>

#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

QString ComposeFailure::message() const
{
    switch (reason) {
    case Reason::TooManyRows:
        return Vocabulary::rowMessage(row, Texts::tooManyConditionRows());
    case Reason::NoLogic:
        return Vocabulary::rowMessage(row, Texts::noLogicChosen());
    case Reason::EmptyFieldBeforeRows:
        return Vocabulary::rowMessage(row, Texts::emptyFieldBeforeRows());
    case Reason::ParenthesesTooDeep:
        return Vocabulary::rowMessage(row, Texts::parenthesesTooDeep());
    case Reason::NoCompare:
        return Vocabulary::rowMessage(row, Texts::noCompareChosen());
    case Reason::NoFieldEntry:
        return Vocabulary::rowMessage(row, Texts::noFieldEntry());
    case Reason::NoCommonField:
        return Vocabulary::rowMessage(row, Texts::noCommonField());
    case Reason::ColumnRefused:
        return Vocabulary::rowMessage(row, Texts::columnRefused());
    case Reason::UnknownDate:
        return Vocabulary::rowMessage(row, Texts::unknownDateWord()).arg(arguments.value(0));
    case Reason::DateOutOfRange:
        return Vocabulary::rowMessage(row, Texts::dateOutOfCalendar()).arg(arguments.value(0));
    case Reason::OffRowUnbalances:
        return Vocabulary::rowMessage(row, Texts::offRowUnbalances());
    case Reason::Unanswered:
        return Vocabulary::rowMessage(row, Texts::unansweredQuestion()).arg(arguments.value(0));
    case Reason::FieldNotComparable:
        return Vocabulary::rowMessage(row, Texts::fieldNotComparable());
    case Reason::OtherFieldUnusable:
        return Vocabulary::rowMessage(row, Texts::otherFieldUnusable()).arg(arguments.value(0));
    case Reason::NoCurrentUser:
        return Vocabulary::rowMessage(row, Texts::noCurrentUser());
    case Reason::UnknownField:
        return Language::text(Texts::unknownSerialField());
    case Reason::BadDataType:
        return Language::text(Texts::badSerialDataType());
    case Reason::ParenthesisCellsOnly:
        return Language::text(Texts::parenthesisCellsOnly());
    case Reason::Unbalanced:
        return Language::text(Texts::unbalancedParentheses());
    case Reason::BadDescription:
        return arguments.value(1);
    }
    return {};
}

} // namespace NxSerialFilter
