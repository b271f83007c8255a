#include "FaultProxy.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {
int connectTo(const QString& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return -1;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const bool ok = fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) == 0;
    freeaddrinfo(found);
    if (!ok && fd >= 0)
        ::close(fd);
    return ok ? fd : -1;
}

bool sendAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// A client packet: three bytes of length, a sequence number, then the command byte.
// COM_QUERY is 3; the program sends COMMIT as a plain statement.
bool isCommit(const QByteArray& packet)
{
    return packet.size() > 4 && packet[4] == 3 && packet.mid(5).trimmed().toUpper() == "COMMIT";
}
}

FaultProxy::FaultProxy(const ConnectionSettings& server) : m_server(server)
{
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(m_listener, 16) != 0
        || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        qFatal("The fault proxy cannot listen: %s", strerror(errno));
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

FaultProxy::~FaultProxy()
{
    m_stop = true;
    m_acceptor.join();
    ::close(m_listener);
    std::lock_guard lock(m_mutex);
    for (std::thread& t : m_pumps)
        t.join();
}

ConnectionSettings FaultProxy::settings() const
{
    ConnectionSettings s = m_server;
    s.host = QStringLiteral("127.0.0.1");
    s.port = m_port;
    return s;
}

void FaultProxy::acceptLoop()
{
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const int client = accept(m_listener, nullptr, nullptr);
        if (client < 0)
            continue;
        if (m_down) {
            ::close(client);
            continue;
        }
        std::lock_guard lock(m_mutex);
        m_pumps.emplace_back([this, client] { pump(client); });
    }
}

void FaultProxy::pump(int client)
{
    const int server = connectTo(m_server.host, m_server.port);
    if (server < 0) {
        ::close(client);
        return;
    }
    QByteArray fromClient; // bytes of a client packet not yet complete
    char buffer[65536];
    bool open = true;
    while (open && !m_stop) {
        pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (poll(p, 2, 50) <= 0)
            continue;
        if (p[1].revents) {
            const ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
            open = n > 0 && sendAll(client, buffer, n);
        }
        if (open && p[0].revents) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            fromClient.append(buffer, n);
            // Forward whole packets, so that a COMMIT is seen before any of it is sent.
            while (open && fromClient.size() >= 4) {
                const auto* b = reinterpret_cast<const unsigned char*>(fromClient.constData());
                const qsizetype size = 4 + (b[0] | (b[1] << 8) | (b[2] << 16));
                if (fromClient.size() < size)
                    break;
                const QByteArray packet = fromClient.left(size);
                fromClient.remove(0, size);
                const Fault fault = m_fault;
                if (fault != Fault::None && isCommit(packet)) {
                    m_fault = Fault::None;
                    const bool reply
                        = fault == Fault::LoseCommitReply || fault == Fault::LoseCommitReplyAndServer;
                    if (fault == Fault::LoseCommitReplyAndServer)
                        m_down = true;
                    if (reply && sendAll(server, packet.constData(), packet.size())) {
                        // Wait for the server's answer: then the commit has happened.
                        pollfd reply{server, POLLIN, 0};
                        if (poll(&reply, 1, 10000) > 0)
                            ::recv(server, buffer, sizeof buffer, 0);
                    }
                    m_fired = true;
                    open = false;
                    break;
                }
                open = sendAll(server, packet.constData(), packet.size());
            }
        }
    }
    ::close(client);
    ::close(server);
}
