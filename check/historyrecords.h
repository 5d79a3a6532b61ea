#ifndef CHECK_HISTORYRECORDS_H
#define CHECK_HISTORYRECORDS_H

#include "check/result.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVector>

// What a line is across runs: it keeps its history when it moves in the script, its
// password changes or its success text or location is edited.
struct LineKey
{
    QString type; // upper-cased
    QString target; // as shown (password as "***"), white space collapsed
    QString alias; // white space collapsed
    int nth = 1; // 2, 3, ... for later lines of one script with the same type, target and alias
};
bool operator==(const LineKey &a, const LineKey &b);
uint qHash(const LineKey &key, uint seed = 0);

// The keys of a script's lines, in their order.
QList<LineKey> lineKeysOf(const QList<CheckLine> &lines);

// Where a line stands: its last verdict, since when it has held it and for how many runs,
// and what was last reported of it (a line never reported counts as up).
struct LineState
{
    qint64 lineId = 0; // 0: the line has never been checked
    Verdict verdict = Verdict::Pending;
    qint64 sinceMs = 0; // UTC epoch milliseconds of the first check of this verdict
    int runs = 0; // runs in a row that gave it
    qint64 firstMs = 0; // the line's first check ever
    qint64 lastMs = 0; // its latest check
    bool reportedDown = false;
    bool known() const { return lineId != 0; }
};

// One hour of one line's checks. hour counts hours since the epoch (UTC).
struct HourSummary
{
    qint64 hour = 0;
    int checks = 0;
    int failures = 0; // checks that did not pass
    qint64 minMs = 0, sumMs = 0, maxMs = 0; // durations
};

// From a line's first check that did not pass to its next pass (endMs 0 while it lasts).
struct Outage
{
    qint64 startMs = 0;
    qint64 endMs = 0;
    Verdict verdict = Verdict::Failed; // of the first check that did not pass
    QString reason; // of that check
};

// One single check, as a chart draws it.
struct CheckPoint
{
    qint64 atMs = 0;
    Verdict verdict = Verdict::Pending;
    qint64 durationMs = 0;
};

// A line's figures over the last days, for the report without a window.
struct LineFigures
{
    QVector<qint64> passed; // per period asked for
    QVector<qint64> made;
    int outages = 0; // that overlap the longest period
    qint64 longestOutageMs = 0; // one still lasting counts up to now
    LineState state;
};

// What one line's history window shows.
struct LineHistory
{
    LineState state;
    QVector<HourSummary> hours;
    QVector<Outage> outages; // oldest first
    QVector<CheckPoint> checks; // oldest first
};

Q_DECLARE_METATYPE(LineKey)
Q_DECLARE_METATYPE(LineState)
Q_DECLARE_METATYPE(LineHistory)

#endif
