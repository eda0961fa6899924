#include "PortReader.h"

#include <QDeadlineTimer>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PortReader::PortReader(const QString& path) {
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios settings{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings); // TCSANOW: keep what is already waiting
    }
}

PortReader::~PortReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

void PortReader::discardWaiting() {
    ::tcflush(fd_, TCIFLUSH);
    pending_.clear();
}

bool PortReader::fill(int timeoutMs) {
    pollfd watched{fd_, POLLIN, 0};
    if (::poll(&watched, 1, qMax(0, timeoutMs)) <= 0)
        return false;
    char chunk[4096];
    const ssize_t count = ::read(fd_, chunk, sizeof chunk);
    if (count <= 0)
        return false;
    pending_.append(chunk, count);
    return true;
}

QByteArray PortReader::readBytes(qsizetype count, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (pending_.size() < count && fill(int(deadline.remainingTime()))) {
    }
    const QByteArray result = pending_.left(count);
    pending_.remove(0, result.size());
    return result;
}

QByteArrayList PortReader::readLines(int count, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QByteArrayList lines;
    while (lines.size() < count) {
        const qsizetype end = pending_.indexOf("\r\n");
        if (end >= 0) {
            lines.append(pending_.left(end + 2));
            pending_.remove(0, end + 2);
        } else if (!fill(int(deadline.remainingTime()))) {
            break;
        }
    }
    return lines;
}

bool PortReader::staysQuiet(int timeoutMs) {
    return pending_.isEmpty() && !fill(timeoutMs);
}
