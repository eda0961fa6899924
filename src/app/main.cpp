#include "app/AppTitle.h"
#include "app/Form_KT7.h"
#include "headless/HeadlessMain.h"
#include "platform/core/ComPortMap.h"
#include "platform/core/PortPaths.h"
#include "platform/serial/SystemSerialPorts.h"
#include "platform/widgets/SystemPlatform.h"
#include "session/LoggerOptions.h"
#include "session/PublisherChoice.h"
#include "session/WindowLogSettings.h"
#include "viewer/LogViewer.h"

#include <QApplication>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// `kt7-logger --list-ports`: the COM number map, with numbers given to new ports first, as the
// window would on start-up.
int listPorts(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const kt7::SystemPortCatalogue catalogue;
    const QByteArray text = kt7::portMapText(kt7::assignPortNumbers(catalogue)).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

// The headless logger is a small program beside this one, so that an unattended logger loads no
// widget library; this program runs it in its own process only when that program is missing.
int runHeadlessBeside(int argc, char** argv) {
#ifdef Q_OS_WIN
    // The same command line (Windows keeps it whole), given to the console program beside this
    // one, which shares this console: its Ctrl+C and its output reach the logger directly.
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring beside(self, length);
    beside = beside.substr(0, beside.rfind(L'\\') + 1) + L"kt7-headless.exe";
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
        beside = beside.substr(0, beside.rfind('/') + 1) + "kt7-headless";
        ::execv(beside.c_str(), argv);
    }
#endif
    return kt7::runHeadless(argc, argv);
}

void printTo(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// A windowed program on Windows has no standard output of its own when started from a console:
// it writes to that console instead, unless its output was redirected.
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

} // namespace

int main(int argc, char** argv) {
    useStartingConsole();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return runHeadlessBeside(argc, argv);
    // --help, --version and --list-ports answer without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const kt7::LoggerOptionsResult early = kt7::parseLoggerOptions(arguments); early.options) {
        if (early.options->help || early.options->version) {
            printTo(stdout,
                    early.options->help ? kt7::loggerOptionsHelp() : kt7::loggerVersionText());
            return 0;
        }
        if (early.options->listPorts)
            return listPorts(argc, argv);
    }
    QApplication app(argc, argv);
    // Qt's own options (-platform, -style ...) are gone from the arguments by now.
    const kt7::LoggerOptionsResult parsed =
        kt7::parseLoggerOptions(QApplication::arguments().mid(1));
    if (!parsed.options) {
        printTo(stderr, parsed.error + QStringLiteral("\n(kt7-logger --help lists the options)"));
        return 1;
    }
    const kt7::LoggerOptions& options = *parsed.options;
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system(kt7::applicationTitle());
    // "--view FILE" shows a saved log alone, without the logger and its ports.
    if (!options.viewPath.isEmpty()) {
        kt7::LogViewer viewer(options.viewPath, system.platform().dialogs,
                              system.platform().messages);
        system.attachTo(&viewer);
        viewer.show();
        return QApplication::exec();
    }
    kt7::PublisherChoice mqtt; // outlives the window that publishes to it
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    window.show();
    const kt7::WindowLogSettings logSettings = kt7::readWindowLogSettings(kt7::configFolder());
    if (!logSettings.problem.isEmpty())
        system.platform().messages.show(logSettings.problem);
    window.splitLogs(logSettings.newFile);
    mqtt = kt7::choosePublisher(options, system.platform().messages);
    if (mqtt.publisher)
        window.publishWith(*mqtt.publisher);
    // "--setup FILE [--link]": a set-up loaded (and its devices linked) once the window shows.
    if (!options.setupPath.isEmpty())
        window.startWithSetup(options.setupPath, options.link);
    const int code = QApplication::exec();
    if (mqtt.publisher)
        mqtt.publisher->drain(2000);
    return code;
}
