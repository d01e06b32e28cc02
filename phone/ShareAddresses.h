#pragma once

// Where phones on the same network find this computer.

#include <QHostAddress>
#include <string>
#include <vector>

// The addresses of the network interfaces that are up, without loopback and link-local ones:
// IPv4 first, which phones on a home or club network use, then IPv6.
std::vector<QHostAddress> ShareAddresses();

// "http://192.168.1.20:8520/<token>/"; an IPv6 address in brackets.
std::string ShareUrl(const QHostAddress& Address, quint16 Port, const std::string& Path);
