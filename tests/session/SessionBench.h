#pragma once

#include "common/DeviceLine.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeSerialPorts.h"
#include "session/LoggerSession.h"

#include <QFile>

namespace kt7test {

struct StopView : kt7::TickView {
    void loggingStopped(const QString& path, const kt7::LogFileError&, qint32) override {
        stopped << path;
    }
    QStringList stopped;
};

// A session with device 1 linked on COM 1, logging every reading.
struct SessionBench {
    explicit SessionBench(const QString& folder)
        : session(ports, clock, messages, kt7::CodePage::utf8(), folder) {
        ports.addPort(1);
        clock.onWait = [this](int) { ports.deliverPending(); };
        session.choosePort(0, 1);
        ports.sendDuringWait(1, deviceLine("0", "V"));
        session.linkClicked(0, true);
        session.setAutoSample(1);
        session.setFastMode(true);
        session.setIntervalText({}); // no repeated rows between the readings
    }
    void tick(const QByteArray& value) {
        ports.send(1, deviceLine(value, "V"));
        clock.advanceSeconds(1);
        session.tick(view);
    }
    FakeSerialPorts ports;
    FakeClock clock; // 2026-12-07
    FakeMessageBoxes messages;
    StopView view;
    kt7::LoggerSession session;
};

// Header lines, then each row's sample number and value (its date left out).
inline QList<QByteArray> logOf(const QString& path) {
    QFile file(path);
    QList<QByteArray> lines =
        file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{""};
    lines.removeLast(); // after the last line end
    for (int i = 3; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(',');
        lines[i] = fields.value(0) + ',' + fields.value(2);
    }
    return lines;
}

} // namespace kt7test
