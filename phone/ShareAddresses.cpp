#include "phone/ShareAddresses.h"

#include <QNetworkInterface>
#include <algorithm>

namespace {

bool Reachable(const QHostAddress& Address) {
    return !Address.isLoopback() && !Address.isLinkLocal() && !Address.isNull();
}

bool UsedOn(const QNetworkInterface& Interface) {
    const auto Flags = Interface.flags();
    return Flags.testFlag(QNetworkInterface::IsUp) &&
           Flags.testFlag(QNetworkInterface::IsRunning) &&
           !Flags.testFlag(QNetworkInterface::IsLoopBack);
}

} // namespace

std::vector<QHostAddress> ShareAddresses() {
    std::vector<QHostAddress> Addresses;
    for (const QNetworkInterface& Interface : QNetworkInterface::allInterfaces())
        if (UsedOn(Interface))
            for (const QNetworkAddressEntry& Entry : Interface.addressEntries())
                if (Reachable(Entry.ip()))
                    Addresses.push_back(Entry.ip());
    std::stable_partition(Addresses.begin(), Addresses.end(), [](const QHostAddress& A) {
        return A.protocol() == QAbstractSocket::IPv4Protocol;
    });
    return Addresses;
}

std::string ShareUrl(const QHostAddress& Address, quint16 Port, const std::string& Path) {
    QHostAddress Plain = Address;
    Plain.setScopeId({});
    const QString Host = Plain.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + Plain.toString() + QLatin1Char(']')
                             : Plain.toString();
    return "http://" + Host.toStdString() + ":" + std::to_string(Port) + Path;
}
