// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace tavero::qt {

/// A DNS-SD service type and the port that serves it.
struct AnnouncedService {
    QString type;  ///< e.g. "_lxi._tcp"
    std::uint16_t port;
};

/// Where on the network the services are announced, in Avahi's numbers.
struct AnnouncementScope {
    int interfaceIndex = -1;  ///< -1: every interface
    int protocol = -1;        ///< 0 IPv4, 1 IPv6, -1 both
};

/// Services announced by multicast DNS through the Avahi daemon on the system bus, for as long
/// as the object lives. A name another host holds is replaced by Avahi's next free one, with a
/// line on `errors`.
class ServiceAnnouncement : public QObject {
    Q_OBJECT
public:
    explicit ServiceAnnouncement(std::ostream& errors, QObject* parent = nullptr);
    ~ServiceAnnouncement() override;

    ServiceAnnouncement(const ServiceAnnouncement&) = delete;
    ServiceAnnouncement& operator=(const ServiceAnnouncement&) = delete;

    /// Announces `services` under the instance name `name` with the TXT record `text`. Returns
    /// the reason when the daemon cannot be reached or refuses them.
    std::optional<QString> announce(const QString& name, std::vector<AnnouncedService> services,
                                    QList<QByteArray> text, AnnouncementScope scope);

private slots:
    void stateChanged(int state, const QString& error);

private:
    /// Adds every service under name_ to the group and commits it; the reason on failure.
    std::optional<QString> publish();
    /// Says that `taken` is another's name and which name is announced instead.
    void reportRenamed(const QString& taken);

    std::ostream& errors_;
    QString groupPath_;
    QString name_;
    std::vector<AnnouncedService> services_;
    QList<QByteArray> text_;
    AnnouncementScope scope_;
};

}  // namespace tavero::qt
