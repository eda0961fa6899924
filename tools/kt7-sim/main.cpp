// kt7-sim: KT7 instruments on pseudo-terminals, for running and testing the logger without
// hardware. See --help for the flags.
#include "CommandLine.h"
#include "Simulator.h"

#include <QCoreApplication>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kt7-sim"));
    CommandLine commandLine;
    const auto options = commandLine.parse(QCoreApplication::arguments());
    if (commandLine.helpRequested()) {
        std::cout << commandLine.helpText().toStdString();
        return 0;
    }
    if (!options) {
        std::cerr << "kt7-sim: " << commandLine.errorText().toStdString() << "\n"
                  << "Try 'kt7-sim --help'.\n";
        return 2;
    }
    try {
        Simulator simulator(*options);
        simulator.announce(std::cout);
        simulator.run();
    } catch (const std::exception& error) {
        std::cerr << "kt7-sim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
