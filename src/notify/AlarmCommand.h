#pragma once

#include "alarms/AlarmEvent.h"

#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace kt7 {

// The user's command, run once for each alarm raised or ended with the details in KT7_DEVICE,
// KT7_LABEL, KT7_STATE, KT7_VALUE, KT7_LIMIT, KT7_UNIT and KT7_TIME. The command line is the
// user's own text split into program and arguments; no shell sees it, and readings reach the
// program only through its environment. One runs at a time; one that outlasts the time limit is
// killed. Each kind of failure is told once.
class AlarmCommand : public QObject {
    Q_OBJECT
  public:
    using Problem = std::function<void(const QString& text)>;
    static constexpr int MaxWaiting = 100;

    AlarmCommand(const QString& commandLine, Problem tell, int timeLimitMs = 30000);
    ~AlarmCommand() override;

    static QProcessEnvironment environmentFor(const AlarmEvent& event, const QString& label,
                                              const QString& unit);
    void run(const AlarmEvent& event, const QString& label, const QString& unit);
    // Nothing running and nothing waiting.
    bool idle() const { return !process && waiting.empty(); }

  signals:
    void finished();

  private:
    void startNext();
    void ended(const QString& failure);
    void tellOnce(const QString& failure);

    QString program;
    QStringList arguments;
    Problem tell;
    int timeLimitMs;
    std::deque<QProcessEnvironment> waiting;
    QProcess* process = nullptr;
    QTimer limit;
    QStringList told;
};

} // namespace kt7
