// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/ServiceAnnouncement.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QVariant>
#include <utility>

namespace tavero::qt {

namespace {

const QString kAvahi = QStringLiteral("org.freedesktop.Avahi");
const QString kServerInterface = QStringLiteral("org.freedesktop.Avahi.Server");
const QString kGroupInterface = QStringLiteral("org.freedesktop.Avahi.EntryGroup");
/// A daemon that does not answer within this does not hold up the server's start, in ms.
constexpr int kCallTimeoutMs = 2000;
/// Avahi's entry group states that end an announcement.
constexpr int kStateCollision = 3;
constexpr int kStateFailure = 4;
/// How often a name taken on this host is replaced by the next before giving up.
constexpr int kMostRenames = 10;

QDBusMessage callAvahi(const QString& path, const QString& interface, const QString& method,
                       const QList<QVariant>& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kAvahi, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call, QDBus::Block, kCallTimeoutMs);
}

bool failed(const QDBusMessage& reply) {
    return reply.type() != QDBusMessage::ReplyMessage;
}

/// Why a call to the daemon failed, in words for the line on standard error.
QString reasonOf(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    if (name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        return QStringLiteral("the Avahi daemon is not running (Debian package avahi-daemon)");
    }
    return QStringLiteral("Avahi refused: ") + reply.errorMessage();
}

QString alternativeName(const QString& name) {
    const QDBusMessage reply =
        callAvahi(QStringLiteral("/"), kServerInterface,
                  QStringLiteral("GetAlternativeServiceName"), {QVariant(name)});
    return failed(reply) || reply.arguments().isEmpty() ? name + QStringLiteral(" #2")
                                                        : reply.arguments().first().toString();
}

}  // namespace

ServiceAnnouncement::ServiceAnnouncement(std::ostream& errors, QObject* parent)
    : QObject(parent), errors_(errors) {}

ServiceAnnouncement::~ServiceAnnouncement() {
    if (!groupPath_.isEmpty()) {
        // Avahi also withdraws a client's services when its bus connection closes, so a failed
        // call here leaves nothing announced either.
        callAvahi(groupPath_, kGroupInterface, QStringLiteral("Free"));
    }
}

std::optional<QString> ServiceAnnouncement::announce(const QString& name,
                                                     std::vector<AnnouncedService> services,
                                                     QList<QByteArray> text,
                                                     AnnouncementScope scope) {
    qDBusRegisterMetaType<QList<QByteArray>>();  // the TXT record's "aay"
    if (!QDBusConnection::systemBus().isConnected()) {
        return QStringLiteral("no D-Bus system bus, so no Avahi daemon to ask");
    }
    const QDBusMessage group =
        callAvahi(QStringLiteral("/"), kServerInterface, QStringLiteral("EntryGroupNew"));
    if (failed(group) || group.arguments().isEmpty()) {
        return reasonOf(group);
    }
    groupPath_ = qvariant_cast<QDBusObjectPath>(group.arguments().first()).path();
    QDBusConnection::systemBus().connect(kAvahi, groupPath_, kGroupInterface,
                                         QStringLiteral("StateChanged"), this,
                                         SLOT(stateChanged(int, QString)));
    name_ = name;
    services_ = std::move(services);
    text_ = std::move(text);
    scope_ = scope;
    const std::optional<QString> failure = publish();
    if (!failure && name_ != name) {
        reportRenamed(name);
    }
    return failure;
}

void ServiceAnnouncement::reportRenamed(const QString& taken) {
    errors_ << "tavero-ctl: another instrument is announced as '" << taken.toStdString()
            << "'; this one is announced as '" << name_.toStdString() << "'\n";
}

std::optional<QString> ServiceAnnouncement::publish() {
    for (int renames = 0;; ++renames) {
        bool collided = false;
        for (const AnnouncedService& service : services_) {
            const QDBusMessage added = callAvahi(
                groupPath_, kGroupInterface, QStringLiteral("AddService"),
                {QVariant::fromValue(scope_.interfaceIndex), QVariant::fromValue(scope_.protocol),
                 QVariant::fromValue(0U), QVariant(name_), QVariant(service.type),
                 QVariant(QString()), QVariant(QString()), QVariant::fromValue(service.port),
                 QVariant::fromValue(text_)});
            collided = added.errorName() == QStringLiteral("org.freedesktop.Avahi.CollisionError");
            if (collided) {
                break;
            }
            if (failed(added)) {
                return reasonOf(added);
            }
        }
        if (!collided) {
            break;
        }
        if (renames == kMostRenames) {
            return QStringLiteral("every name up to '") + name_ +
                   QStringLiteral("' is taken on this computer");
        }
        callAvahi(groupPath_, kGroupInterface, QStringLiteral("Reset"));
        name_ = alternativeName(name_);
    }
    const QDBusMessage committed = callAvahi(groupPath_, kGroupInterface, QStringLiteral("Commit"));
    if (failed(committed)) {
        return reasonOf(committed);
    }
    return std::nullopt;
}

void ServiceAnnouncement::stateChanged(int state, const QString& error) {
    if (state == kStateCollision) {
        reportRenamed(std::exchange(name_, alternativeName(name_)));
        callAvahi(groupPath_, kGroupInterface, QStringLiteral("Reset"));
        if (const std::optional<QString> reason = publish()) {
            errors_ << "tavero-ctl: the instrument is no longer announced: "
                    << reason->toStdString() << '\n';
        }
    } else if (state == kStateFailure) {
        errors_ << "tavero-ctl: the instrument is no longer announced: Avahi failed: "
                << error.toStdString() << '\n';
    }
}

}  // namespace tavero::qt
