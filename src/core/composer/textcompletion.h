// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringList>
#include <QStringView>

/// Completion of a condition typed as words: what the reader wanted where it stopped, and a
/// value written as the words write it.
namespace NxSerialFilter::TextCompletion {

/// What completion offers at the cursor.
struct Offer
{
    /// What the words offered are.
    enum class Kind : quint8 { None, Fields, Compares, Values, Logic };
    Kind kind = Kind::None;
    /// Where the word being typed starts: a choice replaces the text from here to the cursor.
    qsizetype from = 0;
    QStringList words; ///< the words offered that the word being typed finds, in list order
    int field = -1;    ///< Compares and Values: the row's field
    CompareOp compare = CompareOp::None; ///< Values: the row's comparison
    bool lookUp = false;                 ///< Values: the field's F7 look-up is offered too
};

/// What completion offers at the end of typed (the text up to the cursor), which read as
/// read: where the reader stopped tells what it wanted there. Fields are found by the field
/// cell's search; the words are those of the current language.
NXSF_CORE_AUTOTEST_EXPORT Offer offer(const FieldCatalog &catalog, QStringView typed,
                                      const ConditionTextRead &read);

/// A value of the row on field compared by compare as the words write it, quoted where the
/// reader needs it: what completion puts in place of the word begun. In the current language.
NXSF_CORE_AUTOTEST_EXPORT QString valueWords(const FieldCatalog &catalog, int field,
                                             CompareOp compare, const QString &value);

} // namespace NxSerialFilter::TextCompletion
