#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// Reads a simulator port the way a serial reader would: plain POSIX, raw mode, no echo.
class PortReader {
  public:
    explicit PortReader(const QString& path);
    ~PortReader();
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Forgets what arrived before now, for measurements that must start fresh.
    void discardWaiting();
    // Bytes until count have arrived or the time is up.
    QByteArray readBytes(qsizetype count, int timeoutMs);
    // Whole CR LF terminated lines (terminator included) until count or the time is up.
    QByteArrayList readLines(int count, int timeoutMs);
    // True when nothing arrives within timeoutMs.
    bool staysQuiet(int timeoutMs);

  private:
    bool fill(int timeoutMs);

    int fd_ = -1;
    QByteArray pending_;
};
