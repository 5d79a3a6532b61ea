#ifndef CLI_CHECKCOMMAND_H
#define CLI_CHECKCOMMAND_H

#include <QString>

// How --check prints a run: aligned lines and a summary for people, JSON Lines for tools, the
// monitoring-plugin line and exit code for monitoring engines.
enum class OutputFormat { Text, Json, Nagios };

// What --check was asked to do.
struct CheckOptions
{
    QString script; // the check script to run
    QString pdf; // where to print the report; empty for none
    OutputFormat format = OutputFormat::Text;
    QString metrics; // where to write the run's metrics file; empty for none
};

// Refuses a run before it is made: the message on standard error and exit code 2, or in the
// plugin format the plugin line on standard output and 3 (UNKNOWN: the program's own problem).
int refuseRun(const QString &message, OutputFormat format);

// Runs every line of the script without a window, prints a line per result and appends it to
// the day's log and the history. Returns the exit code: 0 every line passed and was logged, 1 a
// line did not pass or a log record was lost, 2 the run could not be made (no script, no check
// line in it, no report written) or was stopped by a signal; in the plugin format the plugin's
// exit code (nagiosExitCode()).
int runCheck(const CheckOptions &options);

#endif
