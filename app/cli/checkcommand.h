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
// the day's log. Returns the exit code: 0 every line passed, 1 a line did not, 2 the run could
// not be made.
int runCheck(const CheckOptions &options);

#endif
