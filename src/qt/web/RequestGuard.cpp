// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/RequestGuard.h"

#include <QUrl>
#include <utility>

namespace tavero::qt {

RequestGuard::RequestGuard(QHostAddress listened, quint16 port, QStringList ownNames,
                           QList<QHostAddress> ownAddresses)
    : listened_(std::move(listened)),
      port_(port),
      ownNames_(std::move(ownNames)),
      ownAddresses_(std::move(ownAddresses)) {}

bool RequestGuard::hostAllowed(const QByteArray& host) const {
    // QUrl reads the authority, brackets of IPv6 addresses and port included, and refuses
    // what is none.
    const QUrl url(QStringLiteral("http://") + QString::fromLatin1(host) + '/', QUrl::StrictMode);
    if (host.isEmpty() || !url.isValid() || !url.userInfo().isEmpty() || url.path() != "/") {
        return false;
    }
    return url.port(80) == port_ && namesServer(url.host());
}

bool RequestGuard::namesServer(const QString& name) const {
    const QString lowered = name.toLower();
    if (lowered == QLatin1String("localhost") || ownNames_.contains(lowered, Qt::CaseInsensitive)) {
        return true;
    }
    QHostAddress address;
    if (!address.setAddress(name)) {
        return false;
    }
    if (address.isLoopback()) {
        return listened_.isLoopback() || listened_ == QHostAddress::AnyIPv4 ||
               listened_ == QHostAddress::AnyIPv6 || listened_ == QHostAddress::Any;
    }
    const bool any = listened_ == QHostAddress::AnyIPv4 || listened_ == QHostAddress::AnyIPv6 ||
                     listened_ == QHostAddress::Any;
    return any ? ownAddresses_.contains(address) : address.isEqual(listened_);
}

bool RequestGuard::originAllowed(const QByteArray& origin, const QByteArray& host) {
    return origin.isEmpty() || origin == "http://" + host;
}

}  // namespace tavero::qt
