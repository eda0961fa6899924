#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Record of what each port was given, one line per event, written straight to the file so a
// reader sees every line as soon as it happened:
//   <epoch-ms> <port> <value>           the whole line reached the port
//   <epoch-ms> <port> <value> dropped   the port was full; nothing of the line was sent
//   <epoch-ms> <port> <bytes> raw       the raw file was written completely
class SentLog {
  public:
    explicit SentLog(const std::string& path); // an empty path logs nothing
    ~SentLog();
    SentLog(const SentLog&) = delete;
    SentLog& operator=(const SentLog&) = delete;

    void sent(int port, std::string_view value);
    void dropped(int port, std::string_view value);
    void rawWritten(int port, std::size_t bytes);

  private:
    void append(int port, std::string_view what, std::string_view marker);

    int fd_ = -1;
};
