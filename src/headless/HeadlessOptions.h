#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kt7 {

// `kt7-logger --headless --setup FILE.kt7 [--log FILE.csv] [--fast | --every N] [--auto]
// [--mqtt URL] [--mqtt-station NAME] [--mqtt-readings logged|all] [--mqtt-drain SECONDS]
// [--status-every SECONDS]`.
// What is not given comes from the set-up file. --fast logs every reading and nothing else.
struct HeadlessOptions {
    QString setupPath;
    QString logPath; // empty: the default log in the log folder
    std::optional<bool> fastMode;
    std::optional<int> everySeconds;
    bool autoSample = false;
    QString mqttUrl; // empty: the config file decides
    QString mqttStation;
    QString mqttReadings;
    int mqttDrainSeconds = 5; // at the end, for what is still queued; well inside systemd's 90 s
    int statusEverySeconds = 60;
};

struct HeadlessOptionsResult {
    std::optional<HeadlessOptions> options;
    QString error;
};

// The arguments after the program's name, --headless among them.
HeadlessOptionsResult parseHeadlessOptions(const QStringList& arguments);

QString headlessUsage();

} // namespace kt7
