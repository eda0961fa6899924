#include "app/AppTitle.h"
#include "app/Form_KT7.h"
#include "chart/LogViewer.h"
#include "headless/HeadlessMain.h"
#include "platform/core/ComPortMap.h"
#include "platform/core/PortPaths.h"
#include "platform/serial/QtPortCatalogue.h"
#include "platform/widgets/SystemPlatform.h"
#include "publish/MqttPublisher.h"

#include <QApplication>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// `kt7-logger --list-ports`: the COM number map, with numbers given to new ports first, as the
// window would on start-up.
int listPorts(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const kt7::QtPortCatalogue catalogue;
    const QByteArray text = kt7::portMapText(kt7::assignPortNumbers(catalogue)).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

// "--mqtt URL [--mqtt-station NAME] [--mqtt-readings logged|all]", or else the config file:
// the window publishes too. A setting that cannot be used is told once; logging goes on.
std::unique_ptr<kt7::MqttPublisher> windowPublisher(const QStringList& args,
                                                    kt7::MessageBoxes& messages) {
    const auto valueOf = [&args](const char* name) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    const kt7::MqttSettingsResult result =
        kt7::chosenMqttSettings(valueOf("--mqtt"), valueOf("--mqtt-station"),
                                valueOf("--mqtt-readings"), kt7::configFolder());
    if (!result.error.isEmpty())
        messages.show(result.error);
    return result.settings ? std::make_unique<kt7::MqttPublisher>(*result.settings) : nullptr;
}

// The headless logger is a small program beside this one, so that an unattended logger loads no
// widget library; this program runs it in its own process only when that program is missing.
int runHeadlessBeside(int argc, char** argv) {
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

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list-ports") == 0)
        return listPorts(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return runHeadlessBeside(argc, argv);
    QApplication app(argc, argv);
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system(kt7::applicationTitle());
    // "--view FILE" shows a saved log alone, without the logger and its ports.
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--view")) {
        kt7::LogViewer viewer(args[2], system.platform().dialogs, system.platform().messages);
        system.attachTo(&viewer);
        viewer.show();
        return QApplication::exec();
    }
    std::unique_ptr<kt7::MqttPublisher> publisher; // outlives the window that publishes to it
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    window.show();
    publisher = windowPublisher(args, system.platform().messages);
    if (publisher)
        window.publishWith(*publisher);
    // "--setup FILE [--link]": a set-up loaded (and its devices linked) once the window shows.
    const qsizetype setup = args.indexOf(QLatin1String("--setup"));
    if (setup > 0 && setup + 1 < args.size())
        window.startWithSetup(args[setup + 1], args.contains(QLatin1String("--link")));
    const int code = QApplication::exec();
    if (publisher)
        publisher->drain(2000);
    return code;
}
