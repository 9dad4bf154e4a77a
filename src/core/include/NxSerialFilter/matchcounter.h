// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The host's count of the records a condition matches, shown live in the filter dialog.

#include <NxSerialFilter/boundcondition.h>

#include <functional>
#include <optional>

namespace NxSerialFilter {

/// Counts the host's records that a condition matches.
///
/// It receives the condition in bound form, for the engine and placeholders the host named
/// (as Filter::FilterQuery gives it); an empty sql means no row is in use: every record. It
/// returns the count, or std::nullopt when it cannot count; an exception it throws counts as
/// a failure too. Either way the dialog shows that it could not count and goes on working.
///
/// Threading contract:
/// - It is called on a worker thread of the component, never on the user-interface thread,
///   and must not touch widgets or any object that lives there.
/// - It must use a database connection of its own for the thread it runs on: a Qt Sql
///   connection may only be used by the thread that opened it, so open one per thread
///   (named after the thread, say) rather than the host's main connection.
/// - Calls may overlap on different threads: a newer condition does not wait for an older
///   count to end. The older result is then dropped.
/// - It is never called for a dialog that has closed, but a call already running when the
///   dialog closes runs to its end and its result is dropped; nothing waits for it but the
///   end of the application object, which lets running counts finish. Whatever it captures
///   must therefore stay valid after the dialog and the Filter object have gone: capture by
///   value, not a reference to the host's window.
/// - It is copied when set; each dialog keeps its own copy.
using MatchCounter = std::function<std::optional<qint64>(const BoundCondition &condition)>;

} // namespace NxSerialFilter
