#ifndef RUNPROBLEMS_H
#define RUNPROBLEMS_H

#include <QStringList>

// What went wrong with a run itself rather than with a network it checked. A monitoring engine
// must not take these for a failed line.
struct RunProblems
{
    // No whole run: the script unreadable or without a runnable line, a bad option, a signal.
    bool notRun = false;
    bool reportNotWritten = false; // the PDF
    bool recordNotWritten = false; // a log record, the metrics file or a history row
    QStringList messages; // what the program said about them, in order
};

#endif
