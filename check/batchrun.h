#ifndef BATCHRUN_H
#define BATCHRUN_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Appends text to a file in the locale encoding (binary mode: a bare "\n" ends a
// record everywhere); false when the file cannot be opened.
bool appendTextFile(const QString &path, const QString &text);
// While one of these lives the program counts as busy (they nest). A batch run holds
// one; batch runs and automatic runs asked for meanwhile start nothing.
class BusyScope
{
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};
bool programBusy();

// Test seam for the bounds of one check: a command, a page. 0 or less restores the
// runner's and the fetch's own bound.
void setCheckBounds(int commandMs, int pageMs);

enum class CheckStatus { Pending, Passed, Failed };
QString statusWord(CheckStatus status);
int statusColour(CheckStatus status); // LedColor code

// A web line passes when the page holds the trimmed success text; a record without a
// success field stays untested.
CheckStatus pageStatus(const QString &page, const QStringList &fields);

// Where the last batch run spent its time, for the benchmark.
struct BatchRunTimes
{
    qint64 wallMs = 0;
    qint64 waitMs = 0; // letting the window repaint between lines
    int lines = 0;
};
BatchRunTimes lastBatchRunTimes();

#endif
