#include "common/TestRegistry.h"

#include <QApplication>
#include <QTest>

namespace kt7test {
std::vector<TestFactory>& registeredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}
} // namespace kt7test

// Runs every registered test class; a filter argument naming a class runs that class alone.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    const QStringList args = app.arguments();
    for (const auto& make : kt7test::registeredTests()) {
        const std::unique_ptr<QObject> test = make();
        const QString name = QString::fromLatin1(test->metaObject()->className());
        if (args.size() > 1 && !args.mid(1).contains(name))
            continue;
        failures += QTest::qExec(test.get(), QStringList{args.first()});
    }
    return failures == 0 ? 0 : 1;
}
