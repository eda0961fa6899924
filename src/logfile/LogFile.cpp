#include "logfile/LogFile.h"
#include "text/SystemReason.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

#ifdef Q_OS_WIN
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kt7 {

namespace {

int defaultSync(int fd) {
#if defined(Q_OS_WIN)
    // What fdatasync does on Linux: the data through the system's cache onto the disk.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || !::FlushFileBuffers(handle)) {
        errno = EIO;
        return -1;
    }
    return 0;
#elif defined(Q_OS_LINUX)
    return ::fdatasync(fd);
#else
    return ::fsync(fd);
#endif
}

// Opened by hand rather than through QFile::open(path) because only errno tells a refused file
// (the one failure the window names on its own) from the others. Made new where it can be, so a
// failed start removes only a file it made itself.
int openTruncated(const QString& path, bool& made) {
#ifdef Q_OS_WIN
    const auto open = [&path](int flags) {
        return ::_wopen(reinterpret_cast<const wchar_t*>(path.utf16()),
                        _O_WRONLY | _O_BINARY | _O_NOINHERIT | flags, _S_IREAD | _S_IWRITE);
    };
    constexpr int create = _O_CREAT, createNew = _O_CREAT | _O_EXCL, truncate = _O_TRUNC;
#else
    const auto open = [name = QFile::encodeName(path)](int flags) {
        return ::open(name.constData(), O_WRONLY | O_CLOEXEC | flags, 0666);
    };
    constexpr int create = O_CREAT, createNew = O_CREAT | O_EXCL, truncate = O_TRUNC;
#endif
    const int fd = open(createNew);
    made = fd >= 0;
    if (made || errno != EEXIST)
        return fd;
    const int existing = open(truncate);
    // A link to a file not there yet: made through the link, and never removed.
    return existing >= 0 || errno != ENOENT ? existing : open(create | truncate);
}

// -1 for what has no size of its own (a pipe, a device).
qint64 sizeOf(int fd) {
#ifdef Q_OS_WIN
    struct _stat64 info {};
    const bool regular = ::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFREG);
#else
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
#endif
    return regular ? static_cast<qint64>(info.st_size) : -1;
}

#ifdef Q_OS_WIN
// The volume and file index, which stay with the file whatever its name; empty when unknown.
// links is 0 once the file was deleted.
QByteArray identityOf(HANDLE handle, DWORD* links = nullptr) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info))
        return {};
    if (links)
        *links = info.nNumberOfLinks;
    return QByteArray::number(static_cast<qulonglong>(info.dwVolumeSerialNumber)) + ':' +
           QByteArray::number((static_cast<qulonglong>(info.nFileIndexHigh) << 32) |
                              info.nFileIndexLow);
}

QByteArray identityOf(int fd, DWORD* links = nullptr) {
    return identityOf(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)), links);
}

// The identity of whatever file the path names now; empty when there is none.
QByteArray identityAt(const QString& path) {
    const HANDLE named = ::CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return {};
    const QByteArray identity = identityOf(named);
    ::CloseHandle(named);
    return identity;
}
#else
QByteArray identityOf(const struct stat& info) {
    return QByteArray::number(static_cast<qulonglong>(info.st_dev)) + ':' +
           QByteArray::number(static_cast<qulonglong>(info.st_ino));
}
#endif

void closeDescriptor(int fd) {
#ifdef Q_OS_WIN
    ::_close(fd);
#else
    ::close(fd);
#endif
}

} // namespace

LogFile::LogFile(SyncFunction sync) : syncToDisk(sync ? std::move(sync) : defaultSync) {}

LogFile::~LogFile() {
    close();
}

LogFileError LogFile::create(const QString& path, const QByteArray& header) {
    close();
    bool made = false;
    const int fd = openTruncated(path, made);
    if (fd < 0) {
        const int error = errno;
        return LogFileError::failure(systemReason(error), error == EACCES || error == EPERM);
    }
    // Unbuffered: every write goes straight to the operating system, no copy stays in Qt.
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        const QString reason = file.errorString();
        closeDescriptor(fd);
        return LogFileError::failure(reason);
    }
    openPath = path;
    committedSize = 0;
    cannotUndo = false;
    lastSync.reset();
    writtenRows = syncingRows = syncedRows = 0;
#ifdef Q_OS_WIN
    fileIdentity = identityOf(fd);
#else
    struct stat info {};
    fileIdentity = ::fstat(fd, &info) == 0 ? identityOf(info) : QByteArray();
#endif
    const LogFileError result = write(header);
    if (!result.ok) {
        file.close();
        openPath.clear();
        // No empty file is left behind by a start that failed (a full disk, say).
        if (made)
            QFile::remove(path);
    }
    return result;
}

LogFileError LogFile::appendRows(const QByteArray& rows) {
    if (!isOpen())
        return LogFileError::failure(QStringLiteral("no log file is open"));
    const LogFileError result = write(rows);
    if (result.ok)
        writtenRows += rows.count('\n');
    return result;
}

LogFileError LogFile::checkStillNamed() const {
    if (fileIdentity.isEmpty())
        return LogFileError::success();
#ifdef Q_OS_WIN
    // Windows refuses to delete or move a file open without delete sharing, but other systems
    // on a shared folder (or under wine) need not.
    DWORD links = 1;
    identityOf(file.handle(), &links);
    if (links == 0)
        return LogFileError::gone(QStringLiteral("the file was deleted"));
    const QByteArray named = identityAt(openPath);
    if (named.isEmpty())
        return LogFileError::gone(QStringLiteral("the file was moved or deleted"));
    if (named != fileIdentity)
        return LogFileError::gone(QStringLiteral("another file took its place"));
    return LogFileError::success();
#else
    struct stat opened {};
    if (::fstat(file.handle(), &opened) == 0 && opened.st_nlink == 0)
        return LogFileError::gone(QStringLiteral("the file was deleted"));
    struct stat named {};
    if (::stat(QFile::encodeName(openPath).constData(), &named) != 0)
        return LogFileError::gone(
            QStringLiteral("the file was moved or deleted (%1)").arg(systemReason(errno)));
    if (identityOf(named) != fileIdentity)
        return LogFileError::gone(QStringLiteral("another file took its place"));
    return LogFileError::success();
#endif
}

LogFileError LogFile::write(const QByteArray& bytes) {
    if (cannotUndo)
        return LogFileError::failure(
            QStringLiteral("an earlier failed write left part of a row that could not be removed"));
    if (bytes.isEmpty())
        return LogFileError::success();
    // Another program cut the file short (logrotate's copytruncate): writing at our offset would
    // leave a hole of zero bytes and rows without a header.
    if (const qint64 size = sizeOf(file.handle()); size >= 0 && size < committedSize)
        return LogFileError::cut(
            QStringLiteral("another program cut the file short (%1 of %2 bytes left)")
                .arg(size)
                .arg(committedSize));
    errno = 0;
    const qint64 written = file.write(bytes);
    const int error = errno;
    if (written == bytes.size()) {
        committedSize += written;
        unsyncedData = true;
        return LogFileError::success();
    }
    QString reason = written < 0 || error == 0 ? file.errorString() : systemReason(error);
    if (reason.isEmpty())
        reason = QStringLiteral("only %1 of %2 bytes were written").arg(written).arg(bytes.size());
    if (written > 0 && !file.resize(committedSize))
        cannotUndo = true;
    return LogFileError::failure(reason);
}

LogFileError LogFile::syncIfDue(const QDateTime& now) {
    if (!isOpen())
        return LogFileError::success();
    if (const LogFileError finished = collectSync(false); !finished.ok)
        return finished;
    // A slow disk still busy with the last sync: try again on a later call.
    if (runningSync.valid() || !unsyncedData)
        return LogFileError::success();
    // A clock set back counts as due, so a changed clock can never postpone the sync.
    if (lastSync && *lastSync <= now && lastSync->secsTo(now) < syncIntervalSeconds)
        return LogFileError::success();
    if (const LogFileError named = checkStillNamed(); !named.ok)
        return named;
    lastSync = now;
    // Rows appended from here on are new data for the next sync.
    unsyncedData = false;
    syncingRows = writtenRows;
    runningSync = std::async(std::launch::async, [sync = syncToDisk, fd = file.handle()] {
        errno = 0;
        const int result = sync(fd);
        return SyncOutcome{result, errno};
    });
    return LogFileError::success();
}

LogFileError LogFile::waitForSync() {
    return collectSync(true);
}

LogFileError LogFile::collectSync(bool wait) {
    if (!runningSync.valid())
        return LogFileError::success();
    if (!wait && runningSync.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return LogFileError::success();
    const SyncOutcome outcome = runningSync.get();
    if (outcome.result == 0) {
        syncedRows = syncingRows;
        return LogFileError::success();
    }
    unsyncedData = true; // the data is still not known to be on the disk
    return LogFileError::syncFailure(systemReason(outcome.error));
}

LogFileError LogFile::syncNow() {
    if (syncToDisk(file.handle()) != 0)
        return LogFileError::syncFailure(systemReason(errno));
    unsyncedData = false;
    syncedRows = writtenRows;
    return LogFileError::success();
}

LogFileError LogFile::close() {
    // The descriptor stays open until a background sync on it has finished.
    const LogFileError background = collectSync(true);
    if (!isOpen())
        return background;
    const LogFileError named = checkStillNamed();
    LogFileError result = unsyncedData ? syncNow() : LogFileError::success();
    if (!background.ok)
        result = background;
    if (!named.ok)
        result = named;
    file.close();
    openPath.clear();
    unsyncedData = false;
    lastSync.reset();
    return result;
}

} // namespace kt7
