#ifndef CHECK_RESULTTABLE_H
#define CHECK_RESULTTABLE_H

#include "check/result.h"

#include <QList>
#include <QString>
#include <QStringList>

// The results table as text, as the window shows it, the copy takes it and the report prints it.
struct ResultsTable
{
    QStringList headers;
    QList<int> widths; // on screen, in pixels
    QList<QStringList> rows;
};

// Before the first run: five columns over two empty rows.
ResultsTable startResultsTable();
// After a run: six columns, a row per result in order, and one empty spare row below (two
// rows at least).
ResultsTable resultsTable(const QList<CheckResult> &results);
// The six cells of a result's row: name, status word, content, time, result, location.
QStringList resultCells(const CheckResult &result);
// The row of a line whose check has not ended yet: its name, "检测中", its content and location.
QStringList runningCells(const CheckLine &line);

// What a row names as checked: "type-target", the target as shown.
QString checkedContent(const CheckLine &line);
QString checkTimeText(const QDateTime &moment);

// Headers and cells as text for the clipboard, every field trimmed and tab-terminated, one
// line per row; a field holding a tab, a line break or a double quote is put in double quotes.
QString clipboardText(const ResultsTable &table);

#endif
