// Time from launching the program to its window being painted, median of ten launches, in a
// scratch home folder whose port entries com1..com10 are dangling links: the start-up probe
// tries all of them and finds none, and no real port is touched.
#include "BenchReport.h"
#include "common/ScratchHome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>

extern char** environ;

using namespace kt7bench;

namespace {

constexpr int Launches = 10;

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::vector<std::string> childEnvironment(const QString& home) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        for (const char* drop :
             {"HOME=", "XDG_CONFIG_HOME=", "XDG_RUNTIME_DIR=", "QT_QPA_PLATFORM="})
            if (entry.rfind(drop, 0) == 0)
                goto skip;
        env.push_back(entry);
    skip:;
    }
    env.push_back("HOME=" + home.toStdString());
    env.push_back("XDG_RUNTIME_DIR=" + (home + "/runtime").toStdString());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

// Launches the harness once; returns the milliseconds it reported, or a negative number.
double launchOnce(const std::vector<std::string>& env, int& portEntries) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    std::string program = KT7_SHOWN_HARNESS;
    const std::string launch = std::to_string(monotonicNs());
    char* argv[] = {program.data(), const_cast<char*>(launch.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray output;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, n);
    close(out[0]);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    double shown = -1;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2 && fields[0] == "SHOWN_MS")
            shown = fields[1].toDouble();
        if (fields.size() == 2 && fields[0] == "PORT_ENTRIES")
            portEntries = fields[1].toInt();
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? shown : -1;
}

} // namespace

int main() {
    QTemporaryDir home;
    if (!home.isValid() || !kt7test::makeDanglingPorts(home.path()) ||
        !QDir().mkpath(home.path() + "/runtime")) {
        std::fprintf(stderr, "startup: cannot prepare the scratch home folder\n");
        return 1;
    }
    QFile::setPermissions(home.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const std::vector<std::string> env = childEnvironment(home.path());
    std::vector<double> times;
    for (int i = 0; i < Launches; ++i) {
        int portEntries = -1;
        const double shown = launchOnce(env, portEntries);
        if (shown < 0) {
            std::fprintf(stderr, "startup: launch %d failed\n", i + 1);
            return 1;
        }
        if (portEntries != 0)
            std::fprintf(stderr, "startup: %d ports listed; the probe found a port\n", portEntries);
        times.push_back(shown);
    }
    std::fprintf(stderr, "startup: launches (ms):");
    for (double t : times)
        std::fprintf(stderr, " %.1f", t);
    std::fprintf(stderr, "\n");
    const double mid = median(times);
    row(QStringLiteral("start to window shown, 80-attempt probe (median of 10)"), ms(mid),
        QStringLiteral("< 1000 ms"), mid < 1000.0);
    return 0;
}
