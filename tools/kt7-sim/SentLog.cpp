#include "SentLog.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

SentLog::SentLog(const std::string& path) {
    if (path.empty())
        return;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "open sent log " + path);
}

SentLog::~SentLog() {
    if (fd_ >= 0)
        ::close(fd_);
}

void SentLog::sent(int port, std::string_view value) {
    append(port, value, {});
}

void SentLog::dropped(int port, std::string_view value) {
    append(port, value, "dropped");
}

void SentLog::rawWritten(int port, std::size_t bytes) {
    append(port, std::to_string(bytes), "raw");
}

void SentLog::append(int port, std::string_view what, std::string_view marker) {
    if (fd_ < 0)
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::string line =
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    line.append(1, ' ').append(std::to_string(port)).append(1, ' ').append(what);
    if (!marker.empty())
        line.append(1, ' ').append(marker);
    line.append(1, '\n');
    // One write per line: a log on a full disk must not stop the devices, so errors are ignored.
    std::string_view rest = line;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}
