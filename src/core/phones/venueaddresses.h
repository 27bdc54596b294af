#pragma once

#include <QHostAddress>
#include <vector>

// The addresses the organiser may pick for the phones: the IPv4 addresses of this computer's
// network interfaces that are up, loopback left out, private networks first.
std::vector<QHostAddress> VenueAddresses();
