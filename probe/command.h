#ifndef COMMAND_H
#define COMMAND_H

#include "probe/commandrun.h"

#include <QString>

class QTextCodec;
struct PlatformKind;

// Runs a whole command line (no shell in between) to its end and returns its standard
// output, decoded (GBK on Windows, UTF-8 elsewhere), carriage returns removed and runs
// of line feeds shortened. Empty when the program cannot be started. Blocking: the
// window keeps repainting and timers run, but user input waits, and an automatic run
// that falls due meanwhile is skipped. timedOut, when given, tells whether the command
// was ended at the bound.
QString runCommand(const QString &commandLine, int timeoutMs = kCommandTimeoutMs, bool *timedOut = nullptr);

// The codec for a command's output on the given platform.
QTextCodec *commandOutputCodec(const PlatformKind &platform);

// Removes every "\r", then replaces "\n\n" by "\n" twice (a run of n line feeds
// becomes ceil(n/4)).
QString normaliseCommandOutput(QString text);

// A command's standard output as text on the running platform: decoded and normalised.
QString commandOutputText(const QByteArray &output);

#endif
