// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The host's count of the records a condition matches, shown live in the filter dialog.

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <concepts>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace NxSerialFilter {

/// What an estimate of a count claims.
enum class CountEstimate : quint8 {
    About,   ///< about this many, as a database planner guesses ("约 4,790,000")
    MoreThan ///< more than this many: a count that stopped at a limit ("超过 100,000")
};

/// Runs between the dialog and one count: the dialog cancels it through this when nobody
/// waits for its result any more, and the count may tell the dialog an estimate before its
/// exact result. Copies share one state; the dialog makes one per count.
class NXSF_CORE_EXPORT CountControl
{
public:
    struct State; ///< shared by the copies and their hooks

    /// Ends what cancel() calls (see onCancel()) once it goes out of scope.
    class NXSF_CORE_EXPORT Hook
    {
    public:
        Hook() = default;
        /// Takes over other's function; other then ends nothing.
        Hook(Hook &&other) noexcept = default;
        /// Ends this hook's function, then takes over other's.
        Hook &operator=(Hook &&other) noexcept;
        Hook(const Hook &) = delete;
        Hook &operator=(const Hook &) = delete;
        /// Waits for a call of the function running on another thread, then forgets it.
        ~Hook();

    private:
        friend class CountControl;
        explicit Hook(std::shared_ptr<State> state)
            : m_state(std::move(state))
        {}
        std::shared_ptr<State> m_state;
    };

    CountControl();

    /// Whether the count is no longer wanted: a newer condition came, or the dialog closed.
    bool isCancelled() const;
    /// Has cancel called once when the count is no longer wanted: on the thread that cancels,
    /// which is the user-interface thread, so it must return at once (interrupt the statement,
    /// hand a network request to a thread of its own). When the count is already cancelled it
    /// is called at once, on this thread. It replaces a function set before. It is called no
    /// more once the returned hook has ended, nor during the hook's end: the count may then
    /// close what cancel touches.
    [[nodiscard]] Hook onCancel(std::function<void()> cancel) const;
    /// Tells the dialog how many records the count will be about, while the exact count runs.
    /// The dialog shows it, marked as an estimate, if the exact count has not come within its
    /// budget, until the exact count replaces it.
    void estimate(qint64 records, CountEstimate kind) const;

    /// For the one who runs the count: marks it no longer wanted and calls the function set
    /// with onCancel(). Later calls do nothing.
    void cancel() const;
    /// For the one who runs the count: receives estimate() on the thread that counts.
    void
    setEstimateReceiver(std::function<void(qint64 records, CountEstimate kind)> receiver) const;

private:
    std::shared_ptr<State> d;
};

/// Counts the host's records that a condition matches.
///
/// It receives the condition in bound form, for the engine and placeholders the host named
/// (as Filter::FilterQuery gives it); an empty sql means no row is in use: every record. It
/// returns the count, or std::nullopt when it cannot count; an exception it throws counts as
/// a failure too. Either way the dialog shows that it could not count and goes on working.
///
/// It is made from a callable of either form:
/// - `std::optional<qint64>(const BoundCondition &)`: the count cannot be told that it is no
///   longer wanted, so a count made stale by a newer condition or the dialog's close runs to
///   its end and its result is dropped, and a newer count starts beside it;
/// - `std::optional<qint64>(const BoundCondition &, const CountControl &)`: the dialog
///   cancels a stale count through the control and starts the next one once it has
///   returned, so that one dialog runs at most one count at a time; the control also
///   carries an estimate back. SqlMatchCounter is one, for hosts on Qt Sql.
///
/// Threading contract:
/// - It is called on a worker thread of the component, never on the user-interface thread,
///   and must not touch widgets or any object that lives there.
/// - It must use a database connection of its own for the thread it runs on: a Qt Sql
///   connection may only be used by the thread that opened it, so open one per thread
///   (named after the thread, say) rather than the host's main connection.
/// - Calls may overlap on different threads, the older one stale, for a counter of the first
///   form, and for one of the second form that has not returned soon after it was cancelled.
/// - It is never called for a dialog that has closed, but a call already running when the
///   dialog closes is cancelled (second form) or runs to its end (first form), and its result
///   is dropped; nothing waits for it but the end of the application object, which lets
///   running counts finish. Whatever it captures must therefore stay valid after the dialog
///   and the Filter object have gone: capture by value, not a reference to the host's window.
/// - It is copied when set; each dialog keeps its own copy.
class MatchCounter
{
public:
    /// The form that takes a control.
    using Cancellable =
        std::function<std::optional<qint64>(const BoundCondition &, const CountControl &)>;

    /// No counter: the dialog shows no count line.
    MatchCounter() = default;
    /// No counter, as the empty std::function of earlier versions.
    MatchCounter(std::nullptr_t) {}
    /// A counter of either form (see above).
    template <typename F>
    requires(!std::same_as<std::remove_cvref_t<F>, MatchCounter> &&
             (std::invocable<F &, const BoundCondition &> ||
              std::invocable<F &, const BoundCondition &, const CountControl &>))
        MatchCounter(F counter)
    {
        if constexpr (std::invocable<F &, const BoundCondition &, const CountControl &>) {
            m_count = Cancellable(std::move(counter));
            m_cancellable = bool(m_count);
        } else {
            std::function<std::optional<qint64>(const BoundCondition &)> plain(std::move(counter));
            if (plain)
                m_count = [plain = std::move(plain)](const BoundCondition &condition,
                                                     const CountControl &) {
                    return plain(condition);
                };
        }
    }

    /// Whether there is a counter.
    explicit operator bool() const { return bool(m_count); }
    /// Whether the counter hears of its cancellation (the second form).
    bool isCancellable() const { return m_cancellable; }
    /// Counts condition; control is what the dialog made for this count.
    std::optional<qint64> operator()(const BoundCondition &condition,
                                     const CountControl &control) const
    {
        return m_count(condition, control);
    }
    /// Counts condition with a control of its own, which nobody cancels.
    std::optional<qint64> operator()(const BoundCondition &condition) const
    {
        return m_count(condition, CountControl());
    }

private:
    Cancellable m_count;
    bool m_cancellable = false;
};

} // namespace NxSerialFilter
