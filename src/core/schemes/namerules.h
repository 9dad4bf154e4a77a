// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

namespace NxSerialFilter {

/// What the name box lets through, apart from the window.
namespace NameRules {

/// A box holding more than this many characters refuses every key.
constexpr int KeyLimit = int(Limits::MaxSchemeNameLength) - 1;

/// Whether a typed character (Backspace is 8) may reach a box holding current.
NXSF_CORE_AUTOTEST_EXPORT bool acceptsKey(const QString &current, QChar key);
/// The part of text arriving other than by a key (pasted, from an input method) that may
/// replace selectedLength characters of current: no quotes, breaks as spaces, and no more
/// than typing could have reached. Empty when nothing may be inserted.
NXSF_CORE_AUTOTEST_EXPORT QString insertable(const QString &current, int selectedLength,
                                             const QString &text);
/// Whether OK may accept the name as typed.
bool canAccept(const QString &name);

/// The most characters a name can reach: typing stops one past KeyLimit.
constexpr int MaxLength = KeyLimit + 1;
/// Whether a name that did not come through the box (an import, say) is one that the box and
/// a save could have stored: not empty, no spaces at its ends, no quote, no control character
/// (a line break would forge lines in listings, nor a line separator or a control that
/// reorders text) and at most MaxLength characters.
bool isStorable(const QString &name);
/// Whether a screen id may be stored: at most Limits::MaxScreenIdLength characters, none of
/// the characters that a name may not hold either (empty is allowed: a host may give none).
bool isStorableScreen(const QString &screen);
/// The text with every control, format and separator character and every backslash written
/// as an escape (\u202e, \\), so that a stored text shows exactly what it holds.
QString printable(const QString &text);

} // namespace NameRules

} // namespace NxSerialFilter
