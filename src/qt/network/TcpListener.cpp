// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/TcpListener.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavero::qt {

void TcpListener::incomingConnection(qintptr descriptor) {
    const int socket = static_cast<int>(descriptor);
    const int flags = ::fcntl(socket, F_GETFL);
    if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) != 0) {
        ::close(socket);  // a blocking socket would stall every client; this one is refused
        return;
    }
    // Answers go out as they are made rather than waiting for the client's acknowledgement.
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    emit accepted(socket);
}

}  // namespace tavero::qt
