// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/stallwatch.h"

#include <QDir>
#include <QFile>

#include <libpq-fe.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#ifdef Q_OS_UNIX
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace NxSerialFilter {

namespace {

/// One address of the server as the kernel reports a peer: family, address bytes and port.
using Peer = std::vector<unsigned char>;

#ifdef Q_OS_UNIX
Peer peerOf(const sockaddr *address)
{
    const void *host = nullptr;
    size_t size = 0;
    in_port_t port = 0;
    if (address->sa_family == AF_INET) {
        const auto *in = reinterpret_cast<const sockaddr_in *>(address);
        host = &in->sin_addr;
        size = sizeof in->sin_addr;
        port = in->sin_port;
    } else if (address->sa_family == AF_INET6) {
        const auto *in = reinterpret_cast<const sockaddr_in6 *>(address);
        host = &in->sin6_addr;
        size = sizeof in->sin6_addr;
        port = in->sin6_port;
    } else {
        return {};
    }
    Peer peer(static_cast<const unsigned char *>(host),
              static_cast<const unsigned char *>(host) + size);
    peer.push_back(address->sa_family);
    peer.push_back(port & 0xff);
    peer.push_back(port >> 8);
    return peer;
}

/// The descriptors of this process that are sockets.
std::set<int> openSockets()
{
    std::set<int> sockets;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &entry : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds.filePath(entry)).contains(QLatin1String("socket:")))
            sockets.insert(entry.toInt());
    }
    return sockets;
}
#endif

} // namespace

struct StallWatch::State
{
    std::mutex mutex;
    std::condition_variable wake;
    bool ended = false;
    bool fired = false;
    int socket = -1;
    PGcancel *cancel = nullptr;
    std::set<int> socketsBefore;
    std::vector<Peer> server; // while a connection is being opened

    void clear()
    {
        socket = -1;
        if (cancel)
            PQfreeCancel(cancel);
        cancel = nullptr;
        server.clear();
    }

    /// Called with the mutex held, so that release() waits until the socket is left alone.
    void fire()
    {
        fired = true;
        if (cancel) {
            // The request opens a connection of its own and waits for the server to close
            // it; a stalled server would hold this thread, so it goes its own way.
            std::thread([c = cancel] {
                char error[256];
                PQcancel(c, error, sizeof error);
                PQfreeCancel(c);
            }).detach();
            cancel = nullptr;
        }
#ifdef Q_OS_UNIX
        std::set<int> targets;
        if (socket >= 0)
            targets.insert(socket);
        if (!server.empty()) {
            for (const int fd : openSockets()) {
                sockaddr_storage address{};
                socklen_t size = sizeof address;
                if (socketsBefore.count(fd) == 0 &&
                    ::getpeername(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0) {
                    const Peer peer = peerOf(reinterpret_cast<sockaddr *>(&address));
                    for (const Peer &known : server) {
                        if (peer == known)
                            targets.insert(fd);
                    }
                }
            }
        }
        // The blocked read in libpq returns at once and reports the connection lost.
        for (const int fd : targets)
            ::shutdown(fd, SHUT_RDWR);
#endif
        clear();
    }
};

StallWatch::StallWatch(std::chrono::milliseconds budget)
    : m_state(std::make_shared<State>())
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    m_thread = std::thread([state = m_state, deadline] {
        std::unique_lock lock(state->mutex);
        if (!state->wake.wait_until(lock, deadline, [&] { return state->ended; }))
            state->fire();
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
    if (m_state->fired || !pgconn)
        return;
    auto *connection = static_cast<PGconn *>(pgconn);
    m_state->socket = PQsocket(connection);
    m_state->cancel = PQgetCancel(connection);
}

void StallWatch::watchNewSocketsTo(const QString &host, int port)
{
#ifdef Q_OS_UNIX
    std::vector<Peer> server;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints,
                      &found) == 0) {
        for (addrinfo *a = found; a; a = a->ai_next)
            server.push_back(peerOf(a->ai_addr));
        ::freeaddrinfo(found);
    }
    const std::set<int> before = openSockets();
    const std::lock_guard lock(m_state->mutex);
    m_state->clear();
    m_state->server = std::move(server);
    m_state->socketsBefore = before;
#else
    Q_UNUSED(host);
    Q_UNUSED(port);
#endif
}

void StallWatch::release()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->clear();
}

bool StallWatch::fired() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->fired;
}

} // namespace NxSerialFilter
