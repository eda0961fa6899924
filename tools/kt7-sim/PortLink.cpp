#include "PortLink.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

PortLink::PortLink(int port, const std::string& target, bool unplugOnExit)
    : path_(portsFolder() / ("com" + std::to_string(port))), target_(target) {
    if (unplugOnExit)
        unplugged_ = path_.parent_path() / (".unplugged-com" + std::to_string(port));
    fs::create_directories(path_.parent_path());
    pointAt(target_);
}

PortLink::~PortLink() {
    // Leave the entry alone if another simulator has taken the port over since.
    std::error_code error;
    if (fs::read_symlink(path_, error) != target_ || error)
        return;
    if (unplugged_.empty()) {
        fs::remove(path_, error);
        return;
    }
    try {
        pointAt(unplugged_);
    } catch (const std::exception&) {
        fs::remove(path_, error);
    }
}

// Renames over the old entry so a reader never sees the port missing in between.
void PortLink::pointAt(const fs::path& target) const {
    const fs::path temporary =
        path_.parent_path() / ("." + path_.filename().string() + "." + std::to_string(::getpid()));
    fs::remove(temporary);
    fs::create_symlink(target, temporary);
    fs::rename(temporary, path_);
}

fs::path PortLink::portsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0')
        return fs::path(config) / "kt7-logger" / "ports";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0')
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
    return fs::path(home) / ".config" / "kt7-logger" / "ports";
}
