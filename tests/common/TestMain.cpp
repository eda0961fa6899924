#include "common/TestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace kt7test {
std::vector<TestFactory>& registeredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}
} // namespace kt7test

namespace {

// QtTest options that take the next argument as their value.
bool takesValue(const QString& option) {
    static const QStringList withValue{"-o",          "-maxwarnings", "-eventdelay", "-keydelay",
                                       "-mousedelay", "-seed",        "-platform"};
    return withValue.contains(option);
}

bool hasTestFunction(const QObject& test, const QString& name) {
    const QMetaObject* meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        if (QString::fromLatin1(meta->method(i).name()) == name)
            return true;
    return false;
}

// Runs one test class. QtTest's own output to standard output never arrives from a Windows
// program under wine, so there it goes to a file that is copied to standard output afterwards.
int runTest(QObject& test, const QStringList& arguments) {
#ifdef Q_OS_WIN
    if (!arguments.contains(QStringLiteral("-o"))) {
        const QString log = QDir::temp().filePath(
            QStringLiteral("kt7-test-%1.txt").arg(QCoreApplication::applicationPid()));
        const int failed =
            QTest::qExec(&test, arguments + QStringList{"-o", log + QStringLiteral(",txt")});
        QFile file(log);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
            std::fflush(stdout);
            file.remove();
        }
        return failed;
    }
#endif
    return QTest::qExec(&test, arguments);
}

} // namespace

// Runs every registered test class. Arguments naming a class run that class alone; other plain
// arguments are test functions (with an optional ":data tag") and run in the classes that have
// them; options go to QtTest as they are. A name that matches nothing fails the run, so a typo
// never passes as an empty run.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QStringList options;
    QStringList names;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i].startsWith(u'-')) {
            options << args[i];
            if (takesValue(args[i]) && i + 1 < args.size())
                options << args[++i];
        } else {
            names << args[i];
        }
    }

    std::vector<std::unique_ptr<QObject>> tests;
    for (const auto& make : kt7test::registeredTests())
        tests.push_back(make());
    QStringList classes;
    QStringList functions;
    for (const QString& name : std::as_const(names)) {
        const bool isClass = std::any_of(tests.begin(), tests.end(), [&](const auto& test) {
            return QString::fromLatin1(test->metaObject()->className()) == name;
        });
        (isClass ? classes : functions) << name;
    }
    QStringList unmatched = functions;

    int failures = 0;
    for (const auto& test : tests) {
        const QString className = QString::fromLatin1(test->metaObject()->className());
        if (!classes.isEmpty() && !classes.contains(className))
            continue;
        QStringList own;
        for (const QString& function : std::as_const(functions))
            if (hasTestFunction(*test, function.section(u':', 0, 0))) {
                own << function;
                unmatched.removeAll(function);
            }
        if (!functions.isEmpty() && own.isEmpty())
            continue;
        failures += runTest(*test, QStringList{args.first()} + options + own);
    }
    for (const QString& name : std::as_const(unmatched)) {
        std::fprintf(stderr, "No test class or test function is named %s\n", qPrintable(name));
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
