#include "platform/serial/PortListing.h"

#include "platform/core/ComPortMap.h"
#include "platform/core/PortNumbering.h"
#include "platform/serial/SystemSerialPorts.h"

#include <QCoreApplication>
#include <cstdio>

namespace kt7 {

int printPortList(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const SystemPortCatalogue catalogue;
    const QByteArray text = portMapText(assignPortNumbers(catalogue)).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

} // namespace kt7
