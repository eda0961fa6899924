#include "setup/SetupFileStore.h"

#include "text/SystemReason.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace kt7 {

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

SetupFileResult failure(QString message) {
    return {false, std::move(message), {}};
}

} // namespace

SetupFileResult SetupFileStore::load(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("The set-up file \"%1\" could not be opened: %2")
                           .arg(nativePath(path), file.errorString()));
    if (file.size() > MaxSetupFileBytes)
        return failure(QStringLiteral("The file \"%1\" is too large to be a set-up file.")
                           .arg(nativePath(path)));
    SetupFileResult result{true, {}, readSetupFile(file.readAll(), codePage_)};
    if (!result.content.general)
        return failure(QStringLiteral("The set-up file \"%1\" could not be read: %2")
                           .arg(nativePath(path), result.content.problem));
    return result;
}

// QSaveFile::commit ignores a failure of its final flush (a short write would then replace the
// old file), so the flush is checked first. A short write leaves Qt without a reason; the
// system's is in errno.
SetupFileResult SetupFileStore::save(const QString& path, const SetupData& data) const {
    QSaveFile file(path);
    const QByteArray bytes = writeSetupFile(data, codePage_);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else {
        errno = 0;
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        const int error = errno;
        if (!written)
            reason = error != 0 ? systemReason(error) : file.errorString();
        else if (!file.commit())
            reason = file.errorString();
        else
            return {};
    }
    return failure(QStringLiteral("The set-up file \"%1\" could not be saved: %2")
                       .arg(nativePath(path), reason));
}

SetupSampling readSetupSampling(const std::array<SetupValue, 5>& general) {
    SetupSampling sampling;
    const std::optional<qint16> autoSample = toInt16(general[0]);
    if (!autoSample || *autoSample < 0 || *autoSample > 2) {
        sampling.firstInvalidField = 1;
        return sampling;
    }
    sampling.autoSample = autoSample;
    sampling.fast = toBoolean(general[1]);
    if (!sampling.fast) {
        sampling.firstInvalidField = 2;
        return sampling;
    }
    sampling.sec = toBoolean(general[2]);
    if (!sampling.sec)
        sampling.firstInvalidField = 3;
    return sampling;
}

QString setupFieldInvalidText(const QString& path, int field) {
    return QStringLiteral("The set-up file \"%1\" could not be read: line 1, field %2 is not "
                          "valid.")
        .arg(nativePath(path))
        .arg(field);
}

} // namespace kt7
