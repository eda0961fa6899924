#include "platform/core/ShutdownSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_WIN
#include <QMetaObject>
#include <atomic>
#include <windows.h>
#else
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#endif

namespace kt7 {

#ifdef Q_OS_WIN

namespace {

std::atomic<ShutdownSignal*> receiver{nullptr};
HANDLE shutdownDone = nullptr;

// Runs on a thread of its own. Ctrl+C and Ctrl+Break are answered at once; for a closed
// console, a log-off or a shutdown Windows ends the process as soon as this returns, so it
// waits (within the few seconds Windows gives) until the log is closed.
BOOL WINAPI onConsoleControl(DWORD event) {
    ShutdownSignal* target = receiver.load();
    if (!target)
        return FALSE;
    QMetaObject::invokeMethod(target, &ShutdownSignal::endRequested, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::WaitForSingleObject(shutdownDone, 4500);
    return TRUE;
}

} // namespace

ShutdownSignal::ShutdownSignal() {
    shutdownDone = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    receiver = this;
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

ShutdownSignal::~ShutdownSignal() {
    receiver = nullptr;
    finished();
    ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
}

void ShutdownSignal::finished() {
    if (shutdownDone)
        ::SetEvent(shutdownDone);
}

void ShutdownSignal::takeWaiting() {}

#else

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

ShutdownSignal::ShutdownSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    readEnd = ends[0];
    writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : handledSignals)
        sigaction(signal, &action, nullptr);
    // A reader of our stdout going away must not kill us before the links are removed.
    std::signal(SIGPIPE, SIG_IGN);
    if (QCoreApplication::instance()) {
        notifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, this, &ShutdownSignal::takeWaiting);
    }
}

ShutdownSignal::~ShutdownSignal() {
    notifier.reset();
    for (const int signal : handledSignals)
        std::signal(signal, SIG_DFL);
    ::close(writeEnd);
    ::close(readEnd);
    writeEnd = -1;
}

void ShutdownSignal::finished() {}

void ShutdownSignal::takeWaiting() {
    char byte = 0;
    while (::read(readEnd, &byte, 1) == 1) {
        if (static_cast<unsigned char>(byte) == SIGHUP)
            emit newFileRequested();
        else
            emit endRequested();
    }
}

#endif

} // namespace kt7
