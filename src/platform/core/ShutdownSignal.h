#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace kt7 {

// The requests a logger without a window gets from outside, delivered through the event loop so
// it shuts down through its normal path (links removed, logs closed): on POSIX SIGINT, SIGTERM
// and SIGHUP (a self-pipe); on Windows Ctrl+C, Ctrl+Break and a closed console, log-off or
// shutdown (a console control handler; Windows has no SIGHUP).
class ShutdownSignal : public QObject {
    Q_OBJECT
  public:
    ShutdownSignal();
    ~ShutdownSignal() override;
    ShutdownSignal(const ShutdownSignal&) = delete;
    ShutdownSignal& operator=(const ShutdownSignal&) = delete;

    // The program has finished its shutdown: a closing console may end the process now.
    void finished();
    // POSIX: the descriptor that turns readable when a signal came, for a program that polls
    // without an event loop (the signals are then not emitted); -1 on Windows.
    int fd() const { return readEnd; }

  signals:
    void endRequested();
    void newFileRequested();

  private:
    void takeWaiting();

    int readEnd = -1; // POSIX: the self-pipe's end the handler writes to
    std::unique_ptr<QSocketNotifier> notifier;
};

} // namespace kt7
