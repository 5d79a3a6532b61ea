#ifndef COMMAND_H
#define COMMAND_H

#include <QString>

class QTextCodec;
struct PlatformKind;

// A command still running after this long is killed; what it printed until then is kept.
constexpr int kCommandTimeoutMs = 60 * 1000;
// How long a killed command is given to go.
constexpr int kCommandKillWaitMs = 1000;

// Runs a whole command line (no shell in between) and returns its standard output,
// decoded (GBK on Windows, UTF-8 elsewhere), carriage returns removed and runs of
// line feeds shortened. Empty when the program cannot be started. On the GUI thread
// the window keeps repainting while it waits, but user input waits until the end.
// timedOut, when given, tells whether the command was killed at the bound.
QString runCommand(const QString &commandLine, int timeoutMs = kCommandTimeoutMs, bool *timedOut = nullptr);

// The codec for a command's output on the given platform.
QTextCodec *commandOutputCodec(const PlatformKind &platform);

// Removes every "\r", then replaces "\n\n" by "\n" twice (a run of n line feeds
// becomes ceil(n/4)).
QString normaliseCommandOutput(QString text);

#endif
