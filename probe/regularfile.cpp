#include "probe/regularfile.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Names tried for the new file before giving up: a clash is already rare.
constexpr int kTemporaryNameTries = 100;

bool isRegular(int fd)
{
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The descriptor handed to the file, which closes it; false (and closed) unless it is a regular file.
bool adopt(QFile &file, int fd, QIODevice::OpenMode mode)
{
    if (fd < 0)
        return false;
    if (!isRegular(fd) || !file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// Flags every open of an outside path carries: a FIFO does not wait, a terminal is not taken over.
constexpr int kSafeOpen = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// A new file beside the target, writable by the owner alone until it has the target's permissions.
int createBeside(const QByteArray &target, bool replacing, QByteArray *name)
{
    int fd = -1;
    for (int i = 0; i < kTemporaryNameTries && fd < 0; ++i) {
        *name = target + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(
            name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    return fd;
}

bool writeAll(int fd, const std::function<bool(QIODevice &)> &write)
{
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // A buffered byte that cannot be written fails only on the way out.
    bool written = write(file) && file.flush() && fdatasync(fd) == 0;
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
} // namespace

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (!(mode & QIODevice::WriteOnly)) {
        if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        return adopt(file, ::open(name.constData(), O_RDONLY | kSafeOpen), QIODevice::ReadOnly);
    }
    // A link is not made to create its target: O_EXCL refuses a link, even a dangling one.
    if (::lstat(name.constData(), &info) != 0 && errno == ENOENT) {
        const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return adopt(file, fd, QIODevice::WriteOnly | QIODevice::Append);
    }
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return adopt(file, ::open(name.constData(), O_WRONLY | O_APPEND | kSafeOpen),
        QIODevice::WriteOnly | QIODevice::Append);
}

bool replaceFile(const QString &path, FileOwner owner, const std::function<bool(QIODevice &)> &write,
    bool inPlaceFallback, int permissions)
{
    QByteArray target = QFile::encodeName(path);
    struct stat info;
    bool exists = ::lstat(target.constData(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists && S_ISLNK(info.st_mode) && owner != FileOwner::Program) {
        // Written in place of what it names, which must be a regular file.
        char resolved[PATH_MAX];
        if (!realpath(target.constData(), resolved) || ::stat(resolved, &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        target = resolved;
    }
    if (exists && (S_ISDIR(info.st_mode) || (owner == FileOwner::UserRegularOnly && !S_ISREG(info.st_mode))))
        return false;
    const bool replacing = exists && S_ISREG(info.st_mode);

    QByteArray temporary;
    const int fd = createBeside(target, replacing, &temporary);
    if (fd < 0) {
        // A folder that refuses new files may still hold a writable file.
        if (!inPlaceFallback || !replacing || (errno != EACCES && errno != EPERM))
            return false;
        const int direct = ::open(
            target.constData(), O_WRONLY | kSafeOpen | (owner == FileOwner::Program ? O_NOFOLLOW : 0));
        if (direct < 0 || !isRegular(direct) || ftruncate(direct, 0) != 0) {
            if (direct >= 0)
                ::close(direct);
            return false;
        }
        return writeAll(direct, write);
    }
    const int mode = permissions >= 0 ? permissions : replacing ? int(info.st_mode & 07777) : -1;
    if (mode >= 0 && fchmod(fd, mode_t(mode)) != 0) {
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    // rename() replaces the name itself: a link there goes, its target stays untouched.
    if (!writeAll(fd, write) || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

#else // Windows: no FIFOs or device files among ordinary paths.

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return (mode & QIODevice::WriteOnly || QFileInfo(path).isFile()) && file.open(mode);
}

bool replaceFile(
    const QString &path, FileOwner, const std::function<bool(QIODevice &)> &write, bool inPlaceFallback, int)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlaceFallback);
    return file.open(QIODevice::WriteOnly) && write(file) && file.commit();
}

#endif
