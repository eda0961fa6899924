// The program's start-up as its main() does it, with the same platform adapters, reporting
// how long after the launch the window was first painted. The launcher passes its
// CLOCK_MONOTONIC time of launch in nanoseconds as the first argument.
#include "app/AppTitle.h"
#include "app/Form_KT7.h"
#include "platform/widgets/SystemPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Quits once the first paint of the window has finished.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(qint64 launchNs) : launchNs(launchNs) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            // Runs after the paint of this event has been drawn and flushed.
            QTimer::singleShot(0, [this] {
                std::printf("SHOWN_MS\t%.3f\n",
                            static_cast<double>(monotonicNs() - launchNs) / 1e6);
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

  private:
    qint64 launchNs;
    bool seen = false;
};

} // namespace

int main(int argc, char** argv) {
    const qint64 launchNs = argc > 1 ? QByteArray(argv[1]).toLongLong() : monotonicNs();

    QApplication app(argc, argv);
    kt7::SystemPlatform::prepareApplication();
    kt7::SystemPlatform system(kt7::applicationTitle());
    kt7::Form_KT7 window(system.platform());
    system.attachTo(&window);
    FirstPaint firstPaint(launchNs);
    window.installEventFilter(&firstPaint);
    window.show();
    const int result = QApplication::exec();

    // Every probed port was missing, so no list holds an entry.
    if (auto* list = window.findChild<QComboBox*>(QStringLiteral("CombMSCom(0)")))
        std::printf("PORT_ENTRIES\t%d\n", list->count());
    return result;
}
