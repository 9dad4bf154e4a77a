// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace NxSerialFilter {

/// Ends the wait of one server operation from the client side once its time is up: a server
/// or a proxy that stops answering after the handshake is never ended by the server's own
/// statement timeout. When the time is up, the server is asked to cancel (libpq's cancel
/// request, from a thread of its own) and the connection's socket is shut down, so that the
/// waiting call returns with a lost connection. Only the watched connection's own socket is
/// touched, never another of the process.
class StallWatch
{
public:
    explicit StallWatch(std::chrono::milliseconds budget);
    ~StallWatch();
    StallWatch(const StallWatch &) = delete;
    StallWatch &operator=(const StallWatch &) = delete;

    /// Watches an open connection (a PGconn*, as QSqlDriver::handle() gives it).
    void watch(void *pgconn);
    /// Watches a connection that is being opened: when the time is up, handle gives the PGconn*
    /// the driver holds by then. Until libpq has connected there is none, and its own
    /// connect_timeout ends the wait. handle runs on the watch's thread while the opener waits
    /// in the driver; release() before the connection may go.
    void watchOpening(std::function<void *()> handle);
    /// Stops touching the connection; call before it may be closed.
    void release();
    /// Gives the operation its whole budget again from now: for work whose statements grow
    /// with its size, each statement then has the budget.
    void restart();
    /// Whether the time ran out.
    bool fired() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

} // namespace NxSerialFilter
