// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <thread>

namespace NxSerialFilter {

/// Ends the wait of one server operation from the client side once its time is up: a server
/// or a proxy that stops answering after the handshake is never ended by the server's own
/// statement timeout. When the time is up, the server is asked to cancel (libpq's cancel
/// request, from a thread of its own) and the connection's socket is shut down, so that the
/// waiting call returns with a lost connection.
class StallWatch
{
public:
    explicit StallWatch(std::chrono::milliseconds budget);
    ~StallWatch();
    StallWatch(const StallWatch &) = delete;
    StallWatch &operator=(const StallWatch &) = delete;

    /// Watches an open connection (a PGconn*, as QSqlDriver::handle() gives it).
    void watch(void *pgconn);
    /// Watches the sockets this process opens to host:port from now on, for a connection that
    /// is being opened and whose handle is not known yet.
    void watchNewSocketsTo(const QString &host, int port);
    /// Stops touching the connection; call before it may be closed.
    void release();
    /// Whether the time ran out.
    bool fired() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

} // namespace NxSerialFilter
