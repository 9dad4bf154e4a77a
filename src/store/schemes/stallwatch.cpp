// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/stallwatch.h"

#include <QtGlobal>

#include <libpq-fe.h>

#include <condition_variable>
#include <mutex>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace NxSerialFilter {

struct StallWatch::State
{
    std::mutex mutex;
    std::condition_variable wake;
    std::chrono::milliseconds budget{0};
    std::chrono::steady_clock::time_point deadline;
    bool ended = false;
    bool fired = false;
    PGconn *connection = nullptr;
    std::function<void *()> opening;

    void clear()
    {
        connection = nullptr;
        opening = nullptr;
    }

    /// Called with the mutex held, so that release() waits until the socket is left alone.
    void fire()
    {
        fired = true;
        PGconn *c = connection ? connection : opening ? static_cast<PGconn *>(opening()) : nullptr;
        if (c) {
            // The request opens a connection of its own and waits for the server to close
            // it; a stalled server would hold this thread, so it goes its own way.
            if (PGcancel *cancel = PQgetCancel(c)) {
                std::thread([cancel] {
                    char error[256];
                    PQcancel(cancel, error, sizeof error);
                    PQfreeCancel(cancel);
                }).detach();
            }
#ifdef Q_OS_UNIX
            // The blocked read in libpq returns at once and reports the connection lost.
            if (const int socket = PQsocket(c); socket >= 0)
                ::shutdown(socket, SHUT_RDWR);
#endif
        }
        clear();
    }
};

StallWatch::StallWatch(std::chrono::milliseconds budget)
    : m_state(std::make_shared<State>())
{
    m_state->budget = budget;
    m_state->deadline = std::chrono::steady_clock::now() + budget;
    m_thread = std::thread([state = m_state] {
        std::unique_lock lock(state->mutex);
        while (!state->ended) {
            if (state->wake.wait_until(lock, state->deadline) == std::cv_status::timeout &&
                !state->ended && std::chrono::steady_clock::now() >= state->deadline) {
                state->fire();
                return;
            }
        }
    });
}

StallWatch::~StallWatch()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->ended = true;
        m_state->clear();
    }
    m_state->wake.notify_all();
    m_thread.join();
}

void StallWatch::watch(void *pgconn)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->clear();
    if (!m_state->fired)
        m_state->connection = static_cast<PGconn *>(pgconn);
}

void StallWatch::watchOpening(std::function<void *()> handle)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->clear();
    if (!m_state->fired)
        m_state->opening = std::move(handle);
}

void StallWatch::release()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->clear();
}

void StallWatch::restart()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->deadline = std::chrono::steady_clock::now() + m_state->budget;
}

bool StallWatch::fired() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->fired;
}

} // namespace NxSerialFilter
