#pragma once

namespace kt7 {

// `kt7-logger --headless ...`: logs with no display and no widget, until SIGINT or SIGTERM.
int runHeadless(int argc, char** argv);

} // namespace kt7
