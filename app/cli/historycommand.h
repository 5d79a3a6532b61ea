#ifndef CLI_HISTORYCOMMAND_H
#define CLI_HISTORYCOMMAND_H

#include <QString>

// The longest period --history reports on: the hourly summaries go back no further.
constexpr int kMaxHistoryDays = 400;

// Prints a line per line of the script from the history beside it: uptime over the last 1, 7
// and 30 days, or over the last `days` when that is 1 or more, outages, the longest of them and
// the last change. A missing history file reads as an empty one. Returns the exit code: 0, or 2
// when the script or the history cannot be read.
int runHistory(const QString &scriptPath, int days);

#endif
