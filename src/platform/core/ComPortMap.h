#pragma once

#include "platform/PortCatalogue.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace kt7 {

// What one COM number leads to.
struct ComPortRow {
    int number = 0;
    QString entry;                  // its com<n> entry; empty when it falls back to /dev/ttyS<n-1>
    QString target;                 // the entry's link target, or the built-in port's path
    std::optional<SystemPort> port; // the system's port behind it, when it reports one
    bool present = false;           // the target exists (a pseudo-terminal is no system port)
};

struct ComPortMap {
    QList<SystemPort> ports;      // what the system reported
    QList<ComPortRow> rows;       // numbers with an entry, or whose built-in UART is present
    QList<SystemPort> unnumbered; // present ports left without a number
    QList<int> assigned;          // numbers this run linked to a port
    QStringList problems;         // entries that could not be made, and why
};

// Reads the system's ports and the folder of com<n> entries, and gives every present port that
// has no number yet the lowest free one as a new link. Entries already there are never changed.
// Does nothing but report where the catalogue has no folder.
ComPortMap assignPortNumbers(const PortCatalogue& catalogue);

// The present port a path leads to: the path itself, its link target or the device behind it.
std::optional<SystemPort> portBehind(const QString& path, const QList<SystemPort>& ports);

// Where a port list entry leads, for its tooltip: path, link target, description, maker and
// serial number, one per line.
QString portToolTip(const QString& path, const std::optional<SystemPort>& port);

// The map as `kt7-logger --list-ports` prints it: one line per number, then ports without one;
// columns COM number, target, present or absent, description, separated by tabs.
QString portMapText(const ComPortMap& map);

} // namespace kt7
