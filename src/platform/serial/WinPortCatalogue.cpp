#include "platform/serial/WinPortCatalogue.h"

#include <windows.h>

namespace kt7 {

QList<SystemPort> WinPortCatalogue::systemPorts() const {
    QList<SystemPort> ports;
    HKEY map = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &map) != ERROR_SUCCESS)
        return ports; // no key: no port at all
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        wchar_t port[64];
        DWORD deviceLength = 256;
        DWORD portBytes = sizeof port;
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(map, index, device, &deviceLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        // Registry strings need not end in a NUL.
        const auto portLength = static_cast<qsizetype>(portBytes / sizeof(wchar_t));
        QString name = QString::fromWCharArray(port, portLength);
        name.truncate(name.indexOf(QChar(0)) < 0 ? name.size() : name.indexOf(QChar(0)));
        // \Device\Serial0 is a built-in UART, \Device\VCP0 an FTDI adapter, \Device\USBSER000
        // a USB modem-class device: the nearest thing to a description the map has.
        ports.append({name, {}, QString::fromWCharArray(device, deviceLength), {}, {}});
    }
    ::RegCloseKey(map);
    return ports;
}

} // namespace kt7
