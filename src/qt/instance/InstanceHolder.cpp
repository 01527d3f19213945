// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/instance/InstanceHolder.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "ctl/InstanceConversation.h"
#include "qt/instance/InstanceFolder.h"

namespace tavero::qt {

namespace {

/// More tavero-ctl at once than scripts run; beyond it a connection is closed unread.
constexpr int kClientLimit = 16;
/// Answers a client leaves unread before it is dropped, in bytes.
constexpr qint64 kUnreadLimit = 64 * 1024;

}  // namespace

InstanceHolder::InstanceHolder(model::GeneratorModel& generator, Identity identity,
                               std::ostream& errors)
    : generator_(generator), identity_(std::move(identity)), errors_(errors) {
    QObject::connect(&server_, &QLocalServer::newConnection, &clientContext_,
                     [this] { takeClients(); });
    generator_.subscribe(*this);
    if (generator_.connected()) {
        listen();
    }
}

InstanceHolder::~InstanceHolder() {
    generator_.unsubscribe(*this);
}

void InstanceHolder::connectionChanged(const model::ConnectionNotice& notice) {
    if (notice.event == model::ConnectionEvent::kConnected) {
        listen();
    } else {
        // Clients under way keep their connection and hear that the generator went.
        server_.close();
    }
}

void InstanceHolder::listen() {
    server_.close();
    const QString device = identity_.devicePath ? identity_.devicePath() : QString();
    if (device.isEmpty()) {
        return;
    }
    const std::optional<QString> folder = instanceFolder(true);
    if (!folder) {
        warn(instanceFolderPath().toStdString() +
             " is not a folder of the user's own with mode 0700");
        return;
    }
    const QString path = instanceSocketPath(*folder, device);
    // The device's lock is this program's, so a socket of its name was left behind by a
    // program that was killed.
    QLocalServer::removeServer(path);
    if (!server_.listen(path) || ::chmod(QFile::encodeName(path).constData(), 0600) != 0) {
        warn(path.toStdString() + ": " + server_.errorString().toStdString());
        server_.close();
    }
}

void InstanceHolder::warn(const std::string& why) {
    if (!warned_) {
        warned_ = true;
        errors_ << identity_.program.substr(0, identity_.program.find(' '))
                << ": tavero-ctl cannot reach the generator through this program: " << why << '\n';
    }
}

void InstanceHolder::takeClients() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (clients_ == kClientLimit) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        auto conversation = std::make_shared<ctl::InstanceConversation>(
            generator_,
            ctl::HolderIdentity{identity_.program, QCoreApplication::applicationPid(),
                                identity_.devicePath().toStdString(), false},
            identity_.raise);
        QObject::connect(socket, &QLocalSocket::readyRead, &clientContext_, [socket, conversation] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine(ctl::kInstanceLineLimit);
                if (!line.endsWith('\n')) {
                    socket->abort();  // a line longer than any of the protocol's
                    return;
                }
                socket->write(QByteArray::fromStdString(conversation->answer(std::string_view(
                    line.constData(), static_cast<std::size_t>(line.size() - 1)))));
                if (conversation->ended() || socket->bytesToWrite() > kUnreadLimit) {
                    socket->disconnectFromServer();
                    return;
                }
            }
            // A line longer than any of the protocol's, still without its end.
            if (socket->bytesAvailable() >= static_cast<qint64>(ctl::kInstanceLineLimit)) {
                socket->abort();
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, &clientContext_, [this, socket] {
            --clients_;
            socket->deleteLater();
        });
    }
}

}  // namespace tavero::qt
