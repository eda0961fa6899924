#pragma once

#include <QString>

namespace kt7 {

// Where serial port number n (1 = COM1) lives on this system. On Unix an entry com<n> in the
// program's ports folder (normally a link to a USB adapter or a pseudo-terminal) wins over the
// built-in /dev/ttyS<n-1>.
QString portDevicePath(int portNumber);
// The system's own port n: /dev/ttyS<n-1> on Unix, COMn on Windows.
QString builtInPortPath(int portNumber);
QString portsFolder();
// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config; %APPDATA% on Windows.
QString configFolder();

// Where logs and set-up files go by default, with its trailing separator.
QString homeLogFolder();

} // namespace kt7
