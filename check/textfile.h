#ifndef CHECK_TEXTFILE_H
#define CHECK_TEXTFILE_H

#include <QRegularExpression>
#include <QString>

class QTextCodec;

// Where a line of text ends: LF, CRLF, a lone CR, a form feed, a vertical tab, U+2028 and
// U+2029; and U+0085 in text decoded from UTF-8, UTF-16 or UTF-32 (from an 8-bit locale
// encoding the byte 0x85 is part of other characters). Nothing that ends a line may join two
// records of the script.
const QRegularExpression &lineEnds(bool nextLineEnds = true);
// Whether the character is one of those (U+0085 counted).
bool isLineEnd(QChar c);
// Whether U+0085 ends a line in text the codec decoded.
bool decodesNextLine(const QTextCodec *codec);

// True when the path names an existing regular file (a link to one counts).
bool fileExists(const QString &path);
// The whole file, every line ended by "\n" (wherever lineEnds() ends one); a byte-order mark
// is honoured. Empty when the file is missing, unreadable or not a regular file: a FIFO or a
// device is never opened.
QString readTextFile(const QString &path);
// The same; false when the file is not there, not a regular file or cannot be read.
bool readTextFile(const QString &path, QString *text);

// The one rule for the files the program writes and the lines it prints: the locale's encoding
// where it can hold the text, else UTF-8, so Chinese under a C locale never becomes '?'.
bool localeHolds(const QString &text);

// Replaces the user's file (a link to a regular file writes that file; a link to anything
// else is refused) with the text in the locale encoding (UTF-8 with a byte-order mark where
// the locale cannot hold the text). Written to a temporary file and renamed into place, so
// on failure the old file is untouched; false then. Only where the folder refuses a
// temporary file is the file written in place.
bool writeTextFile(const QString &path, const QString &text);

// Appends text to a file (binary mode: a bare "\n" ends a record everywhere), on a line
// of its own: a file not ending in a line feed gets one first. In the locale encoding
// when it holds the text, else in UTF-8 (marked in a new file; a marked file stays
// UTF-8). Only a regular file, or a link to one, is appended to; a missing file is made (never
// at the end of a dangling link). False when any byte could not be written.
bool appendTextFile(const QString &path, const QString &text);

#endif
