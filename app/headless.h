#ifndef HEADLESS_H
#define HEADLESS_H

#include <QString>
#include <QStringList>

// How the program was asked to start: with its window; without one to run the check
// script (--check) or scan a range (--scan) for a scheduler; or only to print its help
// or version.
enum class StartMode { Window, Check, Scan, Print };

// Read off the raw arguments, before the toolkit takes its own: a run without a window
// must not need a display.
StartMode startModeOf(const QStringList &arguments);

// Before the toolkit starts, for a run without a window: the offscreen platform, and
// only the toolkit's serious messages on standard error.
void prepareWithoutWindow();

// Columns a text takes on a terminal: East Asian wide characters take two.
int terminalWidth(const QString &text);
// The text padded with blanks to the given terminal width.
QString padded(const QString &text, int width);

// Handles the program's own options (the toolkit has taken its own already): --help and
// --version print and end; --check and --scan run without a window. Returns the exit
// code, or -1 when the window is to start (unknown options then stop nothing).
int runOptions(const QStringList &arguments, StartMode mode);

#endif
