#ifndef CLI_HEADLESS_H
#define CLI_HEADLESS_H

#include <QString>
#include <QStringList>

// How the program was asked to start: with its window; without one to run the check
// script (--check), scan a range (--scan) or report the history (--history) for a scheduler;
// or only to print its help or version.
enum class StartMode { Window, Check, Scan, History, Print };

// Read off the raw arguments, before the toolkit takes its own: a run without a window
// must not need a display.
StartMode startModeOf(const QStringList &arguments);

// Whether a window can be opened: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names
// a platform (offscreen among them). Without one the toolkit would abort.
bool displayAvailable();
// Says that no window can be opened and how to run without one, followed by the usage, on
// standard error; returns 2.
int refuseWindowWithoutDisplay();

// Runs the program without a window: on the core application, or on the GUI toolkit's (with
// the offscreen platform, no display needed) only when a report is to be printed. Returns the
// exit code.
int runWithoutWindow(int &argc, char *argv[], StartMode mode);

// Handles the program's own options: --help and --version print and end; --check, --scan and
// --history run.
// Returns the exit code.
int runOptions(const QStringList &arguments, StartMode mode);

#endif
