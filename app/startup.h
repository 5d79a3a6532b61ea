#ifndef STARTUP_H
#define STARTUP_H

#include <QString>

// True when the path names an existing regular file.
bool fileExists(const QString &path);
// The whole file, every line ended by "\n"; a byte-order mark is honoured. Empty
// when the file is missing or unreadable.
QString readTextFile(const QString &path);

#endif
