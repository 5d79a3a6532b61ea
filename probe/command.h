#ifndef COMMAND_H
#define COMMAND_H

#include "probe/commandrun.h"

#include <QString>

// Runs a whole command line (no shell in between) to its end and returns its standard
// output, decoded (GBK on Windows, UTF-8 elsewhere), carriage returns removed and runs
// of line feeds shortened. Empty when the program cannot be started. Blocking: the
// window keeps repainting and timers run, but user input waits, and an automatic run
// that falls due meanwhile is skipped. timedOut, when given, tells whether the command
// was ended at the bound.
QString runCommand(const QString &commandLine, int timeoutMs = kCommandTimeoutMs, bool *timedOut = nullptr);

// A command's standard output as text on the running platform: decoded, carriage returns
// removed, every run of n line feeds shortened to ceil(n/4) (as CommandDecoder does as it comes).
QString commandOutputText(const QByteArray &output);

#endif
