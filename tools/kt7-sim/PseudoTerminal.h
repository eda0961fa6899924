#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A pseudo-terminal pair in raw mode. The master side is ours and non-blocking; the slave side
// is what readers open. We keep a slave descriptor open ourselves so that readers opening and
// closing the slave never leave the master in a hung-up (EIO) state.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Writes as much of data as the terminal takes right now; 0 when it is full.
    std::size_t writeSome(std::string_view data);
    // Drops whatever a reader wrote to the slave, so it never fills up.
    void discardInput();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
