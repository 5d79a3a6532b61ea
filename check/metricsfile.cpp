#include "check/metricsfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool isMetricsFilePath(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.size() > 5 && name.endsWith(QLatin1String(".prom"));
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    // Hidden and not ".prom": the collector never reads a file still being written.
    QByteArray temporary = QFile::encodeName(
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = fchmod(fd, 0644) == 0;
    for (qint64 done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        done += n;
    }
    written = fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    // rename() replaces a link at the name itself, never what it points to.
    if (written && std::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    ::unlink(temporary.constData());
    return false;
}
