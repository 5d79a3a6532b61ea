#ifndef PROBE_REGULARFILE_H
#define PROBE_REGULARFILE_H

#include <QFile>
#include <QString>

#include <functional>

class QIODevice;

// Opens a regular file (a link to one counts) to read, or to append to (a missing one is
// made; never at the end of a dangling link). Anything else is not opened at all: opening a
// FIFO waits for a writer, a device may act on being opened, /dev/zero never ends. Never
// blocks. False, and the file left closed, when the path is anything but a regular file.
bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode);

// Whose file a replacement writes, which says what it does with what stands at the path.
enum class FileOwner {
    // The program's own (a cache, a print file): whatever stands at the path (a link, a FIFO)
    // is replaced by the new file and never followed, so nothing lands outside the folder.
    Program,
    // The user's (a script): a link is followed to a regular file only (the target is
    // replaced); any other file that stands there itself is replaced.
    User,
    // The user's, and only ever a regular file (a report named on the command line): a
    // FIFO, a device, a folder, or a link to one, is refused untouched.
    UserRegularOnly,
};

// Writes a file anew: write() fills a new file beside it, which then takes its place in one
// step, so on failure the old file stays as it was. An existing file's permissions are kept.
// With inPlaceFallback a regular file whose folder takes no new file is overwritten in place
// instead. permissions, when given (e.g. 0644), are the new file's whatever stood there. False
// when refused or any byte could not be written.
bool replaceFile(const QString &path, FileOwner owner, const std::function<bool(QIODevice &)> &write,
    bool inPlaceFallback = false, int permissions = -1);

#endif
