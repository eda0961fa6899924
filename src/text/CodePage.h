#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace kt7 {

// The 8-bit text of the log and the set-up file: the desktop's own character set, so that a
// spreadsheet or a terminal on the same desktop shows a label as it was typed.
class CodePage {
  public:
    enum class Kind { Utf8, Latin1, Windows1252, Named };

    static CodePage utf8() { return CodePage(Kind::Utf8); }
    static CodePage latin1() { return CodePage(Kind::Latin1); }
    static CodePage windows1252() { return CodePage(Kind::Windows1252); }
    // A character set by its name, as the C library or Qt names it; an unknown name gives
    // Latin-1, which keeps every byte.
    static CodePage named(const QByteArray& name);
    // The character set of the process locale (on Windows the ANSI code page). The C/POSIX
    // locale's ASCII is widened to Latin-1, the 8-bit text tools pass through unchanged.
    static CodePage system();

    QByteArray name() const;

    // '?' for each character the code page cannot hold (a surrogate pair is one character).
    QByteArray encode(QStringView text) const;
    QString decode(QByteArrayView bytes) const;
    bool isValid(QByteArrayView bytes) const;
    // How to read a whole file: in this code page when it is valid in it, otherwise as
    // Windows-1252 (a file written on another desktop), so no file is refused for its bytes.
    CodePage readerFor(QByteArrayView bytes) const;

  private:
    explicit CodePage(Kind kind, QByteArray name = {}) : kind_(kind), name_(std::move(name)) {}

    Kind kind_;
    QByteArray name_;
};

} // namespace kt7
