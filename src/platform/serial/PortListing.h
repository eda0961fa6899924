#pragma once

namespace kt7 {

// `--list-ports`: the COM number map on standard output, with numbers given to new ports first,
// as the window does on start-up. The exit code.
int printPortList(int argc, char** argv);

} // namespace kt7
