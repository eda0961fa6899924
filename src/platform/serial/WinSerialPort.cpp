#include "platform/serial/WinSerialPort.h"

#include "platform/core/PortPaths.h"

#include <algorithm>
#include <windows.h>

namespace kt7 {

namespace {

// The system's own wording of a Win32 error, without the line end it carries.
QString windowsReason(DWORD error) {
    QString reason = qt_error_string(static_cast<int>(error)).trimmed();
    if (reason.endsWith(u'.'))
        reason.chop(1); // the messages that quote it end their own sentence
    return reason;
}

PortOpenError openError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return PortOpenError::NotFound;
    // Windows answers a port another program holds with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortOpenError::Busy;
    default:
        return PortOpenError::Other;
    }
}

// 9600 baud, 8 data bits, no parity, one stop bit, no flow control; a line error does not stop
// the reads (the next reading is whole again).
void setLine(HANDLE port, DCB line) {
    line.BaudRate = CBR_9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    // Some adapters and emulated ports refuse a setting; the line still reads fine.
    ::SetCommState(port, &line);
    // ReadFile returns at once with what the driver holds, never waiting for more.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    ::SetCommTimeouts(port, &timeouts);
    // Room for over sixteen seconds of the line between two looks.
    ::SetupComm(port, 16 * 1024, 4096);
}

} // namespace

WinSerialPort::~WinSerialPort() {
    close();
}

QString WinSerialPort::devicePath() const {
    return portDevicePath(number);
}

PortOpenResult WinSerialPort::open() {
    if (handle)
        return {PortOpenError::Busy, QStringLiteral("The port is already open")};
    kept.clear();
    // The device namespace reaches COM10 and above, which the plain name does not.
    const QString name = QStringLiteral("\\\\.\\") + devicePath();
    HANDLE opened =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(name.utf16()), GENERIC_READ | GENERIC_WRITE,
                      0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return {openError(error), windowsReason(error)};
    }
    // Only a comm device has a line to read: anything else would "link" and never send a line.
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(opened, &line)) {
        // A COM name whose device is gone is not there: a removed adapter that is still listed
        // (wine: a port whose Unix device does not exist) cannot even answer the line query.
        const DWORD error = ::GetLastError();
        ::CloseHandle(opened);
        if (openError(error) == PortOpenError::NotFound || error == ERROR_INVALID_FUNCTION)
            return {PortOpenError::NotFound, windowsReason(error)};
        return {PortOpenError::Other,
                QStringLiteral("not a serial port (%1)").arg(windowsReason(error))};
    }
    setLine(opened, line);
    ::PurgeComm(opened, PURGE_RXABORT | PURGE_TXABORT);
    handle = opened;
    return {};
}

void WinSerialPort::close() {
    kept.clear();
    if (handle)
        ::CloseHandle(handle);
    handle = nullptr;
}

qint64 WinSerialPort::bytesWaiting() {
    drainDriverQueue();
    return kept.size();
}

QByteArray WinSerialPort::readAll() {
    drainDriverQueue();
    return std::exchange(kept, {});
}

// Moves what the driver holds into `kept`, as much as fits; a failing port ends its use.
void WinSerialPort::drainDriverQueue() {
    if (!handle)
        return;
    // A removed adapter fails here even when nothing was waiting; line errors are cleared so
    // they never hold up the reads.
    DWORD lineErrors = 0;
    if (!::ClearCommError(handle, &lineErrors, nullptr)) {
        breakDown(::GetLastError());
        return;
    }
    char chunk[4096];
    while (kept.size() < KeptAtMost) {
        const auto room = std::min<qsizetype>(sizeof chunk, KeptAtMost - kept.size());
        DWORD got = 0;
        if (!::ReadFile(handle, chunk, static_cast<DWORD>(room), &got, nullptr)) {
            breakDown(::GetLastError());
            return;
        }
        if (got == 0)
            break;
        kept.append(chunk, static_cast<qsizetype>(got));
    }
}

// The port is closed at once; what it had received stays for the owner's next readAll.
void WinSerialPort::breakDown(unsigned long error) {
    ::CloseHandle(handle);
    handle = nullptr;
    emit failed(windowsReason(error));
}

std::unique_ptr<SerialPort> WinSerialPortFactory::create() {
    return std::make_unique<WinSerialPort>();
}

} // namespace kt7
