// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/SocketPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <QHostAddress>

#include "qt/network/ListenAddress.h"

namespace tavero::qt {

namespace {

/// The peer's socket address; false when the socket has none.
bool peerOf(int descriptor, sockaddr_storage& address) {
    socklen_t length = sizeof address;
    return ::getpeername(descriptor, reinterpret_cast<sockaddr*>(&address), &length) == 0;
}

}  // namespace

QByteArray peerName(int descriptor) {
    sockaddr_storage address{};
    if (!peerOf(descriptor, address)) {
        return "a client";
    }
    const QHostAddress host =
        plainAddress(QHostAddress(reinterpret_cast<const sockaddr*>(&address)));
    const quint16 port = address.ss_family == AF_INET6
                             ? ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port)
                             : ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
    return addressText(host, port).toUtf8();
}

QHostAddress peerAddress(int descriptor) {
    sockaddr_storage address{};
    return peerOf(descriptor, address)
               ? plainAddress(QHostAddress(reinterpret_cast<const sockaddr*>(&address)))
               : QHostAddress();
}

void acknowledgePromptly(int descriptor) {
#ifdef TCP_QUICKACK
    // A socket that is not TCP merely acknowledges later.
    const int on = 1;
    ::setsockopt(descriptor, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    static_cast<void>(descriptor);  // the system acknowledges on its own schedule
#endif
}

bool peerReset(int descriptor) {
    // A reset closes the socket's state at once, while an end of input leaves it open; this
    // tells a client that is gone from one that only half-closed.
    pollfd state{descriptor, 0, 0};
    return ::poll(&state, 1, 0) == 1 && (state.revents & (POLLERR | POLLHUP)) != 0;
}

void logHttpRefused(std::ostream& log, int descriptor) {
    log << "tavero-ctl: closed the connection from " << peerName(descriptor).constData()
        << " unserved: it sent an HTTP request, as a web page can make a browser do" << std::endl;
}

}  // namespace tavero::qt
