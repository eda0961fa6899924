#pragma once

#include "MeasureTestLog.h"
#include "fakes/FakeDialogs.h"
#include "viewer/LogViewer.h"

#include <QTemporaryDir>

namespace kt7test {

inline QString writtenMeasureLog(const QTemporaryDir& dir) {
    const QString path = dir.filePath("midnight.csv");
    writeMeasureLog(path);
    return path;
}

// The viewer over the measuring log, written to a fresh folder, with fake dialogs and messages:
//     MeasureViewer fixture;
//     auto& [dir, path, dialogs, messages, viewer] = fixture;
struct MeasureViewer {
    QTemporaryDir dir;
    QString path = writtenMeasureLog(dir);
    FakeDialogs dialogs;
    FakeMessageBoxes messages;
    kt7::LogViewer viewer{path, dialogs, messages, nullptr, measureLocale};
};

} // namespace kt7test
