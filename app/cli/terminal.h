#ifndef CLI_TERMINAL_H
#define CLI_TERMINAL_H

#include <QByteArray>
#include <QString>

#include <cstdio>

// Prints a line in the locale's encoding where it can hold it, else UTF-8: a scheduler's C
// locale must not turn the Chinese words into question marks. Once a write to the stream has
// failed (its reader has gone) nothing more is printed to it.
void print(FILE *stream, const QString &line);
// Writes bytes made for tools as they are (UTF-8, their own line ends), in the same way.
void printBytes(FILE *stream, const QByteArray &bytes);
// Prints the message on standard error; returns 2, the exit code of a run that could not be made.
int fail(const QString &message);

#endif
