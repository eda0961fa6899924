#pragma once

#include "platform/PortCatalogue.h"

#include <QList>
#include <array>
#include <utility>

namespace kt7 {

inline constexpr int HighestPortNumber = 10;

// Which of the numbers 1..10 already have an entry in the ports folder; index 0 is unused.
using TakenNumbers = std::array<bool, HighestPortNumber + 1>;

struct NumberingPlan {
    QList<std::pair<int, SystemPort>> links; // new com<n> entries to make
    QList<int> natural;                      // numbers kept by a built-in UART, without a link
    QList<SystemPort> unnumbered;            // every number 1..10 was taken
};

// COM n of the built-in UART /dev/ttyS<n-1>; 0 for any other port or a UART beyond COM 10.
int naturalUartNumber(const QString& devicePath);

// Whether a UART node the system did not list is a port all the same: one the user may not open
// yet is, unless the kernel says no UART is behind it; a node with no device ("no such device",
// or one that opens but was not listed) is not.
bool unlistedUartPresent(const UartNode& node);

// The path a new link names: the stable by-id name where the system has one, so the number
// follows the adapter to any USB socket; else the device path.
QString linkTarget(const SystemPort& port);

// Numbers for present ports that no entry names yet. Built-in UARTs keep their own number where
// it is free; every other port, in device order, gets the lowest free number.
NumberingPlan planNumbers(TakenNumbers taken, const QList<SystemPort>& unnamed);

} // namespace kt7
