#include "platform/core/ProgramBeside.h"

#include <QtGlobal>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kt7 {

std::optional<int> runProgramBeside([[maybe_unused]] const char* name,
                                    [[maybe_unused]] char** argv) {
#ifdef Q_OS_WIN
    // The same command line (Windows keeps it whole), given to the console program beside this
    // one, which shares this console: its Ctrl+C and its output reach the logger directly.
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring beside(self, length);
    beside = beside.substr(0, beside.rfind(L'\\') + 1) +
             std::wstring(name, name + std::strlen(name)) + L".exe";
    std::wstring commandLine = ::GetCommandLineW();
    // This windowed program's own output (a pipe, a file, or the console it attached to): a
    // console program started without it would get a new console of its own.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    if (length > 0 && length < MAX_PATH &&
        ::CreateProcessW(beside.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &child)) {
        // Ctrl+C is the child's to answer; this program only waits for its end.
        ::SetConsoleCtrlHandler(nullptr, TRUE);
        ::WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 1;
        ::GetExitCodeProcess(child.hProcess, &code);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        return static_cast<int>(code);
    }
#endif
#ifdef Q_OS_LINUX
    std::array<char, 4096> self{};
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length > 0) {
        std::string beside(self.data(), static_cast<std::size_t>(length));
        beside = beside.substr(0, beside.rfind('/') + 1) + name;
        ::execv(beside.c_str(), argv);
    }
#endif
    return std::nullopt;
}

void useStartingConsole() {
#ifdef Q_OS_WIN
    if (::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN)
        return;
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

} // namespace kt7
