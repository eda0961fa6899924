#include "text/CodePage.h"

#include "text/Windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <langinfo.h>
#endif

namespace kt7 {

namespace {

bool isAscii(const QByteArray& name) {
    const QByteArray upper = name.toUpper();
    return upper == "ANSI_X3.4-1968" || upper == "ASCII" || upper == "US-ASCII";
}

bool isUtf8(const QByteArray& name) {
    const QByteArray upper = name.toUpper();
    return upper == "UTF-8" || upper == "UTF8";
}

// A lone surrogate cannot be written in UTF-8; it becomes '?' like any character a code page
// lacks.
QByteArray utf8WithQuestionMarks(QStringView text) {
    QString copy;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            ++i;
            continue;
        }
        if (c.isSurrogate()) {
            if (copy.isNull())
                copy = text.toString();
            copy[i] = u'?';
        }
    }
    return copy.isNull() ? text.toUtf8() : copy.toUtf8();
}

// Encodes one character at a time, so a character the converter cannot hold is seen and
// replaced by exactly one '?' whatever substitute the converter would write.
QByteArray namedWithQuestionMarks(const QByteArray& name, QStringView text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.mid(i, pair ? 2 : 1);
        if (pair)
            ++i;
        if (character.front().unicode() < 0x80) {
            out.append(static_cast<char>(character.front().unicode()));
            continue;
        }
        QStringEncoder encoder(name.constData(), QStringConverter::Flag::ConvertInvalidToNull);
        const QByteArray bytes = encoder.encode(character);
        out +=
            encoder.hasError() || bytes.isEmpty() || bytes.contains('\0') ? QByteArray("?") : bytes;
    }
    return out;
}

} // namespace

CodePage CodePage::named(const QByteArray& name) {
    if (isUtf8(name))
        return utf8();
    const QByteArray upper = name.toUpper();
    if (upper == "ISO-8859-1" || upper == "LATIN1" || isAscii(name))
        return latin1();
    if (upper == "WINDOWS-1252" || upper == "CP1252")
        return windows1252();
    if (QStringEncoder(name.constData()).isValid())
        return CodePage(Kind::Named, name);
    return latin1();
}

CodePage CodePage::system() {
#ifdef Q_OS_WIN
    // Qt on Windows converts the ANSI code page itself ("Locale"), whichever it is.
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8)
        return utf8();
    if (codePage == 1252)
        return windows1252();
    return CodePage(Kind::Named, "Locale");
#else
    return named(QByteArray(nl_langinfo(CODESET)));
#endif
}

QByteArray CodePage::name() const {
    switch (kind_) {
    case Kind::Utf8:
        return "UTF-8";
    case Kind::Latin1:
        return "ISO-8859-1";
    case Kind::Windows1252:
        return "windows-1252";
    case Kind::Named:
        break;
    }
    return name_;
}

QByteArray CodePage::encode(QStringView text) const {
    switch (kind_) {
    case Kind::Utf8:
        return utf8WithQuestionMarks(text);
    case Kind::Latin1:
        return toLatin1WithQuestionMarks(text);
    case Kind::Windows1252:
        return toWindows1252(text);
    case Kind::Named:
        break;
    }
    return namedWithQuestionMarks(name_, text);
}

QString CodePage::decode(QByteArrayView bytes) const {
    switch (kind_) {
    case Kind::Utf8:
        return QString::fromUtf8(bytes);
    case Kind::Latin1:
        return QString::fromLatin1(bytes);
    case Kind::Windows1252:
        return fromWindows1252(bytes);
    case Kind::Named:
        break;
    }
    QStringDecoder decoder(name_.constData());
    return decoder.decode(bytes);
}

bool CodePage::isValid(QByteArrayView bytes) const {
    if (kind_ == Kind::Latin1 || kind_ == Kind::Windows1252)
        return true;
    QStringDecoder decoder(name().constData());
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

CodePage CodePage::readerFor(QByteArrayView bytes) const {
    return isValid(bytes) ? *this : windows1252();
}

} // namespace kt7
