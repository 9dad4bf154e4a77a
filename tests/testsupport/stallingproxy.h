// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

// A server that stops answering, or answers slowly, for the tests of the store and the tool.

#include <QByteArrayList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace NxSerialFilter::Testing {

/// A loopback proxy to a server that passes everything until a connection's client has sent
/// its stallAt-th piece, and from then on passes nothing either way on that connection: a
/// server or network that stops answering after the handshake. With stallAfter, a connection
/// stalls instead at the client's first piece after pieces that held each of those byte
/// strings in turn; with delayMs, each piece of a client waits that long first (a server slow
/// to answer, but answering).
class StallingProxy
{
public:
    StallingProxy(int serverPort, int stallAt, const QByteArrayList &stallAfter = {},
                  int delayMs = 0)
        : m_serverPort(serverPort)
        , m_stallAt(stallAt)
        , m_stallAfter(stallAfter)
        , m_delayMs(delayMs)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        socklen_t size = sizeof address;
        auto *at = reinterpret_cast<sockaddr *>(&address);
        if (::pipe(m_stop) != 0 || ::bind(m_listener, at, size) != 0 ||
            ::listen(m_listener, 16) != 0 || ::getsockname(m_listener, at, &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~StallingProxy()
    {
        if (m_thread.joinable()) {
            const char stop = 'x';
            [[maybe_unused]] const auto written = ::write(m_stop[1], &stop, 1);
            m_thread.join();
        }
        for (const int fd : {m_listener, m_stop[0], m_stop[1]})
            ::close(fd);
    }
    StallingProxy(const StallingProxy &) = delete;
    StallingProxy &operator=(const StallingProxy &) = delete;
    int port() const { return m_port; }
    /// The connections accepted so far.
    int accepted() const { return m_accepted; }

private:
    struct Link
    {
        int client;
        int server;
        int pieces = 0;
        bool stalled = false;
        qsizetype seen = 0; // of stallAfter
    };

    static sockaddr_in loopback(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

    void run()
    {
        std::vector<Link> links;
        for (;;) {
            std::vector<pollfd> fds{{m_stop[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
            for (const Link &l : links) {
                fds.push_back({l.client, short(l.stalled ? 0 : POLLIN), 0});
                fds.push_back({l.server, short(l.stalled ? 0 : POLLIN), 0});
            }
            if (::poll(fds.data(), fds.size(), -1) < 0)
                break;
            if (fds[0].revents)
                break;
            // Only the links polled above have events; one accepted now waits for the next poll.
            const size_t polled = links.size();
            if (fds[1].revents & POLLIN) {
                const int client = ::accept(m_listener, nullptr, nullptr);
                const int server = ::socket(AF_INET, SOCK_STREAM, 0);
                const sockaddr_in address = loopback(m_serverPort);
                if (::connect(server, reinterpret_cast<const sockaddr *>(&address),
                              sizeof address) == 0)
                    links.push_back({client, server});
                ++m_accepted;
            }
            for (size_t i = 0; i < polled; ++i) {
                Link &l = links[i];
                for (const bool fromClient : {true, false}) {
                    if (l.stalled || !(fds[2 + 2 * i + (fromClient ? 0 : 1)].revents & POLLIN))
                        continue;
                    char buffer[65536];
                    const ssize_t n =
                        ::read(fromClient ? l.client : l.server, buffer, sizeof buffer);
                    if (n <= 0) {
                        l.stalled = true; // one side closed: keep the other waiting
                        continue;
                    }
                    const bool armed = !m_stallAfter.isEmpty() && l.seen == m_stallAfter.size();
                    if (fromClient && (++l.pieces >= m_stallAt || armed)) {
                        l.stalled = true;
                        continue;
                    }
                    if (fromClient && l.seen < m_stallAfter.size() &&
                        QByteArray::fromRawData(buffer, n).contains(m_stallAfter.at(l.seen)))
                        ++l.seen;
                    if (fromClient && m_delayMs > 0)
                        std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
                    [[maybe_unused]] const auto sent =
                        ::write(fromClient ? l.server : l.client, buffer, size_t(n));
                }
            }
        }
        for (const Link &l : links) {
            ::close(l.client);
            ::close(l.server);
        }
    }

    int m_serverPort;
    int m_stallAt;
    QByteArrayList m_stallAfter;
    int m_delayMs;
    std::atomic_int m_accepted{0};
    int m_listener = -1;
    int m_stop[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
};

} // namespace NxSerialFilter::Testing
