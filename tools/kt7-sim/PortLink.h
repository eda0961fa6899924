#pragma once

#include <filesystem>
#include <string>

// The entry <config>/kt7-logger/ports/com<n> through which the logger finds port n, pointing at
// a pseudo-terminal. Created on construction (replacing a stale one), removed on destruction;
// or, when unplugged, left leading to a name that never exists, as the by-id link of a pulled
// USB adapter does (a pseudo-terminal's own name is soon given to another terminal).
class PortLink {
  public:
    PortLink(int port, const std::string& target, bool unplugOnExit = false);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // $XDG_CONFIG_HOME/kt7-logger/ports, else $HOME/.config/kt7-logger/ports.
    static std::filesystem::path portsFolder();

  private:
    void pointAt(const std::filesystem::path& target) const;

    std::filesystem::path path_;
    std::filesystem::path target_;
    std::filesystem::path unplugged_; // empty: remove the entry on exit
};
