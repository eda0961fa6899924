#pragma once

#include "common/WindowFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <array>

namespace kt7test {

// Every control whose value the set-up file stores, read from or written to a window.
struct StoredControls {
    struct Device {
        Qt::CheckState yAuto = Qt::Unchecked;
        QString yMax;
        QString yMin;
        int port = 0;
        bool tare = false;
        QString label;
    };
    Qt::CheckState autoSample = Qt::Unchecked;
    bool fast = false;
    bool sec = true;
    QString interval;
    QString chartPoints;
    std::array<Device, 8> devices;

    // One "name=value" entry per control in a fixed order, so two states compare entry by entry
    // and a failure names the control.
    QStringList entries() const {
        QStringList out{QStringLiteral("CheckLogAuto=%1").arg(autoSample),
                        QStringLiteral("Fast=%1").arg(fast), QStringLiteral("Sec=%1").arg(sec),
                        QStringLiteral("TextLogInterval=") + interval,
                        QStringLiteral("Text_Chart_Pts=") + chartPoints};
        for (int i = 0; i < 8; ++i) {
            const Device& d = devices[i];
            const QString n = QStringLiteral("Device %1 ").arg(i + 1);
            out << n + QStringLiteral("ChY_Auto=%1").arg(d.yAuto) << n + "TextYMax=" + d.yMax
                << n + "TextYMin=" + d.yMin << n + QStringLiteral("Port=%1").arg(d.port)
                << n + QStringLiteral("Tare=%1").arg(d.tare) << n + "TextLab=" + d.label;
        }
        return out;
    }
};

inline StoredControls readControls(const WindowFixture& f) {
    StoredControls s;
    s.autoSample = f.control<QCheckBox>(QStringLiteral("CheckLogAuto"))->checkState();
    s.fast = f.button(QStringLiteral("OptLogMode"), 0)->isChecked();
    s.sec = f.button(QStringLiteral("OptLogMode"), 1)->isChecked();
    s.interval = f.control<QLineEdit>(QStringLiteral("TextLogInterval"))->text();
    s.chartPoints = f.control<QLineEdit>(QStringLiteral("Text_Chart_Pts"))->text();
    for (int i = 0; i < 8; ++i) {
        StoredControls::Device& d = s.devices[i];
        d.yAuto = f.control<QCheckBox>(QStringLiteral("ChY_Auto"), i)->checkState();
        d.yMax = f.control<QLineEdit>(QStringLiteral("TextYMax"), i)->text();
        d.yMin = f.control<QLineEdit>(QStringLiteral("TextYMin"), i)->text();
        const auto* list = f.control<QComboBox>(QStringLiteral("CombMSCom"), i);
        d.port = list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
        d.tare = f.button(QStringLiteral("Tare"), i)->isChecked();
        d.label = f.control<QLineEdit>(QStringLiteral("TextLab"), i)->text();
    }
    return s;
}

// Sets the controls as a user would, so each control's own reaction runs.
inline void writeControls(const WindowFixture& f, const StoredControls& s) {
    f.control<QCheckBox>(QStringLiteral("CheckLogAuto"))->setCheckState(s.autoSample);
    f.button(QStringLiteral("OptLogMode"), s.fast ? 0 : 1)->setChecked(true);
    f.control<QLineEdit>(QStringLiteral("TextLogInterval"))->setText(s.interval);
    f.control<QLineEdit>(QStringLiteral("Text_Chart_Pts"))->setText(s.chartPoints);
    for (int i = 0; i < 8; ++i) {
        const StoredControls::Device& d = s.devices[i];
        f.control<QCheckBox>(QStringLiteral("ChY_Auto"), i)->setCheckState(d.yAuto);
        f.control<QLineEdit>(QStringLiteral("TextYMax"), i)->setText(d.yMax);
        f.control<QLineEdit>(QStringLiteral("TextYMin"), i)->setText(d.yMin);
        auto* list = f.control<QComboBox>(QStringLiteral("CombMSCom"), i);
        list->setCurrentIndex(list->findData(d.port));
        f.button(QStringLiteral("Tare"), i)->setChecked(d.tare);
        f.control<QLineEdit>(QStringLiteral("TextLab"), i)->setText(d.label);
    }
}

// The first entry where two states differ, or an empty text when they agree.
inline QString firstDifference(const StoredControls& actual, const StoredControls& expected) {
    const QStringList a = actual.entries();
    const QStringList e = expected.entries();
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != e[i])
            return QStringLiteral("%1 where %2 was expected").arg(a[i], e[i]);
    return {};
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Presses "Save Set Up File" with the save dialog answering path; returns the bytes written.
inline QByteArray saveThrough(WindowFixture& f, const QString& path) {
    f.dialogs.answers << path;
    f.button(QStringLiteral("ComSetFile"), 1)->click();
    return readBytes(path);
}

// Presses "Open Set Up File" with the open dialog answering path.
inline void loadThrough(WindowFixture& f, const QString& path) {
    f.dialogs.answers << path;
    f.button(QStringLiteral("ComSetFile"), 0)->click();
}

} // namespace kt7test
