#pragma once

#include <optional>

namespace kt7 {

// Runs the program `name` that sits in this program's folder with this program's command line:
// on Windows as a child sharing this console (its exit code returned once it ended), elsewhere
// in place of this process (never returns). nullopt when it could not be started.
std::optional<int> runProgramBeside(const char* name, char** argv);

// A windowed program on Windows has no standard output of its own when started from a console:
// it writes to that console instead, unless its output was redirected. Nothing elsewhere.
void useStartingConsole();

} // namespace kt7
