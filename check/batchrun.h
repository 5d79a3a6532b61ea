#ifndef BATCHRUN_H
#define BATCHRUN_H

#include <QString>
#include <QtGlobal>

// Appends text to a file (binary mode: a bare "\n" ends a record everywhere), on a line
// of its own: a file not ending in a line feed gets one first. In the locale encoding
// when it holds the text, else in UTF-8 (marked in a new file; a marked file stays
// UTF-8). False when any byte could not be written.
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
