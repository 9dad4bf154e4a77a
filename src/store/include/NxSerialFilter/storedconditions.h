// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// Composing the condition of a saved scheme without the dialog.

#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/nxsf_store_export.h>

namespace NxSerialFilter {

/// The conditions of saved schemes, composed without a window.
namespace StoredConditions {

/// Composes the condition of the scheme saved under schemeName (blanks at both ends ignored)
/// for the composer's screen, as picking it in the dialog and pressing OK would. The scheme is
/// read through the scheme reader of the component registry: the configured store (the
/// context property SCHEMEDB) unless the host registered its own. A scheme that does not
/// exist or cannot be read fails with ComposedCondition::Failure::Scheme. answers answer the
/// values the scheme asks when it runs, keyed by question (ConditionComposer::questions lists
/// them); a question without an answer is refused with a message that names it.
NXSF_STORE_EXPORT ComposedCondition compose(const ConditionComposer &composer,
                                            const QString &schemeName, const Answers &answers,
                                            SqlEngine engine = SqlEngine::SQLite,
                                            Placeholders placeholders = Placeholders::QMark);

/// Composes as above without answers: a scheme that asks a value when it runs is refused
/// with a message that names the question.
inline ComposedCondition compose(const ConditionComposer &composer, const QString &schemeName,
                                 SqlEngine engine = SqlEngine::SQLite,
                                 Placeholders placeholders = Placeholders::QMark)
{
    return compose(composer, schemeName, Answers(), engine, placeholders);
}

} // namespace StoredConditions
} // namespace NxSerialFilter
