#include "platform/serial/PolledSerialPort.h"

#include "platform/core/PortPaths.h"
#include "text/SystemReason.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kt7 {

namespace {
// Names where a com<n> link leads, since the link's own name says nothing of what is wrong.
QString notSerialReason(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty() || target == path)
        return QStringLiteral("not a serial port");
    return QStringLiteral("not a serial port (it leads to %1)").arg(target);
}

PortOpenError openError(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortOpenError::NotFound;
    case EACCES:
    case EPERM:
        return PortOpenError::PermissionDenied;
    case EBUSY:
        return PortOpenError::Busy;
    default:
        return PortOpenError::Other;
    }
}

// 9600 baud, 8 data bits, no parity, one stop bit, no flow control, raw bytes. A pseudo-terminal
// takes no baud rate; it reads fine all the same, so a refusal here is not a failure.
void setLine(int fd, termios line) {
    ::cfmakeraw(&line);
    ::cfsetispeed(&line, B9600);
    ::cfsetospeed(&line, B9600);
    line.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB | CSIZE | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &line);
}
} // namespace

PolledSerialPort::~PolledSerialPort() {
    close();
}

QString PolledSerialPort::devicePath() const {
    return portDevicePath(number);
}

PortOpenResult PolledSerialPort::open() {
    if (fd >= 0)
        return {PortOpenError::Busy, QStringLiteral("The port is already open")};
    kept.clear();
    const QString path = devicePath();
    const int opened =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        const int error = errno;
        return {openError(error), systemReason(error)};
    }
    // Only a terminal has a line to set: /dev/zero or a plain file would "link" and then either
    // flood the program without end or never send a line.
    termios line{};
    if (::tcgetattr(opened, &line) != 0) {
        ::close(opened);
        return {PortOpenError::Other, notSerialReason(path)};
    }
    // Another program that opens the port now is refused, as with the window's ports.
    if (::ioctl(opened, TIOCEXCL) != 0 && errno == EBUSY) {
        ::close(opened);
        return {PortOpenError::Busy, systemReason(EBUSY)};
    }
    setLine(opened, line);
    fd = opened;
    return {};
}

void PolledSerialPort::close() {
    kept.clear();
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

qint64 PolledSerialPort::bytesWaiting() {
    drainSystemBuffer();
    return kept.size();
}

QByteArray PolledSerialPort::readAll() {
    drainSystemBuffer();
    return std::exchange(kept, {});
}

// Moves what the system holds into `kept`, as much as fits; a hang-up or read error ends the
// port's use.
void PolledSerialPort::drainSystemBuffer() {
    if (fd < 0)
        return;
    char chunk[4096];
    while (kept.size() < KeptAtMost) {
        const auto room = std::min<qsizetype>(sizeof chunk, KeptAtMost - kept.size());
        const ssize_t got = ::read(fd, chunk, static_cast<size_t>(room));
        if (got > 0) {
            kept.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // Nothing more for now: a raw line without a minimum answers 0, or EAGAIN. A hang-up
        // also reads as 0 and shows in the poll below.
        if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        breakDown(errno);
        return;
    }
    pollfd watched{fd, POLLIN, 0};
    if (::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLERR | POLLNVAL)))
        breakDown(EIO);
}

// The port is closed at once, what it had received stays for the owner's next readAll.
void PolledSerialPort::breakDown(int error) {
    ::close(fd);
    fd = -1;
    emit failed(systemReason(error));
}

std::unique_ptr<SerialPort> PolledSerialPortFactory::create() {
    return std::make_unique<PolledSerialPort>();
}

} // namespace kt7
