#include "PseudoTerminal.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Without raw mode the line discipline turns CR into LF, adds CR before LF and echoes.
void makeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        fail("tcgetattr");
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        fail("tcsetattr");
}

} // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        fail("posix_openpt");
    try {
        if (grantpt(master_) != 0 || unlockpt(master_) != 0)
            fail("grantpt/unlockpt");
        std::array<char, PATH_MAX> path{};
        if (const int error = ptsname_r(master_, path.data(), path.size()); error != 0) {
            errno = error;
            fail("ptsname");
        }
        slavePath_ = path.data();
        slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0)
            fail("open pseudo-terminal slave");
        makeRaw(master_);
        makeRaw(slave_);
        if (fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0)
            fail("fcntl O_NONBLOCK");
    } catch (...) {
        if (slave_ >= 0)
            ::close(slave_);
        ::close(master_);
        throw;
    }
}

PseudoTerminal::~PseudoTerminal() {
    ::close(slave_);
    ::close(master_);
}

std::size_t PseudoTerminal::writeSome(std::string_view data) {
    for (;;) {
        const ssize_t written = ::write(master_, data.data(), data.size());
        if (written >= 0)
            return static_cast<std::size_t>(written);
        if (errno != EINTR)
            return 0; // full (EAGAIN) or unusable: the caller treats both as "not taken now"
    }
}

void PseudoTerminal::discardInput() {
    std::array<char, 4096> scratch{};
    while (::read(master_, scratch.data(), scratch.size()) > 0) {
    }
}
