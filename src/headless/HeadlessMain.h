#pragma once

namespace kt7 {

// `kt7-logger --headless ...`: logs with no display and no widget, until SIGINT or SIGTERM.
int runHeadless(int argc, char** argv);
// The same from the window's program: kt7-headless beside it, or else runHeadless.
int runHeadlessBeside(int argc, char** argv);

} // namespace kt7
