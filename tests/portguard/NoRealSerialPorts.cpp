// Preloaded into the test processes and every program they start: an open of a built-in UART
// (/dev/ttyS*, by its name or through a link) is refused as if the port were not there, and noted
// with the process that tried in the file KT7_PORT_RECORD names. Opening a real port raises its
// modem lines and reads whatever is on it; the tests' ports are pseudo-terminals or lead nowhere.
//
// The files are opened by system call, not through the C library, so that the guard depends on
// nothing that may not be ready yet (another preloaded library, a sanitizer's runtime).
#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Linux numbers the built-in UARTs ttyS0, ttyS1, ... as major 4 from minor 64.
constexpr unsigned UartMajor = 4;
constexpr unsigned FirstUartMinor = 64;

bool namesBuiltInUart(const char* path) {
    return path != nullptr && std::strncmp(path, "/dev/ttyS", 9) == 0;
}

bool isBuiltInUart(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) == UartMajor &&
           minor(info.st_rdev) >= FirstUartMinor;
}

void note(const char* path) {
    char self[256] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    char line[1024];
    const int size = std::snprintf(line, sizeof line, "%s: refused to process %d (%s)\n", path,
                                   int(::getpid()), length > 0 ? self : "?");
    if (size <= 0)
        return;
    const size_t bytes = std::min(size_t(size), sizeof line - 1);
    // Best effort: a note that cannot be written leaves nothing else to do.
    if (::write(STDERR_FILENO, line, bytes) < 0) {
    }
    const char* record = std::getenv("KT7_PORT_RECORD");
    if (record == nullptr || *record == '\0')
        return;
    const int fd = int(
        ::syscall(SYS_openat, AT_FDCWD, record, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd < 0)
        return;
    if (::write(fd, line, bytes) < 0) {
    }
    ::close(fd);
}

int guardedOpen(int directory, const char* path, int flags, mode_t mode) {
    // A path descriptor (realpath, a file system walk) does not open the device itself.
    if ((flags & O_PATH) != 0)
        return int(::syscall(SYS_openat, directory, path, flags, mode));
    if (namesBuiltInUart(path)) {
        note(path);
        errno = ENOENT;
        return -1;
    }
    const int fd = int(::syscall(SYS_openat, directory, path, flags, mode));
    if (fd >= 0 && isBuiltInUart(fd)) {
        ::close(fd);
        note(path);
        errno = ENOENT;
        return -1;
    }
    return fd;
}

// The mode argument is there only when the flags create a file.
mode_t modeArgument(int flags, va_list arguments) {
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    return creates ? va_arg(arguments, mode_t) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return guardedOpen(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return guardedOpen(AT_FDCWD, path, flags, mode);
}

int openat(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return guardedOpen(directory, path, flags, mode);
}

int openat64(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return guardedOpen(directory, path, flags, mode);
}

// What _FORTIFY_SOURCE builds call for an open whose flags are not known at compile time.
int __open_2(const char* path, int flags) {
    return guardedOpen(AT_FDCWD, path, flags, 0);
}
int __open64_2(const char* path, int flags) {
    return guardedOpen(AT_FDCWD, path, flags, 0);
}
int __openat_2(int directory, const char* path, int flags) {
    return guardedOpen(directory, path, flags, 0);
}
int __openat64_2(int directory, const char* path, int flags) {
    return guardedOpen(directory, path, flags, 0);
}

} // extern "C"
