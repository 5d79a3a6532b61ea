#ifndef CHECK_TEXTFILE_H
#define CHECK_TEXTFILE_H

#include <QString>

// True when the path names an existing regular file (a link to one counts).
bool fileExists(const QString &path);
// The whole file, every line ended by "\n" (a line ends at LF, CRLF or a lone CR); a
// byte-order mark is honoured. Empty when the file is missing, unreadable or not a regular
// file: a FIFO or a device is never opened.
QString readTextFile(const QString &path);

// The one rule for the files the program writes and the lines it prints: the locale's encoding
// where it can hold the text, else UTF-8, so Chinese under a C locale never becomes '?'.
bool localeHolds(const QString &text);

// Replaces the file with the text in the locale encoding (UTF-8 with a byte-order mark
// where the locale cannot hold the text). Written to a temporary file and renamed into
// place, so on failure the old file is untouched; false then. Only where the folder
// refuses a temporary file is the file written in place.
bool writeTextFile(const QString &path, const QString &text);

// Appends text to a file (binary mode: a bare "\n" ends a record everywhere), on a line
// of its own: a file not ending in a line feed gets one first. In the locale encoding
// when it holds the text, else in UTF-8 (marked in a new file; a marked file stays
// UTF-8). False when any byte could not be written.
bool appendTextFile(const QString &path, const QString &text);

#endif
