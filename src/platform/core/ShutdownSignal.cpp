#include "platform/core/ShutdownSignal.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::array handledSignals{SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t writeEnd = -1;

extern "C" void onShutdownSignal(int signal) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

namespace kt7 {

ShutdownSignal::ShutdownSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    readEnd_ = ends[0];
    writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : handledSignals)
        sigaction(signal, &action, nullptr);
    // A reader of our stdout going away must not kill us before the links are removed.
    std::signal(SIGPIPE, SIG_IGN);
}

int ShutdownSignal::take() const {
    char byte = 0;
    return ::read(readEnd_, &byte, 1) == 1 ? static_cast<unsigned char>(byte) : 0;
}

ShutdownSignal::~ShutdownSignal() {
    for (const int signal : handledSignals)
        std::signal(signal, SIG_DFL);
    ::close(writeEnd);
    ::close(readEnd_);
    writeEnd = -1;
}

} // namespace kt7
