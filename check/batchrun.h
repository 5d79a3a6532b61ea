#ifndef BATCHRUN_H
#define BATCHRUN_H

#include <QString>
#include <QtGlobal>

// Appends text to a file in the locale encoding (binary mode: a bare "\n" ends a
// record everywhere); false when the file cannot be opened.
bool appendTextFile(const QString &path, const QString &text);

// Test seams for one run: the bounds of a check (a command, a page; 0 or less restores
// the runner's and the fetch's own) and how many checks go on at once (0 or less: the default).
void setCheckBounds(int commandMs, int pageMs);
void setParallelChecks(int checks);

// Where the last batch run spent its time, for the benchmark.
struct BatchRunTimes
{
    qint64 wallMs = 0;
    int lines = 0;
};
BatchRunTimes lastBatchRunTimes();

#endif
