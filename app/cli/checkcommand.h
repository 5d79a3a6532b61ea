#ifndef CLI_CHECKCOMMAND_H
#define CLI_CHECKCOMMAND_H

#include <QString>

// What --check was asked to do.
struct CheckOptions
{
    QString script; // the check script to run
    QString pdf; // where to print the report; empty for none
};

// Runs every line of the script without a window, prints a line per result and appends it to
// the day's log. Returns the exit code: 0 every line passed and was logged, 1 a line did not
// pass or a log record was lost, 2 the run could not be made (no script, no check line in it,
// no report written) or was stopped by a signal.
int runCheck(const CheckOptions &options);

#endif
