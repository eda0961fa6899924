#pragma once

#include "common/LoggerBench.h"
#include "logfile/CsvFormat.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QPalette>

namespace kt7test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The file's lines without their CR LF; a last line without CR LF would show as its own entry.
inline QList<QByteArray> fileLines(const QString& path) {
    QList<QByteArray> lines = fileBytes(path).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return {"<line without CR LF: " + line + '>'};
        line.chop(1);
    }
    return lines;
}

inline QList<QByteArray> dataRows(const QString& path) {
    return fileLines(path).mid(3);
}

// The date and time field a row built at `when` carries on this machine.
inline QByteArray dateField(const QDateTime& when) {
    return kt7::dateTimeField(when, QLocale::system()).toLocal8Bit();
}

inline bool isWhite(const QAbstractButton* button) {
    return button->palette().color(QPalette::Button) == QColor(Qt::white);
}
inline bool isButtonFace(const QAbstractButton* button) {
    return button->palette().color(QPalette::Button) ==
           QApplication::palette().color(QPalette::Button);
}

} // namespace kt7test
