#include "core/phones/venueaddresses.h"

#include <QNetworkInterface>
#include <algorithm>

std::vector<QHostAddress> VenueAddresses() {
    std::vector<QHostAddress> addresses;
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.ip().isLoopback()) {
                addresses.push_back(entry.ip());
            }
        }
    }
    const auto isPrivate = [](const QHostAddress& address) {
        return address.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8) ||
               address.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12) ||
               address.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
    };
    std::stable_sort(addresses.begin(), addresses.end(), [&](const QHostAddress& a, const QHostAddress& b) {
        return isPrivate(a) && !isPrivate(b);
    });
    return addresses;
}
