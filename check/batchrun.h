#ifndef BATCHRUN_H
#define BATCHRUN_H

#include <QString>
#include <QtGlobal>

class QDateTime;
class QTableWidget;
struct CheckLine;
struct CheckOutcome;

// The results table's layout for a run: six columns, read-only, two empty rows.
void layOutResultsTable(QTableWidget *table);
// Fills the cells of a results row from a line and its outcome (the status lamp is the
// window's), adding rows so that one empty spare row stays below.
void setResultRow(QTableWidget *table, int row, const CheckLine &line, const CheckOutcome &outcome);
// The log record of a results row: location, name, status word, content and time,
// each followed by a comma, then a line feed.
QString logRecord(const QTableWidget *table, int row);
// The daily log file of a run that started at that moment.
QString dailyLogPath(const QDateTime &day);
// Appends a record to the log, making its folder again if it has gone; false when the
// record could not be written whole.
bool appendLogRecord(const QString &logPath, const QString &record);

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
