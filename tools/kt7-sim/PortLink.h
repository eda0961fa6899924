#pragma once

#include <filesystem>
#include <string>

// The entry <config>/kt7-logger/ports/com<n> through which the logger finds port n, pointing at
// a pseudo-terminal. Created on construction (replacing a stale one), removed on destruction.
class PortLink {
  public:
    PortLink(int port, const std::string& target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // $XDG_CONFIG_HOME/kt7-logger/ports, else $HOME/.config/kt7-logger/ports.
    static std::filesystem::path portsFolder();

  private:
    std::filesystem::path path_;
    std::filesystem::path target_;
};
